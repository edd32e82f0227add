#include "library/LibraryQueries.h"

#include <cstdlib>

#include "library/CSongRecordset.h"
#include "library/CVeluParmsSet.h"
#include "platform/dao/DaoDatabase.h"

namespace vx {

namespace {

// A whole-text decimal number; anything else (empty, letters, trailing junk) is 0.
double ParseDecimal(const std::string& text) {
  const char* begin = text.c_str();
  while (*begin == ' ') ++begin;
  if (*begin == '\0') return 0;
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  while (end != nullptr && *end == ' ') ++end;
  return (end != nullptr && *end == '\0') ? value : 0;
}

}  // namespace

double ReadDatabaseVersion(dao::DaoDatabase& db) {
  CVeluParmsSet parms(db);
  parms.SetFilter("ParmName = 'DatabaseVersion'");
  parms.Open(dao::OpenType::Snapshot, {}, dao::kForwardOnly);
  return parms.IsEOF() ? 0 : ParseDecimal(parms.ParmValue);
}

std::int32_t NewSongNumber(dao::DaoDatabase& db) {
  CSongRecordset songs(db);
  songs.SetSort("SongID DESC");
  songs.Open(dao::OpenType::Dynaset);
  return songs.IsEOF() ? 1 : songs.SongID + 1;
}

long CountSongs(dao::DaoDatabase& db, const std::string& clause) {
  dao::DaoRecordset count(db);
  count.Open(dao::OpenType::Snapshot, "Select count(*) from Songs " + clause, dao::kForwardOnly);
  if (count.IsEOF()) return 0;
  const dao::DaoValue value = count.GetFieldValue(0);
  const auto* number = std::get_if<std::int64_t>(&value);
  return number != nullptr ? static_cast<long>(*number) : 0;
}

SongCounts CountSongsBySource(dao::DaoDatabase& db) {
  SongCounts counts;
  counts.total = CountSongs(db, "");
  counts.onCd = CountSongs(db, "Where SongCompression = 'C'; ");
  counts.uncompressed = CountSongs(db, "Where SongCompression = ' '; ");
  counts.compressed = CountSongs(db, "Where SongCompression Not In ('C', ' '); ");
  return counts;
}

}  // namespace vx
