#include "recorder/RecordNewSongFlow.h"

#include <QDialog>

#include <cstdio>
#include <memory>
#include <string>

#include "curation/CSongInfoDlg.h"
#include "library/SongLength.h"
#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/ui/UserInteraction.h"
#include "recorder/CRecorderMainWindow.h"
#include "recorder/RecorderText.h"
#include "recording/CRecordNewSongDlg.h"

namespace vx {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// The take file: deleted when it goes out of scope, unless it became a song's file.
class TakeFile {
 public:
  explicit TakeFile(std::string path) : path_(std::move(path)) {}
  ~TakeFile() {
    if (deleteTake_) std::remove(path_.c_str());
  }
  TakeFile(const TakeFile&) = delete;
  TakeFile& operator=(const TakeFile&) = delete;
  const std::string& Path() const { return path_; }
  void Keep() { deleteTake_ = false; }

 private:
  std::string path_;
  bool deleteTake_ = true;
};

// A transaction rolled back unless committed.
class SongTransaction {
 public:
  explicit SongTransaction(dao::DaoDatabase& database) : database_(database) {
    database_.BeginTrans();
  }
  ~SongTransaction() {
    if (open_) database_.Rollback();
  }
  SongTransaction(const SongTransaction&) = delete;
  SongTransaction& operator=(const SongTransaction&) = delete;
  void Commit() {
    open_ = false;
    database_.CommitTrans();
  }
  void Rollback() {
    open_ = false;
    database_.Rollback();
  }

 private:
  dao::DaoDatabase& database_;
  bool open_ = true;
};

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
  dao::DaoDatabase& database = *state.database;
  const std::string library = state.libraryFolder.toStdString();
  const auto statusLine = [&window](const QString& text) { window.SetStatusText(text); };

  const std::string songsFolder = SongsFolder(library);
  const std::string takePath = MakeTempFileName(songsFolder, text::kTakePrefix);
  if (takePath.empty()) {
    Ui().Message(QString::asprintf(text::kNoTakeFile, songsFolder.c_str()),
                 MsgIcon::Exclamation);
    return;
  }
  TakeFile take(takePath);

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

  SongInfoSetup editor;
  editor.mode = SongEditMode::Add;
  editor.midiDevice = state.midiDevice;
  editor.midiNote = state.midiInstrument;
  editor.cdDriveLetter = state.cdDriveLetter;
  editor.media = kCodePcm;
  editor.filePath = QString::fromStdString(take.Path());
  editor.presets.length = QString::fromStdString(SongLengthText(recorder.RecordedMilliseconds()));

  SongTransaction transaction(database);
  std::int32_t songId = 0;
  {
    const std::unique_ptr<SongEditorTools> tools = MakeSongEditorTools(window);
    CSongInfoDlg songInfo(database, editor, *tools, &window);
    if (songInfo.Run() != QDialog::Accepted) return;
    songId = songInfo.SongID();
  }

  const std::string songFile = SongFileName(library, static_cast<std::uint32_t>(songId));
  bool moved = false;
  {
    WaitCursor busy;
    moved = MoveSongFile(take.Path(), songFile);
  }
  if (!moved) {
    // No row without its file: the song is not added.
    transaction.Rollback();
    Ui().Message(Text(text::kCouldNotCopyWav), MsgIcon::Exclamation);
    return;
  }
  try {
    transaction.Commit();
  } catch (...) {
    // The row is gone; so goes its file, back to the take that is deleted.
    std::rename(songFile.c_str(), take.Path().c_str());
    throw;
  }
  take.Keep();
  Ui().Message(QString::asprintf(text::kSongCreated, songFile.c_str()), MsgIcon::Information);
  window.RefreshSummary();
}

}  // namespace vx
