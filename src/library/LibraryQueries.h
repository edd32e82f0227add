// Single-value reads of the library that several parts of the programs need.
#pragma once

#include <cstdint>
#include <string>

namespace vx::dao {
class DaoDatabase;
}

namespace vx {

inline constexpr double kDatabaseVersion = 2.0;

// The ParmValue of the "DatabaseVersion" row as a decimal number; 0 when the row is
// missing or its text is not a number.
double ReadDatabaseVersion(dao::DaoDatabase& db);

// The number for a song about to be added: the highest SongID + 1, or 1 for an empty table.
std::int32_t NewSongNumber(dao::DaoDatabase& db);

// "Select count(*) from Songs " followed by clause (may be empty), read as one value.
long CountSongs(dao::DaoDatabase& db, const std::string& clause);

// The four counts of the library summary: all songs, songs on CD, uncompressed, compressed.
struct SongCounts {
  long total = 0;
  long onCd = 0;
  long uncompressed = 0;
  long compressed = 0;
};
SongCounts CountSongsBySource(dao::DaoDatabase& db);

}  // namespace vx
