#include "curation/CCuePointDlg.h"

#include <cstdlib>

#include "curation/CurationText.h"

namespace vx {
namespace {

const CCueEditorDlg::Variant kWaveVariant{CueMedium::kWave, text::kCueTitle, text::kWaveCueNames,
                                          99, text::kCueDeleteQuestion};

}  // namespace

CCuePointDlg::CCuePointDlg(dao::DaoDatabase& db, std::int32_t songId, const QString& songName,
                           const std::string& filePath, QWidget* parent)
    : CCueEditorDlg(db, songId, songName, kWaveVariant, parent), filePath_(filePath) {
  Initialize();
}

void CCuePointDlg::StartSong(bool reopen) {
  CMciDevice& device = Device();
  if (reopen && !device.OpenWaveFile(filePath_)) ReportMciError();
  if (!device.SetTimeFormat("ms", CMciDevice::kWave)) ReportMciError();
  std::string length;
  long end = 0;
  if (device.GetLength(length, CMciDevice::kWave, -1)) {
    end = std::max(0L, std::strtol(length.c_str(), nullptr, 10));
  } else {
    ReportMciError();
  }
  Playback().SetSpan(0, end);
  Playback().Play();
  SetSliderRange(0, end, 10);
}

}  // namespace vx
