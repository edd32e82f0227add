// Removes a song from the library for good: its audio file, its cue points, its playlist
// entries and its Songs row. The order keeps the library whole whatever fails:
//   1. the audio file is renamed aside in the Songs folder (a file that cannot be moved
//      stops everything, and nothing has changed);
//   2. cue points, playlist entries and the row go in one transaction;
//   3. only after the commit is the set-aside file unlinked. A failed transaction is rolled
//      back and the file renamed back to its name, so the song keeps its audio.
// Playlists keep their other entries; their sequence numbers show a gap until the playlist
// is saved again.
#pragma once

#include <cstdint>
#include <string>

namespace vx::dao {
class DaoDatabase;
}

namespace vx {

enum class SongDeletion { Deleted, FileNotMoved };

// Deletes song `songId`; `hasFile` is false for a CD song, which has only rows. Database
// failures are rethrown as dao::DaoException after the rollback and the file's return.
SongDeletion DeleteSong(dao::DaoDatabase& db, const std::string& songsFolder,
                        std::int32_t songId, bool hasFile);

}  // namespace vx
