#include "admin/LibraryMaintenance.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "admin/LibraryCreator.h"
#include "library/CSongRecordset.h"
#include "library/LibraryQueries.h"
#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoRecordset.h"

namespace vx::admin {
namespace {

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
  for (const char* table : kLibraryTables) {
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

// Every song stored as a file has its file in Songs, and every file there belongs to a song.
void CheckSongFiles(dao::DaoDatabase& db, const std::string& folder,
                    std::vector<std::string>& problems) {
  namespace fs = std::filesystem;
  const fs::path songs = fs::path(folder) / kSongsFolderName;
  std::set<std::string> named;
  CSongRecordset song(db);
  song.SetSort("SongID");
  song.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly | dao::kForwardOnly);
  for (; !song.IsEOF(); song.MoveNext()) {
    if (song.SongCompression == "C") continue;  // a CD track: no file
    const fs::path file = SongFileName(folder, static_cast<std::uint32_t>(song.SongID));
    named.insert(file.filename().string());
    std::error_code error;
    if (!fs::is_regular_file(file, error)) {
      problems.push_back("song " + std::to_string(song.SongID) + " (" + song.SongName +
                         "): its file " + kSongsFolderName + "/" + file.filename().string() +
                         " is missing");
    }
  }
  std::error_code error;
  std::set<std::string> unnamed;
  for (const auto& entry : fs::directory_iterator(songs, error)) {
    const std::string name = entry.path().filename().string();
    if (named.count(name) == 0 && !IsSongsTempName(name)) unnamed.insert(name);
  }
  for (const std::string& name : unnamed) {
    problems.push_back(std::string("the file ") + kSongsFolderName + "/" + name +
                       " is named by no song");
  }
}

}  // namespace

std::vector<std::string> CheckLibraryFile(const std::string& path) {
  std::vector<std::string> problems;
  try {
    dao::DaoDatabase db;
    db.Open(path, dao::OpenMode::ReadOnly);
    CheckOpen(db, problems);
  } catch (const dao::DaoException& exception) {
    problems.push_back(std::string("cannot read the library: ") + exception.what());
  }
  return problems;
}

std::vector<std::string> CheckLibraryStructure(const std::string& folder) {
  const std::string file = FilePath(folder);
  if (!std::filesystem::exists(file)) return {"no library file " + file};
  std::vector<std::string> problems = CheckLibraryFile(file);
  if (!std::filesystem::is_directory(std::filesystem::path(folder) / kSongsFolderName)) {
    problems.push_back(std::string("missing folder ") + kSongsFolderName);
  }
  return problems;
}

std::vector<std::string> CheckLibrary(const std::string& folder) {
  std::vector<std::string> problems = CheckLibraryStructure(folder);
  if (!problems.empty()) return problems;
  try {
    dao::DaoDatabase db;
    db.Open(FilePath(folder), dao::OpenMode::ReadOnly);
    CheckSongFiles(db, folder, problems);
  } catch (const dao::DaoException& exception) {
    problems.push_back(std::string("cannot read the library: ") + exception.what());
  }
  return problems;
}

std::vector<std::string> LeftoverTempFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(folder) / kSongsFolderName, error)) {
    const std::string name = entry.path().filename().string();
    if (IsSongsTempName(name) && entry.is_regular_file(error)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> CompactLibrary(const std::string& folder) {
  std::vector<std::string> problems = CheckLibraryStructure(folder);
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
