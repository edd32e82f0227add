// vxadmin repair on libraries with pages destroyed at random, and the audio-file checks of
// vxadmin check. Which rows lie on which page is read here independently of the repair:
// SQLite's dbstat names each table's leaf pages, and the row ids are read from the cells.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "admin/AdminCommands.h"
#include "admin/DemoLibrary.h"
#include "admin/LibraryCreator.h"
#include "admin/LibraryMaintenance.h"
#include "admin/LibraryRepair.h"
#include "library/CCueListRec.h"
#include "library/CPlaylist.h"
#include "library/CPlaylistDtl.h"
#include "library/CSongRecordset.h"
#include "library/CSongTypeRecordSet.h"
#include "library/CVeluParmsSet.h"
#include "library/LibraryQueries.h"
#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"
#include "support/TestFolder.h"

namespace vx::admin {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kPageSize = 4096;

using Row = std::vector<dao::DaoValue>;
using Rows = std::map<std::int64_t, Row>;  // by row id
using Library = std::map<std::string, Rows>;

int Admin(std::vector<std::string> args, std::string* output = nullptr) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = RunAdmin(args, out, err);
  if (output != nullptr) *output = out.str() + err.str();
  return code;
}

Library ReadLibrary(const std::string& file) {
  dao::DaoDatabase db;
  db.Open(file, dao::OpenMode::ReadOnly);
  Library library;
  for (const char* table : kLibraryTables) {
    dao::DaoRecordset rows(db);
    rows.Open(dao::OpenType::Snapshot, std::string("SELECT rowid, * FROM ") + table);
    for (; !rows.IsEOF(); rows.MoveNext()) {
      Row row;
      for (int i = 1; i < rows.GetFieldCount(); ++i) row.push_back(rows.GetFieldValue(i));
      library[table][std::get<std::int64_t>(rows.GetFieldValue(0))] = row;
    }
  }
  return library;
}

// The demo library with enough rows that every big table spans many pages. The extra songs
// are CD songs, which have no audio file.
std::string MakeLibrary(const std::string& folder) {
  CreateDemoLibrary(folder);
  dao::DaoDatabase db;
  db.Open(folder + "/" + kLibraryFileName);
  db.Execute(R"SQL(
    WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 1599)
    INSERT INTO Songs (SongID, SongTypeCode, SongName, SongArtist, SongAlbumName, SongLabel,
                       SongDate, SongRecordDate, SongBPM, SongAttributes, SongLength, SongCdId,
                       SongCdTrack, SongCDDB, SongCompression, SongComments)
    SELECT i, 'HOUSE', 'SONG ' || i, 'ARTIST ' || (i % 50), 'ALBUM', 'LABEL',
           '1999-01-01 00:00:00', '2000-02-01 00:00:00', 100 + i % 40 + 0.5, 'DANCE',
           '03:00:10', 'CD' || (i / 10), i % 10 + 1, i, 'C', 'A COMMENT FOR SONG ' || i FROM n;
    WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 4499)
    INSERT INTO CueList (CueDescription, CueNumber, CueOffset, SongID)
    SELECT 'CUE ' || (i % 3 + 1), i % 3 + 1, '00:1' || (i % 3) || ':10', 100 + i / 3 FROM n;
    WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 39)
    INSERT INTO Playlist (PlaylistName, PlaylistDate, CurrentSeqNum, PlaylistComment)
    SELECT 'LIST ' || i, '2000-02-01 00:00:00', 1, 'FOR THE NIGHT' FROM n;
    WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 999)
    INSERT INTO PlaylistDetail (PlaylistName, PlaylistSequenceNum, SongID, PlaylistOffset)
    SELECT 'LIST ' || (i / 25), i % 25 + 1, 100 + i, '' FROM n;
  )SQL");
  db.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
  return folder;
}

std::uint32_t Be16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] << 8 | p[1]); }

std::int64_t ReadVarint(const std::uint8_t*& p) {
  std::uint64_t value = 0;
  for (int i = 0; i < 9; ++i) {
    const std::uint8_t byte = *p++;
    if (i == 8) return static_cast<std::int64_t>(value << 8 | byte);
    value = value << 7 | (byte & 0x7f);
    if ((byte & 0x80) == 0) break;
  }
  return static_cast<std::int64_t>(value);
}

// Table name and row ids of every table leaf page of an intact file.
std::map<std::uint32_t, std::pair<std::string, std::vector<std::int64_t>>> LeafPages(
    const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  std::map<std::uint32_t, std::pair<std::string, std::vector<std::int64_t>>> pages;
  dao::DaoDatabase db;
  db.Open(file, dao::OpenMode::ReadOnly);
  dao::DaoRecordset stat(db);
  stat.Open(dao::OpenType::Snapshot,
            "SELECT name, pageno FROM dbstat WHERE pagetype = 'leaf' AND name IN "
            "('Songs', 'SongType', 'CueList', 'Playlist', 'PlaylistDetail', 'VeluParms')");
  for (; !stat.IsEOF(); stat.MoveNext()) {
    const auto page = static_cast<std::uint32_t>(std::get<std::int64_t>(stat.GetFieldValue(1)));
    const std::uint8_t* start = bytes.data() + (page - 1) * kPageSize;
    EXPECT_EQ(start[0], 13) << "page " << page;
    std::vector<std::int64_t> rowids;
    for (std::uint32_t cell = 0; cell < Be16(start + 3); ++cell) {
      const std::uint8_t* p = start + Be16(start + 8 + 2 * cell);
      ReadVarint(p);  // payload size
      rowids.push_back(ReadVarint(p));
    }
    pages[page] = {std::get<std::string>(stat.GetFieldValue(0)), rowids};
  }
  return pages;
}

