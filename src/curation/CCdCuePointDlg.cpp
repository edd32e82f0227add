#include "curation/CCdCuePointDlg.h"

#include "curation/CurationText.h"

namespace vx {
namespace {

const CCueEditorDlg::Variant kCdVariant{CueMedium::kCd, text::kCdCueTitle, text::kCdCueNames, 72,
                                        text::kCdCueDeleteQuestion};

}  // namespace

CCdCuePointDlg::CCdCuePointDlg(dao::DaoDatabase& db, std::int32_t songId, const Track& track,
                               QWidget* parent)
    : CCueEditorDlg(db, songId, track.songName, kCdVariant, parent), track_(track) {
  SetDiscIdentity(track.discIdentity);
  Initialize();
}

void CCdCuePointDlg::StartSong(bool reopen) {
  CMciDevice& device = Device();
  if (reopen && !device.OpenCd(track_.driveLetter)) ReportMciError();
  if (!SongDiscReady(track_.albumName)) return;
  if (!device.SetTimeFormat("tmsf", CMciDevice::kCd)) ReportMciError();
  if (!device.SeekDevice(std::to_string(track_.trackNumber), CMciDevice::kCd)) ReportMciError();
  if (!device.SetTimeFormat("msf", CMciDevice::kCd)) ReportMciError();
  long start = 0;
  Playback().Position(start);
  std::string length;
  long frames = 0;
  if (device.GetLength(length, CMciDevice::kCd, track_.trackNumber)) {
    frames = std::max(0L, ParseCueOffset(CueMedium::kCd, length));
  } else {
    ReportMciError();
  }
  Playback().SetSpan(start, start + frames);
  Playback().Play();
  SetSliderRange(start, start + frames, 75);
}

}  // namespace vx
