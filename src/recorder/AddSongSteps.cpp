#include "recorder/AddSongSteps.h"

#include <QDialog>

#include <cassert>
#include <cstdio>
#include <memory>

#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/ui/UserInteraction.h"
#include "recorder/CRecorderMainWindow.h"
#include "recorder/RecorderFlows.h"
#include "recorder/RecorderText.h"

namespace vx {
namespace {

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

bool Place(CRecorderMainWindow& window, const SongAudioPlacement& audio,
           const std::string& songFile) {
  WaitCursor busy;
  if (audio.busyText.isEmpty()) return audio.place(songFile);
  window.SetStatusText(audio.busyText);
  window.repaint();  // seen before the work starts, without running other events
  const bool placed = audio.place(songFile);
  window.SetStatusText(QString());
  return placed;
}

}  // namespace

TemporarySongFile::~TemporarySongFile() {
  if (!keep_) std::remove(path_.c_str());
}

SongAudioPlacement SongAudioPlacement::Move(const TemporarySongFile& file, QString busyText) {
  const std::string from = file.Path();
  return {[from](const std::string& songFile) { return MoveSongFile(from, songFile); },
          [from](const std::string& songFile) { std::rename(songFile.c_str(), from.c_str()); },
          std::move(busyText)};
}

SongAudioPlacement SongAudioPlacement::Copy(const std::string& source, QString busyText) {
  return {[source](const std::string& songFile) { return CopySongFile(source, songFile); },
          [](const std::string& songFile) { std::remove(songFile.c_str()); }, std::move(busyText)};
}

SongInfoSetup AddSongSetup(const RecorderState& state, char media, const std::string& filePath) {
  SongInfoSetup setup;
  setup.mode = SongEditMode::Add;
  setup.midiDevice = state.midiDevice;
  setup.midiNote = state.midiInstrument;
  setup.cdDriveLetter = state.cdDriveLetter;
  setup.media = media;
  setup.filePath = QString::fromStdString(filePath);
  return setup;
}

std::optional<std::string> AddSongWithAudio(CRecorderMainWindow& window, const SongInfoSetup& setup,
                                            const SongAudioPlacement& audio) {
  assert(setup.mode == SongEditMode::Add);
  const RecorderState& state = window.State();
  dao::DaoDatabase& database = *state.database;

  SongTransaction transaction(database);
  std::int32_t songId = 0;
  {
    const std::unique_ptr<SongEditorTools> tools = MakeSongEditorTools(window);
    CSongInfoDlg songInfo(database, setup, *tools, &window);
    if (songInfo.Run() != QDialog::Accepted) return std::nullopt;
    songId = songInfo.SongID();
  }

  const std::string songFile =
      SongFileName(state.libraryFolder.toStdString(), static_cast<std::uint32_t>(songId));
  if (!Place(window, audio, songFile)) {
    // No row without its file: the song is not added.
    transaction.Rollback();
    Ui().Message(QString::fromUtf8(text::kCouldNotCopyWav), MsgIcon::Exclamation);
    return std::nullopt;
  }
  try {
    transaction.Commit();
  } catch (...) {
    // The row is gone; so goes its file.
    audio.withdraw(songFile);
    throw;
  }
  return songFile;
}

void AnnounceNewSong(CRecorderMainWindow& window, const std::string& songFile) {
  Ui().Message(QString::asprintf(text::kSongCreated, songFile.c_str()), MsgIcon::Information);
  window.RefreshSummary();
}

}  // namespace vx
