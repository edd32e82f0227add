#include "admin/LibraryMaintenance.h"

#include <filesystem>

#include "admin/LibraryCreator.h"
#include "library/LibraryQueries.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoRecordset.h"

namespace vx::admin {
namespace {

constexpr const char* kTables[] = {"Songs", "SongType", "CueList",
                                   "Playlist", "PlaylistDetail", "VeluParms"};

std::string FilePath(const std::string& folder) {
  return (std::filesystem::path(folder) / kLibraryFileName).string();
}

void CheckOpen(dao::DaoDatabase& db, std::vector<std::string>& problems) {
  dao::DaoRecordset integrity(db);
  integrity.Open(dao::OpenType::Snapshot, "PRAGMA integrity_check", dao::kForwardOnly);
  for (; !integrity.IsEOF(); integrity.MoveNext()) {
    const dao::DaoValue value = integrity.GetFieldValue(0);
    const auto* text = std::get_if<std::string>(&value);
    if (text != nullptr && *text != "ok") problems.push_back("integrity: " + *text);
  }
  for (const char* table : kTables) {
    dao::DaoRecordset found(db);
    found.Open(dao::OpenType::Snapshot,
               std::string("SELECT name FROM sqlite_master WHERE type = 'table' AND name = '") +
                   table + "'");
    if (found.IsEOF()) problems.push_back(std::string("missing table ") + table);
  }
  if (problems.empty() && ReadDatabaseVersion(db) != kDatabaseVersion) {
    problems.emplace_back("the schema version is not 2.0");
  }
}

}  // namespace

std::vector<std::string> CheckLibrary(const std::string& folder) {
  std::vector<std::string> problems;
  const std::string file = FilePath(folder);
  if (!std::filesystem::exists(file)) return {"no library file " + file};
  try {
    dao::DaoDatabase db;
    db.Open(file, dao::OpenMode::ReadOnly);
    CheckOpen(db, problems);
  } catch (const dao::DaoException& exception) {
    problems.push_back(std::string("cannot read the library: ") + exception.what());
  }
  if (!std::filesystem::is_directory(std::filesystem::path(folder) / kSongsFolderName)) {
    problems.push_back(std::string("missing folder ") + kSongsFolderName);
  }
  return problems;
}

std::vector<std::string> CompactLibrary(const std::string& folder) {
  std::vector<std::string> problems = CheckLibrary(folder);
  if (!problems.empty()) return problems;
  try {
    dao::DaoDatabase db;
    db.Open(FilePath(folder), dao::OpenMode::Shared);
    db.Execute("VACUUM");
    db.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
  } catch (const dao::DaoException& exception) {
    problems.push_back(std::string("cannot compact the library: ") + exception.what());
  }
  return problems;
}

}  // namespace vx::admin