std::set<std::string> FolderListing(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

std::vector<char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What each program does on opening a library: the recorder opens it for writing, the player
// read-only; both check the schema version and read through the record classes.
void OpenAsBothPrograms(const std::string& file) {
  for (const dao::OpenMode mode : {dao::OpenMode::Shared, dao::OpenMode::ReadOnly}) {
    dao::DaoDatabase db;
    db.Open(file, mode);
    EXPECT_DOUBLE_EQ(ReadDatabaseVersion(db), 2.0);
    CSongRecordset songs(db);
    CSongTypeRecordSet types(db);
    CCueListRec cues(db);
    CPlaylist playlists(db);
    CPlaylistDtl entries(db);
    for (dao::DaoRecordset* set : std::initializer_list<dao::DaoRecordset*>{
             &songs, &types, &cues, &playlists, &entries}) {
      set->Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
      while (!set->IsEOF()) set->MoveNext();
    }
  }
}

TEST(AdminRepair, RandomlyDestroyedPagesLoseOnlyTheirOwnRows) {
  const std::string pristine = MakeLibrary(test::TestFolder() + "/pristine");
  const std::string pristineFile = pristine + "/" + kLibraryFileName;
  const Library original = ReadLibrary(pristineFile);
  const auto leaves = LeafPages(pristineFile);
  const auto pageCount = static_cast<std::uint32_t>(fs::file_size(pristineFile) / kPageSize);
  ASSERT_GT(pageCount, 60u);
  ASSERT_GT(leaves.size(), 40u);

  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const std::string folder = test::TestFolder() + "/seed" + std::to_string(seed);
    fs::copy(pristine, folder, fs::copy_options::recursive);
    const std::string file = folder + "/" + kLibraryFileName;

    // Destroy one to three pages with random bytes.
    std::mt19937 random(seed);
    std::set<std::uint32_t> destroyed;
    const unsigned count = 1 + seed % 3;
    while (destroyed.size() < count) {
      destroyed.insert(std::uniform_int_distribution<std::uint32_t>(1, pageCount)(random));
    }
    {
      std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
      for (const std::uint32_t page : destroyed) {
        std::string noise(kPageSize, '\0');
        for (char& c : noise) c = static_cast<char>(random());
        out.seekp(static_cast<std::streamoff>(page - 1) * kPageSize);
        out.write(noise.data(), kPageSize);
      }
    }
    const std::vector<char> damagedBytes = FileBytes(file);
    const std::set<std::string> songFiles = FolderListing(folder + "/Songs");

    std::string output;
    ASSERT_EQ(Admin({"repair", folder}, &output), 0) << output;
    // The file is sound; only the audio files of demo songs whose rows were lost may be
    // named by no song.
    for (const std::string& problem : CheckLibrary(folder)) {
      EXPECT_NE(problem.find("named by no song"), std::string::npos) << problem;
    }
    OpenAsBothPrograms(file);
    EXPECT_EQ(FolderListing(folder + "/Songs"), songFiles);  // audio files are never touched

    // The damaged file is kept unchanged beside the library.
    std::vector<std::string> backups;
    for (const std::string& name : FolderListing(folder)) {
      if (name.rfind("Velumix.vxl.damaged-", 0) == 0 && !name.ends_with("-wal")) {
        backups.push_back(name);
      }
    }
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(FileBytes(folder + "/" + backups[0]), damagedBytes);

    // Every row on a page that was not destroyed is back, unchanged.
    std::map<std::string, std::set<std::int64_t>> lost;
    for (const std::uint32_t page : destroyed) {
      const auto leaf = leaves.find(page);
      if (leaf == leaves.end()) continue;
      lost[leaf->second.first].insert(leaf->second.second.begin(), leaf->second.second.end());
    }
    const Library repaired = ReadLibrary(file);
    for (const auto& [table, rows] : original) {
      long missing = 0;
      for (const auto& [rowid, row] : rows) {
        if (lost[table].count(rowid) != 0) continue;
        const auto found = repaired.find(table);
        if (found == repaired.end() || found->second.count(rowid) == 0 ||
            found->second.at(rowid) != row) {
          ++missing;
        }
      }
      EXPECT_EQ(missing, 0) << table << " after destroying pages of " << output;
    }
  }
}

