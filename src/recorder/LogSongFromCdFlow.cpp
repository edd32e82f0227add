#include "recorder/LogSongFromCdFlow.h"

#include <QDialog>
#include <cassert>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cd/CLogCdDlg.h"
#include "cd/LogCdText.h"
#include "import/ValidateWavFile.h"
#include "library/SongLength.h"
#include "library/SongStore.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/ui/UserInteraction.h"
#include "recorder/AddSongSteps.h"
#include "recorder/CRecorderMainWindow.h"
#include "recorder/RecorderFlows.h"

namespace vx {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// One ripped track: checked, described in the editor and moved under the song's name. Its
// file is deleted on every other way out.
void AddRippedTrack(CRecorderMainWindow& window, const cd::CLogCdDlg& dialog,
                    const cd::RippedTrack& ripped, TemporarySongFile& file,
                    const StatusLine& statusLine) {
  const RecorderState& state = window.State();
  std::string lengthMs;
  if (!ValidateWavFile(*state.mci, statusLine, file.Path(), lengthMs)) {
    Ui().Message(Text(text::kRippedFormatProblem), MsgIcon::Exclamation);
    return;
  }
  SongInfoSetup editor = AddSongSetup(state, kCodePcm, file.Path());
  SongPresets& presets = editor.presets;
  presets.length = QString::fromStdString(
      SongLengthText(static_cast<std::uint32_t>(std::strtoul(lengthMs.c_str(), nullptr, 10))));
  presets.cddb = dialog.CddbDiscId();
  presets.cdTrack = static_cast<unsigned>(ripped.track);
  presets.name = dialog.TrackTitle(ripped.entry);
  presets.comments = dialog.ExtendedData(ripped.entry);
  presets.artist = dialog.Artist();
  presets.album = dialog.DiscTitle();
  presets.attributes = dialog.Category();
  if (AddSongWithAudio(window, editor, SongAudioPlacement::Move(file))) file.Keep();
}

// The current track as a song of the CD: no file, nothing but the disc's facts preset.
void LogCdTrack(CRecorderMainWindow& window, const cd::CLogCdDlg& dialog) {
  const RecorderState& state = window.State();
  SongInfoSetup setup = AddSongSetup(state, kCodeCd, {});
  setup.presets.length = dialog.CurrentTrackLength();
  setup.presets.cdTrack = static_cast<unsigned>(dialog.CurrentTrack());
  setup.presets.cdIdentity = dialog.DiscIdentity();
  int result = QDialog::Rejected;
  {
    const std::unique_ptr<SongEditorTools> tools = MakeSongEditorTools(window);
    CSongInfoDlg songInfo(*state.database, setup, *tools, &window);
    result = songInfo.Run();
  }
  if (result == QDialog::Accepted) {
    Ui().Message(Text(text::kCdTrackAdded), MsgIcon::Information);
    window.RefreshSummary();
  }
}

}  // namespace

void RunLogSongFromCd(CRecorderMainWindow& window) {
  const RecorderState& state = window.State();
  assert(state.mci != nullptr);
  const StatusLine statusLine = [&window](const QString& text) { window.SetStatusText(text); };
  cd::LogCdSetup setup;
  setup.driveLetter = state.cdDriveLetter;
  setup.mci = state.mci;
  setup.statusLine = statusLine;
  setup.songsFolder = SongsFolder(state.libraryFolder.toStdString());
  setup.useCddb = ProfileSettings::Get(settings::kUseCddb) != 0;

  cd::CLogCdDlg dialog(setup, &window);
  const int result = dialog.OnInitDialog() ? Ui().RunModal(dialog) : QDialog::Rejected;
  ProfileSettings::Set(settings::kUseCddb, dialog.UseCddb() ? 1 : 0);

  // Every copied file is deleted unless it became a song's file.
  std::vector<std::unique_ptr<TemporarySongFile>> files;
  for (const cd::RippedTrack& ripped : dialog.RippedTracks()) {
    files.push_back(std::make_unique<TemporarySongFile>(ripped.path));
  }
  if (result == QDialog::Accepted) {
    if (dialog.RippingStarted()) {
      const std::vector<cd::RippedTrack> ripped = dialog.RippedTracks();
      for (std::size_t i = 0; i < ripped.size(); ++i) {
        AddRippedTrack(window, dialog, ripped[i], *files[i], statusLine);
      }
    } else {
      LogCdTrack(window, dialog);
    }
  }
  window.RefreshSummary();
}

}  // namespace vx
