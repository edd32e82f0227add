#include "curation/SongDeletion.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "library/LibraryTransaction.h"
#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"

namespace vx {
namespace {

// Moves the song's file to a fresh name beside it; answers that name, or empty when the
// file cannot be moved (missing, or the folder refuses).
std::string SetAside(const std::string& songsFolder, const std::string& songFile) {
  struct stat info {};
  if (stat(songFile.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  // A read-only song file is made writable first, as any other file of the library.
  if (chmod(songFile.c_str(), info.st_mode | S_IWUSR) != 0) return {};
  const std::string aside = MakeTempFileName(songsFolder, "VXD");
  if (aside.empty()) return {};
  // The empty placeholder reserved the name; the rename replaces it in one step.
  if (std::rename(songFile.c_str(), aside.c_str()) != 0) {
    unlink(aside.c_str());
    return {};
  }
  return aside;
}

void DeleteRows(dao::DaoDatabase& db, std::int32_t songId) {
  const std::string id = std::to_string(songId);
  RunInTransaction(db, [&] {
    db.Execute("Delete from CueList Where SongID = " + id);
    db.Execute("Delete from Songs Where SongID = " + id);
    db.Execute("Delete from PlaylistDetail Where SongID = " + id);
  });
}

}  // namespace

SongDeletion DeleteSong(dao::DaoDatabase& db, const std::string& songsFolder,
                        std::int32_t songId, bool hasFile) {
  if (!hasFile) {
    DeleteRows(db, songId);
    return SongDeletion::Deleted;
  }
  const std::string songFile = SongFileNameInFolder(songsFolder, static_cast<std::uint32_t>(songId));
  const std::string aside = SetAside(songsFolder, songFile);
  if (aside.empty()) return SongDeletion::FileNotMoved;
  try {
    DeleteRows(db, songId);
  } catch (...) {
    MoveSongFile(aside, songFile);
    throw;
  }
  unlink(aside.c_str());
  return SongDeletion::Deleted;
}

}  // namespace vx
