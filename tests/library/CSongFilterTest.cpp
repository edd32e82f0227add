#include "library/CSongFilter.h"

#include <gtest/gtest.h>

#include "library/CSongRecordset.h"
#include "platform/dao/DaoDatabase.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

TEST(SongFilter, SearchStatementsAndFormulas) {
  CSongFilter none;
  SongFilterResult r = BuildSongFilter(none);
  EXPECT_EQ(r.statement, "SELECT * FROM Songs ;");
  EXPECT_EQ(r.formula, "");

  CSongFilter rock;
  rock.typeCode = "ROCK";
  r = BuildSongFilter(rock);
  EXPECT_EQ(r.statement, "SELECT * FROM Songs WHERE SongTypeCode = 'ROCK';");
  EXPECT_EQ(r.formula, "{Songs.SongTypeCode} = 'ROCK'");

  CSongFilter beat;
  beat.name = "BEAT";
  beat.media = MediaChoice::Wave;
  beat.tempo = TempoComparison::Between;
  beat.tempo1 = "120";
  beat.tempo2 = "130";
  r = BuildSongFilter(beat);
  EXPECT_EQ(r.statement,
            "SELECT * FROM Songs WHERE SongName like '*BEAT*' And SongCompression in (' ', 'A', "
            "'M')  And SongBPM Between 120 And 130;");
  EXPECT_EQ(r.formula,
            "{Songs.SongName} like '*BEAT*' and {Songs.SongCompression} in [' ', 'A', 'M']  and "
            "{Songs.SongBPM} in 120 to 130");

  CSongFilter all;
  all.name = "N";
  all.artist = "A";
  all.album = "B";
  all.label = "L";
  all.media = MediaChoice::Cd;
  all.tempo = TempoComparison::Less;
  all.tempo1 = "99.5";
  EXPECT_EQ(BuildSongFilter(all).statement,
            "SELECT * FROM Songs WHERE SongName like '*N*' And SongArtist like '*A*' And "
            "SongAlbumName like '*B*' And SongLabel like '*L*' And SongCompression = 'C'  And "
            "SongBPM < 99.5;");

  CSongFilter greaterEmpty;
  greaterEmpty.tempo = TempoComparison::Greater;
  EXPECT_EQ(BuildSongFilter(greaterEmpty).statement, "SELECT * FROM Songs ;");
}

TEST(SongFilter, SortingReplacesNothingButTheEnd) {
  CSongFilter beat;
  beat.name = "BEAT";
  const std::string stored = BuildSongFilter(beat).statement;
  EXPECT_EQ(SortedStatement(stored, 3),
            "SELECT * FROM Songs WHERE SongName like '*BEAT*' ORDER BY SongBPM;");
  EXPECT_EQ(ReportSortField(3), "{Songs.SongBPM}");
  EXPECT_EQ(SortedStatement(stored, 0),
            "SELECT * FROM Songs WHERE SongName like '*BEAT*' ORDER BY SongName;");
  EXPECT_EQ(SortedStatement(stored, 9), stored);
  EXPECT_EQ(ReportSortField(4), "{Songs.SongID}");
}

TEST(SongFilter, ChooserVariants) {
  CSongFilter c;
  c.tempo1 = "100";
  EXPECT_EQ(BuildSongFilter(c, SongFilterVariant::PlaylistChooser).statement,
            "SELECT * FROM Songs WHERE SongBPM Between 95.00 And 105.00  And SongCompression in "
            "(' ', 'A', 'M')  Order by SongBPM ");
  EXPECT_EQ(BuildSongFilter(c, SongFilterVariant::PlayerChooser).statement,
            "SELECT * FROM Songs WHERE SongBPM Between 96.000000 And 104.000000");
  c.exactTempo = true;
  c.attributes = "PARTY";
  c.media = MediaChoice::Cd;
  EXPECT_EQ(BuildSongFilter(c, SongFilterVariant::PlayerChooser).statement,
            "SELECT * FROM Songs WHERE SongAttributes like '*PARTY*' And SongCompression = 'C'  "
            "And SongBPM = 100");
  EXPECT_TRUE(BuildSongFilter(c, SongFilterVariant::PlayerChooser).formula.empty());
}

TEST(SongFilter, TempoThatIsNotANumberNeverReachesTheSql) {
  CSongFilter c;
  c.tempo = TempoComparison::Equal;
  c.tempo1 = "1; DROP TABLE Songs";
  SongFilterResult r = BuildSongFilter(c);
  EXPECT_EQ(r.error, SongFilterError::Tempo1NotNumber);
  EXPECT_TRUE(r.statement.empty());

  c.tempo = TempoComparison::Between;
  c.tempo1 = "120";
  c.tempo2 = "";
  EXPECT_EQ(BuildSongFilter(c).error, SongFilterError::Tempo2NotNumber);
  c.tempo1 = "fast";
  EXPECT_EQ(BuildSongFilter(c, SongFilterVariant::PlayerChooser).error,
            SongFilterError::Tempo1NotNumber);
  EXPECT_EQ(BuildSongFilter(c, SongFilterVariant::PlaylistChooser).error,
            SongFilterError::Tempo1NotNumber);

  for (const char* good : {"120", " 120 ", "-3", "+.5", "99."}) EXPECT_TRUE(IsTempoNumber(good));
  for (const char* bad : {"", ".", "1e3", "12 0", "0x10", "--1"}) EXPECT_FALSE(IsTempoNumber(bad));
}

TEST(SongFilter, ApostrophesAreFoundInTheLibrary) {
  dao::DaoDatabase db;
  db.Open(test::MakeTestLibrary() + "/Velumix.vxl");
  db.Execute(
      "INSERT INTO Songs (SongID, SongName, SongArtist, SongTypeCode, SongCompression) VALUES "
      "(1, 'Irish Jig', 'O''Brien', 'FOLK', ' '), (2, 'Other', 'Brien', 'FOLK', ' ')");
  CSongFilter c;
  c.artist = "O'BRIEN";
  c.typeCode = "FOLK";
  const SongFilterResult r = BuildSongFilter(c);
  EXPECT_EQ(r.formula, "{Songs.SongTypeCode} = 'FOLK' and {Songs.SongArtist} like '*O''BRIEN*'");
  CSongRecordset songs(db);
  songs.Open(dao::OpenType::Dynaset, r.statement);
  ASSERT_FALSE(songs.IsEOF());
  EXPECT_EQ(songs.SongID, 1);
  songs.MoveNext();
  EXPECT_TRUE(songs.IsEOF());
}

}  // namespace
}  // namespace vx
