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

  const auto writeRow = [&]() -> std::optional<std::int32_t> {
    const std::unique_ptr<SongEditorTools> tools = MakeSongEditorTools(window);
    CSongInfoDlg songInfo(database, setup, *tools, &window);
    if (songInfo.Run() != QDialog::Accepted) return std::nullopt;
    return songInfo.SongID();
  };
  SongAudioPlacement shown = audio;
  shown.place = [&](const std::string& songFile) { return Place(window, audio, songFile); };

  std::string songFile;
  switch (AddSongRowWithAudio(database, state.libraryFolder.toStdString(), writeRow, shown,
                              songFile)) {
    case SongAdded::kAdded: return songFile;
    case SongAdded::kCancelled: return std::nullopt;
    case SongAdded::kNotPlaced: break;
  }
  Ui().Message(QString::fromUtf8(text::kCouldNotCopyWav), MsgIcon::Exclamation);
  return std::nullopt;
}

void AnnounceNewSong(CRecorderMainWindow& window, const std::string& songFile) {
  Ui().Message(QString::asprintf(text::kSongCreated, songFile.c_str()), MsgIcon::Information);
  window.RefreshSummary();
}

}  // namespace vx
