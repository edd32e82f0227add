// The record classes over a real library made by the administrator.
#include <gtest/gtest.h>

#include "library/CCueListRec.h"
#include "library/CPlaylist.h"
#include "library/CPlaylistDtl.h"
#include "library/CSongRecordset.h"
#include "library/CSongTypeRecordSet.h"
#include "library/CVeluParmsSet.h"
#include "library/LibraryQueries.h"
#include "library/SqlText.h"
#include "platform/dao/DaoDatabase.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

class LibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    db_.Open(test::MakeTestLibrary() + "/Velumix.vxl", dao::OpenMode::Shared);
  }

  void AddSong(std::int32_t id, const std::string& name, const std::string& compression) {
    CSongRecordset songs(db_);
    songs.Open();
    songs.AddNew();
    songs.SongID = id;
    songs.SongName = name;
    songs.SongArtist = "Artist";
    songs.SongCompression = compression;
    songs.Update();
  }

  dao::DaoDatabase db_;
};

TEST_F(LibraryTest, SongRowKeepsEveryFieldInBindingOrder) {
  {
    CSongRecordset songs(db_);
    songs.Open();
    songs.AddNew();
    songs.SongID = 42;
    songs.SongTypeCode = "DISCO";
    songs.SongName = "NIGHT FEVER";
    songs.SongArtist = "THE BAND";
    songs.SongAlbumName = "ALBUM";
    songs.SongLabel = "LABEL";
    songs.SongDate = {1978, 1, 2, 0, 0, 0};
    songs.SongRecordDate = {2000, 2, 1, 0, 0, 0};
    songs.SongBPM = 109.5;
    songs.SongAttributes = "FUNKY";
    songs.SongLength = "03:31.250";
    songs.SongCdId = "CD1";
    songs.SongCdTrack = 7;
    songs.SongCDDB = 123456;
    songs.SongCompression = " ";
    songs.SongComments = "NONE";
    songs.Update();
  }
  CSongRecordset song(db_);
  song.SetFilter("SongID = 42");
  song.Open();
  ASSERT_FALSE(song.IsEOF());
  EXPECT_EQ(song.GetFieldCount(), 16);
  EXPECT_EQ(song.SongTypeCode, "DISCO");
  EXPECT_EQ(song.SongDate, (dao::DaoDateTime{1978, 1, 2, 0, 0, 0}));
  EXPECT_DOUBLE_EQ(song.SongBPM, 109.5);
  EXPECT_EQ(song.SongCdTrack, 7);
  EXPECT_EQ(song.SongCDDB, 123456);
  EXPECT_EQ(song.SongCompression, " ");  // the blank code survives
  EXPECT_EQ(song.SongComments, "NONE");
  EXPECT_EQ(std::get<std::string>(song.GetFieldValue(2)), "NIGHT FEVER");
}

TEST_F(LibraryTest, NewSongNumberAndCounts) {
  EXPECT_EQ(NewSongNumber(db_), 1);
  AddSong(7, "A", " ");
  AddSong(3, "B", "C");
  AddSong(5, "C", "A");
  AddSong(9, "D", "M");
  AddSong(8, "E", " ");
  EXPECT_EQ(NewSongNumber(db_), 10);
  const SongCounts counts = CountSongsBySource(db_);
  EXPECT_EQ(counts.total, 5);
  EXPECT_EQ(counts.onCd, 1);
  EXPECT_EQ(counts.uncompressed, 2);
  EXPECT_EQ(counts.compressed, 2);
}

TEST_F(LibraryTest, QuotedTextFindsApostrophesAndCannotInject) {
  AddSong(1, "O'Brien's Jig", " ");
  AddSong(2, "Other", " ");
  const std::string typed = "O'BRIEN'S JIG";
  CSongRecordset songs(db_);
  songs.SetFilter("SongName like '" + SqlQuote(typed) + "'");
  songs.Open();
  ASSERT_FALSE(songs.IsEOF());
  EXPECT_EQ(songs.SongID, 1);

  const std::string hostile = "x' OR '1'='1";
  CSongRecordset none(db_);
  none.SetFilter("SongName = '" + SqlQuote(hostile) + "'");
  none.Open();
  EXPECT_TRUE(none.IsEOF());
  EXPECT_EQ(SqlQuote("''"), "''''");
}

TEST_F(LibraryTest, DatabaseVersionReadsAsNumberOrZero) {
  EXPECT_DOUBLE_EQ(ReadDatabaseVersion(db_), 2.0);
  db_.Execute("UPDATE VeluParms SET ParmValue = 'two' WHERE ParmName = 'DatabaseVersion'");
  EXPECT_DOUBLE_EQ(ReadDatabaseVersion(db_), 0);
  db_.Execute("UPDATE VeluParms SET ParmValue = ' 2.00 ' WHERE ParmName = 'DatabaseVersion'");
  EXPECT_DOUBLE_EQ(ReadDatabaseVersion(db_), 2.0);
  db_.Execute("DELETE FROM VeluParms");
  EXPECT_DOUBLE_EQ(ReadDatabaseVersion(db_), 0);
}

TEST_F(LibraryTest, OtherTablesAndTheDeletionStatements) {
  AddSong(4, "Song", " ");
  {
    CCueListRec cues(db_);
    cues.Open();
    for (std::int16_t n = 1; n <= 3; ++n) {
      cues.AddNew();
      cues.CueDescription = "CUE " + std::to_string(n);
      cues.CueNumber = n;
      cues.CueOffset = "00:0" + std::to_string(n) + ".000";
      cues.SongID = 4;
      cues.Update();
    }
    CPlaylist playlist(db_);
    playlist.Open();
    playlist.AddNew();
    playlist.PlaylistName = "FRIDAY";
    playlist.PlaylistDate = {2000, 2, 4, 0, 0, 0};
    playlist.Update();
    CPlaylistDtl detail(db_);
    detail.Open();
    detail.AddNew();
    detail.PlaylistName = "FRIDAY";
    detail.PlaylistSequenceNum = 1;
    detail.SongID = 4;
    detail.Update();
    CSongTypeRecordSet types(db_);
    types.Open();
    EXPECT_FALSE(types.CanUpdate());  // song types are read as a snapshot by default
  }
  CCueListRec cues(db_);
  cues.SetFilter("SongID = 4");
  cues.SetSort("CueNumber DESC");
  cues.Open();
  EXPECT_EQ(cues.CueNumber, 3);
  ASSERT_TRUE(cues.FindFirst("CueDescription = 'CUE 2'"));
  EXPECT_EQ(cues.CueOffset, "00:02.000");
  cues.Close();

  db_.BeginTrans();
  db_.Execute("Delete from Songs Where SongID = 4");
  db_.Execute("Delete from CueList Where SongID = 4");
  db_.Execute("Delete from PlaylistDetail Where SongID = 4");
  db_.CommitTrans();
  db_.Execute("Delete From Playlist Where PlaylistName = 'FRIDAY' ");
  EXPECT_EQ(CountSongs(db_, ""), 0);
  CVeluParmsSet parms(db_);
  parms.Open();
  EXPECT_EQ(parms.ParmName, "DatabaseVersion");
  EXPECT_EQ(parms.ParmValue, "2.0");
}

}  // namespace
}  // namespace vx
