#include "recorder/RecordNewSongFlow.h"

#include <QDialog>

#include <optional>
#include <string>

#include "library/SongLength.h"
#include "library/SongStore.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/ui/UserInteraction.h"
#include "recorder/AddSongSteps.h"
#include "recorder/CRecorderMainWindow.h"
#include "recorder/RecorderText.h"
#include "recording/CRecordNewSongDlg.h"

namespace vx {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// Tells the user why a finished recording is not offered as a song; false then.
bool UsableTake(CRecordNewSongDlg::Take take) {
  switch (take) {
    case CRecordNewSongDlg::Take::Complete:
      return true;
    case CRecordNewSongDlg::Take::Empty:
      Ui().Message(Text(text::kTakeEmpty), MsgIcon::Exclamation);
      return false;
    case CRecordNewSongDlg::Take::Unfinished:
    case CRecordNewSongDlg::Take::None:
      Ui().Message(Text(text::kTakeUnfinished), MsgIcon::Exclamation);
      return false;
  }
  return false;
}

}  // namespace

void RunRecordNewSong(CRecorderMainWindow& window) {
  const RecorderState& state = window.State();
  const std::string library = state.libraryFolder.toStdString();
  const auto statusLine = [&window](const QString& text) { window.SetStatusText(text); };

  const std::string songsFolder = SongsFolder(library);
  const std::string takePath = MakeTempFileName(songsFolder, kTakeTempPrefix);
  if (takePath.empty()) {
    Ui().Message(QString::asprintf(text::kNoTakeFile, songsFolder.c_str()),
                 MsgIcon::Exclamation);
    return;
  }
  TemporarySongFile take(takePath);

  CRecordNewSongDlg::Setup recording;
  recording.takePath = take.Path();
  recording.statusLine = statusLine;
  recording.libraryFolder = state.libraryFolder;
  recording.triggerLevel = ProfileSettings::Get(settings::kAutoThreshold);
  recording.autoStart = ProfileSettings::Get(settings::kUseAutoThreshold) != 0;
  CRecordNewSongDlg recorder(recording, &window);
  const int recorded = Ui().RunModal(recorder);
  // Stored whatever the result, as the dialog showed them when it closed.
  ProfileSettings::Set(settings::kAutoThreshold, recorder.TriggerLevel());
  ProfileSettings::Set(settings::kUseAutoThreshold, recorder.AutoStart() ? 1 : 0);
  if (recorded != QDialog::Accepted || !UsableTake(recorder.TakeResult())) return;

  SongInfoSetup editor = AddSongSetup(state, kCodePcm, take.Path());
  editor.presets.length = QString::fromStdString(SongLengthText(recorder.RecordedMilliseconds()));
  const std::optional<std::string> songFile =
      AddSongWithAudio(window, editor, SongAudioPlacement::Move(take));
  if (!songFile) return;
  take.Keep();
  AnnounceNewSong(window, *songFile);
}

}  // namespace vx
