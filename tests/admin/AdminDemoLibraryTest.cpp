// vxadmin demo: the library it makes is sound and recorded, its rows describe the song files,
// outside readers accept those files, cue points and the playlist are well formed, and a
// folder that already holds a library is refused.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "admin/AdminCommands.h"
#include "admin/DemoLibrary.h"
#include "admin/DemoSongs.h"
#include "library/CCueListRec.h"
#include "library/CPlaylist.h"
#include "library/CPlaylistDtl.h"
#include "library/CSongRecordset.h"
#include "library/CSongTypeRecordSet.h"
#include "library/SongLength.h"
#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/riff/WaveFile.h"
#include "platform/settings/ProfileSettings.h"
#include "recording/ToolOutput.h"
#include "support/TestFolder.h"

namespace vx::admin {
namespace {

int Admin(const std::vector<std::string>& args, std::string* errors = nullptr) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = RunAdmin(args, out, err);
  if (errors != nullptr) *errors = err.str();
  return code;
}

std::int64_t Count(dao::DaoDatabase& db, const std::string& table) {
  dao::DaoRecordset count(db);
  count.Open(dao::OpenType::Snapshot, "Select count(*) from " + table, dao::kForwardOnly);
  return std::get<std::int64_t>(count.GetFieldValue(0));
}

bool IsUpperCase(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](unsigned char c) { return std::islower(c); });
}

// A file song's offset text "MM:SS.mmm" in milliseconds; -1 when it is not of that form.
long OffsetMs(const std::string& text) {
  if (text.size() != 9 || text[2] != ':' || text[5] != '.') return -1;
  for (std::size_t i : {0, 1, 3, 4, 6, 7, 8}) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return -1;
  }
  return std::stol(text.substr(0, 2)) * 60000 + std::stol(text.substr(3, 2)) * 1000 +
         std::stol(text.substr(6, 3));
}

std::string SongFile(const std::string& folder, std::size_t index) {
  return SongFileName(folder, static_cast<std::uint32_t>(index + 1));
}

class AdminDemoLibrary : public testing::Test {
 protected:
  void SetUp() override {
    std::string errors;
    ASSERT_EQ(Admin({"demo", folder_}, &errors), 0) << errors;
    db_.Open(folder_ + "/Velumix.vxl", dao::OpenMode::ReadOnly);
  }

  const std::string folder_ = test::TestFolder() + "/demo";
  const std::span<const DemoSong> songs_ = DemoSongList();
  dao::DaoDatabase db_;
};

TEST_F(AdminDemoLibrary, IsRecordedSoundAndComplete) {
  EXPECT_EQ(ProfileSettings::Get(settings::kSongDbPath).toStdString(), folder_);
  EXPECT_EQ(Admin({"check"}), 0);
  EXPECT_GE(songs_.size(), 6u);
  EXPECT_EQ(Count(db_, "Songs"), static_cast<std::int64_t>(songs_.size()));
  EXPECT_EQ(Count(db_, "SongType"), static_cast<std::int64_t>(DemoSongTypes().size()));
  EXPECT_EQ(Count(db_, "CueList"), static_cast<std::int64_t>(3 * songs_.size()));
  EXPECT_EQ(Count(db_, "Playlist"), 1);
  EXPECT_EQ(Count(db_, "PlaylistDetail"), static_cast<std::int64_t>(songs_.size()));
}

TEST_F(AdminDemoLibrary, SongListCoversEveryStoredPcmFormat) {
  std::set<std::pair<int, int>> formats;
  for (const DemoSong& song : songs_) {
    formats.insert({song.rate, song.channels});
    EXPECT_GE(song.bpm, 96.0);
    EXPECT_LE(song.bpm, 140.0);
    EXPECT_GE(song.seconds, 20);
    EXPECT_LE(song.seconds, 40);
  }
  EXPECT_TRUE(formats.contains({44100, 2}));
  EXPECT_TRUE(formats.contains({44100, 1}));
  EXPECT_TRUE(formats.contains({22050, 1}) || formats.contains({22050, 2}));
}

