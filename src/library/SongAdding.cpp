#include "library/SongAdding.h"

#include <cstdio>

#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"

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

 private:
  dao::DaoDatabase& database_;
  bool open_ = true;
};

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

SongAdded AddSongRowWithAudio(dao::DaoDatabase& db, const std::string& libraryFolder,
                              const std::function<std::optional<std::int32_t>()>& writeRow,
                              const SongAudioPlacement& audio, std::string& songFile) {
  SongTransaction transaction(db);
  const std::optional<std::int32_t> songId = writeRow();
  if (!songId) return SongAdded::kCancelled;

  const std::string file = SongFileName(libraryFolder, static_cast<std::uint32_t>(*songId));
  // No row without its file: the transaction rolls back when the audio is not placed.
  if (!audio.place(file)) return SongAdded::kNotPlaced;
  try {
    transaction.Commit();
  } catch (...) {
    // The row is gone; so goes its file.
    audio.withdraw(file);
    throw;
  }
  songFile = file;
  return SongAdded::kAdded;
}

}  // namespace vx
