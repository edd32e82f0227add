// The steps every way of adding a song ends with: the song's row is written inside a
// transaction, the song's audio is then put under the song's file name, and only once it is
// there is the row committed, so a row never lacks its file and a file that cannot be placed
// leaves no row behind.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vx::dao {
class DaoDatabase;
}

namespace vx {

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

enum class SongAdded { kAdded, kCancelled, kNotPlaced };

// Opens a transaction, lets writeRow write the new song's row (it answers the row's SongID,
// or nothing to cancel), places the audio under that song's file and commits. On kAdded
// songFile names the song's file; on kCancelled and kNotPlaced nothing of the song is left.
// An exception from writeRow or the commit rolls everything back and goes on to the caller.
SongAdded AddSongRowWithAudio(dao::DaoDatabase& db, const std::string& libraryFolder,
                              const std::function<std::optional<std::int32_t>()>& writeRow,
                              const SongAudioPlacement& audio, std::string& songFile);

}  // namespace vx