TEST_F(AdminDemoLibrary, SongRowsDescribeTheirFiles) {
  CSongRecordset rows(db_);
  rows.SetSort("SongID");
  rows.Open(dao::OpenType::Snapshot);
  CSongTypeRecordSet types(db_);
  types.Open();
  for (std::size_t i = 0; i < songs_.size(); ++i, rows.MoveNext()) {
    ASSERT_FALSE(rows.IsEOF());
    const DemoSong& song = songs_[i];
    SCOPED_TRACE(song.name);
    EXPECT_EQ(rows.SongID, static_cast<std::int32_t>(i + 1));
    EXPECT_EQ(rows.SongName, song.name);
    EXPECT_TRUE(IsUpperCase(rows.SongName) && IsUpperCase(rows.SongArtist));
    EXPECT_FALSE(rows.SongArtist.empty());
    EXPECT_TRUE(types.FindFirst("SongTypeCode = '" + rows.SongTypeCode + "'"));
    EXPECT_DOUBLE_EQ(rows.SongBPM, song.bpm);
    EXPECT_EQ(rows.SongLength, SongLengthText(song.seconds * 1000u));
    EXPECT_EQ(rows.SongCompression, " ");
    EXPECT_EQ(rows.SongRecordDate, dao::DaoDateTime::Today());

    riff::WaveLayout layout;
    ASSERT_EQ(riff::ReadWaveLayout(SongFile(folder_, i), layout), riff::WaveError::kNone);
    EXPECT_EQ(layout.format, riff::WaveFormat::Pcm16(song.channels, song.rate));
    EXPECT_EQ(layout.dataOffset, 46u);
    EXPECT_EQ(layout.dataSize, 2u * song.channels * song.rate * song.seconds);
    EXPECT_EQ(layout.fileSize, 46u + layout.dataSize);
  }
  EXPECT_TRUE(rows.IsEOF());
}

TEST_F(AdminDemoLibrary, FilesHoldTheGeneratedMusic) {
  for (std::size_t i = 0; i < songs_.size(); ++i) {
    const DemoSong& song = songs_[i];
    const std::vector<std::int16_t> expected =
        MakeDemoSamples(song.bpm, song.seconds, song.rate, song.channels, song.seed);
    std::vector<std::int16_t> stored(expected.size());
    std::ifstream file(SongFile(folder_, i), std::ios::binary);
    file.seekg(46);
    file.read(reinterpret_cast<char*>(stored.data()),
              static_cast<std::streamsize>(stored.size() * sizeof(std::int16_t)));
    EXPECT_TRUE(file && stored == expected) << song.name;
  }
}

TEST_F(AdminDemoLibrary, OutsideReadersAgreeOnRateChannelsAndLength) {
  for (std::size_t i = 0; i < songs_.size(); ++i) {
    const DemoSong& song = songs_[i];
    const std::string path = SongFile(folder_, i);
    SCOPED_TRACE(path);
    std::ostringstream duration;
    duration << "00:00:" << song.seconds << ".00 = " << song.seconds * song.rate << " samples";
    const std::string sox = test::SoxInfo(path);
    EXPECT_NE(sox.find("Sample Rate    : " + std::to_string(song.rate) + "\n"), std::string::npos) << sox;
    EXPECT_NE(sox.find("Channels       : " + std::to_string(song.channels) + "\n"), std::string::npos) << sox;
    EXPECT_NE(sox.find("Duration       : " + duration.str()), std::string::npos) << sox;

    const std::string probe = test::FfprobeInfo(path);
    EXPECT_NE(probe.find("codec_name=pcm_s16le"), std::string::npos) << probe;
    EXPECT_NE(probe.find("sample_rate=" + std::to_string(song.rate) + "\n"), std::string::npos) << probe;
    EXPECT_NE(probe.find("channels=" + std::to_string(song.channels) + "\n"), std::string::npos) << probe;
    EXPECT_NE(probe.find("duration=" + std::to_string(song.seconds) + ".000000"), std::string::npos) << probe;
  }
}

