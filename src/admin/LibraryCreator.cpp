#include "admin/LibraryCreator.h"

#include <filesystem>
#include <stdexcept>

#include "platform/dao/DaoDatabase.h"

namespace vx::admin {
namespace {

// Text columns compare without regard to case, as the library's queries expect.
constexpr const char* kSchema = R"SQL(
CREATE TABLE Songs (
  SongID INTEGER PRIMARY KEY,
  SongTypeCode TEXT COLLATE NOCASE,
  SongName TEXT COLLATE NOCASE,
  SongArtist TEXT COLLATE NOCASE,
  SongAlbumName TEXT COLLATE NOCASE,
  SongLabel TEXT COLLATE NOCASE,
  SongDate TEXT,
  SongRecordDate TEXT,
  SongBPM REAL DEFAULT 0,
  SongAttributes TEXT COLLATE NOCASE,
  SongLength TEXT,
  SongCdId TEXT COLLATE NOCASE,
  SongCdTrack INTEGER DEFAULT 0,
  SongCDDB INTEGER DEFAULT 0,
  SongCompression TEXT DEFAULT ' ',
  SongComments TEXT COLLATE NOCASE);
CREATE INDEX SongsSongCdId ON Songs (SongCdId);
CREATE INDEX SongsSongCompression ON Songs (SongCompression);
CREATE INDEX SongsSongTypeCode ON Songs (SongTypeCode);
CREATE TABLE SongType (
  SongTypeCode TEXT COLLATE NOCASE,
  SongTypeDescription TEXT COLLATE NOCASE);
CREATE UNIQUE INDEX SongTypeCode ON SongType (SongTypeCode);
CREATE TABLE CueList (
  CueDescription TEXT COLLATE NOCASE,
  CueNumber INTEGER DEFAULT 0,
  CueOffset TEXT,
  SongID INTEGER DEFAULT 0);
CREATE INDEX CueListSongID ON CueList (SongID, CueNumber);
CREATE TABLE Playlist (
  PlaylistName TEXT COLLATE NOCASE,
  PlaylistDate TEXT,
  CurrentSeqNum INTEGER DEFAULT 0,
  PlaylistComment TEXT COLLATE NOCASE);
CREATE UNIQUE INDEX PlaylistName ON Playlist (PlaylistName);
CREATE TABLE PlaylistDetail (
  PlaylistName TEXT COLLATE NOCASE,
  PlaylistSequenceNum INTEGER DEFAULT 0,
  SongID INTEGER DEFAULT 0,
  PlaylistOffset TEXT);
CREATE INDEX PlaylistDetailName ON PlaylistDetail (PlaylistName, PlaylistSequenceNum);
CREATE INDEX PlaylistDetailSongID ON PlaylistDetail (SongID);
CREATE TABLE VeluParms (
  ParmName TEXT COLLATE NOCASE,
  ParmValue TEXT);
CREATE UNIQUE INDEX VeluParmsName ON VeluParms (ParmName);
INSERT INTO VeluParms (ParmName, ParmValue) VALUES ('DatabaseVersion', '2.0');
)SQL";

}  // namespace

void CreateLibrary(const std::string& folder) {
  namespace fs = std::filesystem;
  const fs::path dir(folder);
  const fs::path file = dir / kLibraryFileName;
  std::error_code error;
  if (fs::exists(file, error)) {
    throw std::runtime_error("a library already exists: " + file.string());
  }
  fs::create_directories(dir / kSongsFolderName, error);
  if (error) {
    throw std::runtime_error("cannot make " + (dir / kSongsFolderName).string() + ": " +
                             error.message());
  }
  CreateLibraryFile(file.string());
}

void CreateLibraryFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    throw std::runtime_error("a library already exists: " + path);
  }
  dao::DaoDatabase db;
  db.Open(path, dao::OpenMode::Create);
  try {
    db.Execute("PRAGMA journal_mode=WAL");
    db.BeginTrans();
    db.Execute(kSchema);
    db.CommitTrans();
  } catch (...) {
    db.Close();
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix, error);
    throw;
  }
}

}  // namespace vx::admin
