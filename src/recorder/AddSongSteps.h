// The steps every flow that adds a song ends with. The song editor (add mode) describes the
// song and writes its row inside a transaction; the song's audio is then put under the song's
// file name, and only once it is there is the row committed, so a row never lacks its file
// and a file that cannot be placed leaves no row behind.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>

#include "curation/CSongInfoDlg.h"

namespace vx {

class CRecorderMainWindow;
struct RecorderState;

// A temporary file in the Songs folder (a take, a wrapped MP3): deleted when this goes out
// of scope, unless it became a song's file.
class TemporarySongFile {
 public:
  explicit TemporarySongFile(std::string path) : path_(std::move(path)) {}
  ~TemporarySongFile();
  TemporarySongFile(const TemporarySongFile&) = delete;
  TemporarySongFile& operator=(const TemporarySongFile&) = delete;
  const std::string& Path() const { return path_; }
  void Keep() { keep_ = true; }

 private:
  std::string path_;
  bool keep_ = false;
};

// How a new song's audio reaches its file.
struct SongAudioPlacement {
  // Puts the audio at songFile; false when it could not.
  std::function<bool(const std::string& songFile)> place;
  // Takes it away again when the row could not be committed after all.
  std::function<void(const std::string& songFile)> withdraw;
  // On the status line while the audio is placed; empty for none.
  QString busyText;

  // Moves a temporary file of the Songs folder to the song's name (and back on withdrawal).
  static SongAudioPlacement Move(const TemporarySongFile& file, QString busyText = {});
  // Copies any file to the song's name (removed again on withdrawal).
  static SongAudioPlacement Copy(const std::string& source, QString busyText = {});
};

// The editor set up to add a song of this media, whose audio is filePath, with the window's
// MIDI and CD settings.
SongInfoSetup AddSongSetup(const RecorderState& state, char media, const std::string& filePath);

// Runs the editor and places the audio. Answers the song's file once the song is complete;
// nothing when the editor was cancelled, or when the audio could not be placed (then the user
// has been told and no row is left).
std::optional<std::string> AddSongWithAudio(CRecorderMainWindow& window, const SongInfoSetup& setup,
                                            const SongAudioPlacement& audio);

// Tells the user the song's file was created and refreshes the window's library summary.
void AnnounceNewSong(CRecorderMainWindow& window, const std::string& songFile);

}  // namespace vx