TEST_F(AdminDemoLibrary, CuePointsAreNumberedNamedAndInsideTheirSong) {
  for (std::size_t i = 0; i < songs_.size(); ++i) {
    SCOPED_TRACE(songs_[i].name);
    CCueListRec cues(db_);
    cues.SetFilter("SongID = " + std::to_string(i + 1));
    cues.SetSort("CueNumber ASC");
    cues.Open(dao::OpenType::Snapshot);
    std::set<std::string> names;
    std::int16_t number = 0;
    long previous = -1;
    for (; !cues.IsEOF(); cues.MoveNext()) {
      EXPECT_EQ(cues.CueNumber, ++number);
      EXPECT_TRUE(names.insert(cues.CueDescription).second) << cues.CueDescription;
      EXPECT_TRUE(IsUpperCase(cues.CueDescription));
      EXPECT_LE(cues.CueDescription.size(), 32u);
      const long ms = OffsetMs(cues.CueOffset);
      EXPECT_GT(ms, previous) << cues.CueOffset;  // well formed and later than the last
      EXPECT_LT(ms, songs_[i].seconds * 1000L);
      previous = ms;
    }
    EXPECT_GE(number, 3);
    EXPECT_TRUE(names.contains("INTRO") && names.contains("DROP") && names.contains("OUTRO"));
  }
}

TEST_F(AdminDemoLibrary, PlaylistHoldsEverySongInOrder) {
  CPlaylist playlist(db_);
  playlist.Open(dao::OpenType::Snapshot);
  ASSERT_FALSE(playlist.IsEOF());
  EXPECT_EQ(playlist.PlaylistName, kDemoPlaylistName);
  EXPECT_EQ(playlist.CurrentSeqNum, 1);
  EXPECT_EQ(playlist.PlaylistDate.ToIso().substr(0, 10), dao::DaoDateTime::Today().ToIso().substr(0, 10));

  CPlaylistDtl entries(db_);
  entries.SetFilter(std::string("PlaylistName = '") + kDemoPlaylistName + "'");
  entries.SetSort("PlaylistSequenceNum");
  entries.Open(dao::OpenType::Snapshot);
  for (std::size_t i = 0; i < songs_.size(); ++i, entries.MoveNext()) {
    ASSERT_FALSE(entries.IsEOF());
    EXPECT_EQ(entries.PlaylistSequenceNum, static_cast<std::int16_t>(i + 1));
    EXPECT_EQ(entries.SongID, static_cast<std::int32_t>(i + 1));
    EXPECT_EQ(entries.PlaylistOffset, "");
  }
  EXPECT_TRUE(entries.IsEOF());
}

TEST(AdminDemoRefusal, AFolderThatHoldsALibraryIsLeftAsItWas) {
  const std::string folder = test::TestFolder() + "/existing";
  ASSERT_EQ(Admin({"create", folder}), 0);
  ProfileSettings::Set(settings::kSongDbPath, "/elsewhere");
  std::string errors;
  EXPECT_EQ(Admin({"demo", folder}, &errors), 1);
  EXPECT_NE(errors.find("already exists"), std::string::npos) << errors;
  EXPECT_EQ(ProfileSettings::Get(settings::kSongDbPath), "/elsewhere");
  EXPECT_TRUE(std::filesystem::is_empty(SongsFolder(folder)));
  dao::DaoDatabase db;
  db.Open(folder + "/Velumix.vxl", dao::OpenMode::ReadOnly);
  EXPECT_EQ(Count(db, "Songs"), 0);
  EXPECT_EQ(Count(db, "PlaylistDetail"), 0);
}

}  // namespace
}  // namespace vx::admin