// A program that died while writing leaves its last changes in the journal beside the file.
TEST(AdminRepair, ChangesStillInTheJournalAreRecovered) {
  const std::string origin = test::TestFolder() + "/origin";
  CreateDemoLibrary(origin);
  const std::string folder = test::TestFolder() + "/crashed";
  {
    dao::DaoDatabase writer;
    writer.Open(origin + "/" + kLibraryFileName);
    writer.Execute("PRAGMA wal_autocheckpoint=0");
    writer.Execute("INSERT INTO SongType (SongTypeCode, SongTypeDescription) "
                   "VALUES ('LATE', 'WRITTEN LAST')");
    fs::copy(origin, folder, fs::copy_options::recursive);  // while the writer still holds it
  }
  ASSERT_GT(fs::file_size(folder + "/" + std::string(kLibraryFileName) + "-wal"), 0u);
  std::string output;
  ASSERT_EQ(Admin({"repair", folder}, &output), 0) << output;
  const Library repaired = ReadLibrary(folder + "/" + kLibraryFileName);
  bool found = false;
  for (const auto& [rowid, row] : repaired.at("SongType")) {
    found = found || std::get<std::string>(row[0]) == "LATE";
  }
  EXPECT_TRUE(found) << output;
}

TEST(AdminRepair, BackupsNeverReplaceEarlierOnes) {
  const std::string folder = test::TestFolder();
  const std::string file = folder + "/" + kLibraryFileName;
  const std::time_t now = 946684800;  // the same second every time
  const std::string first = BackupName(file, now);
  EXPECT_EQ(first.rfind(file + ".damaged-", 0), 0u);
  std::ofstream(first) << "x";
  const std::string second = BackupName(file, now);
  EXPECT_EQ(second, first + "-2");
  std::ofstream(second + "-wal") << "x";
  EXPECT_EQ(BackupName(file, now), first + "-3");

  std::string output;
  EXPECT_EQ(Admin({"repair", folder + "/nothing-here"}, &output), 1);
}

TEST(AdminRepair, CheckNamesMissingAudioFilesAndFilesNoSongNames) {
  const std::string folder = test::TestFolder() + "/demo";
  CreateDemoLibrary(folder);
  ASSERT_TRUE(CheckLibrary(folder).empty());
  fs::remove(SongFileName(folder, 2));
  std::ofstream(folder + "/Songs/Song0000000099.Wav") << "stray";
  const std::vector<std::string> problems = CheckLibrary(folder);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[0].find("Song0000000002.Wav"), std::string::npos) << problems[0];
  EXPECT_NE(problems[1].find("Song0000000099.Wav"), std::string::npos) << problems[1];

  // Repair leaves both as they are: it never makes or deletes audio files.
  std::string output;
  EXPECT_EQ(Admin({"repair", folder}, &output), 0) << output;
  EXPECT_TRUE(fs::exists(folder + "/Songs/Song0000000099.Wav"));
  EXPECT_EQ(CheckLibrary(folder).size(), 2u);
}

// A recording, import or compression cut off by a crash leaves its temporary file in Songs:
// check lists it apart from damage, and repair deletes it.
TEST(AdminRepair, TemporaryFilesLeftInSongsAreNoDamageAndRepairDeletesThem) {
  const std::string folder = test::TestFolder() + "/demo";
  CreateDemoLibrary(folder);
  const std::string songs = SongsFolder(folder);
  std::vector<std::string> left;
  for (const char* prefix : {kTakeTempPrefix, kImportTempPrefix, kCopyTempPrefix}) {
    left.push_back(MakeTempFileName(songs, prefix));
    std::ofstream(left.back()) << "half a take";
  }
  left.push_back(CompressionTempName(songs, 3));
  std::ofstream(left.back()) << "half a song";
  std::ofstream(songs + "/VXD0001.tmp") << "a song set aside";

  // The set-aside file of a song deletion stays a problem: it may be a song's only audio.
  const std::vector<std::string> problems = CheckLibrary(folder);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("VXD0001.tmp is named by no song"), std::string::npos);
  EXPECT_EQ(LeftoverTempFiles(folder).size(), 4u);
  fs::remove(songs + "/VXD0001.tmp");

  std::string output;
  EXPECT_EQ(Admin({"check", folder}, &output), 0) << output;
  EXPECT_NE(output.find("no problems found"), std::string::npos) << output;
  EXPECT_NE(output.find("4 temporary file(s) left in Songs"), std::string::npos) << output;
  for (const std::string& file : left) {
    EXPECT_NE(output.find("Songs/" + fs::path(file).filename().string()), std::string::npos)
        << output;
  }

  ASSERT_EQ(Admin({"repair", folder}, &output), 0) << output;
  for (const std::string& file : left) EXPECT_FALSE(fs::exists(file)) << file;
  EXPECT_NE(output.find("Deleted the leftover temporary file Songs/Temp0000000003.Wav"),
            std::string::npos)
      << output;
  EXPECT_TRUE(LeftoverTempFiles(folder).empty());
  EXPECT_TRUE(CheckLibrary(folder).empty());
  EXPECT_TRUE(fs::exists(SongFileName(folder, 3)));
}

}  // namespace
}  // namespace vx::admin
