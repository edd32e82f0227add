#include "library/SongStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

#include "support/FileSizeLimit.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

std::string Contents(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(SongStore, FileNamesUseTheOneSpelling) {
  EXPECT_EQ(SongFileName("/d/Lib", 7), "/d/Lib/Songs/Song0000000007.Wav");
  EXPECT_EQ(SongFileName("/d/Lib", 4294967295u), "/d/Lib/Songs/Song4294967295.Wav");
  EXPECT_EQ(SongFileNameInFolder("/x/Songs", 42), "/x/Songs/Song0000000042.Wav");
  EXPECT_EQ(CompressionTempName("/x/Songs", 42), "/x/Songs/Temp0000000042.Wav");
}

TEST(SongStore, TempNamesAreNewEmptyAndUniqueUnderConcurrentCallers) {
  const std::string folder = test::TestFolder();
  std::set<std::string> names;
  std::mutex mutex;
  std::vector<std::thread> callers;
  for (int t = 0; t < 4; ++t) {
    callers.emplace_back([&] {
      for (int i = 0; i < 100; ++i) {
        const std::string name = MakeTempFileName(folder, "VXR");
        std::lock_guard lock(mutex);
        names.insert(name);
      }
    });
  }
  for (auto& caller : callers) caller.join();
  EXPECT_EQ(names.size(), 400u);
  const std::regex shape(".*/VXR[0-9A-F]{4}\\.tmp");
  for (const std::string& name : names) {
    EXPECT_TRUE(std::regex_match(name, shape)) << name;
    EXPECT_EQ(std::filesystem::file_size(name), 0u);
  }
  EXPECT_EQ(MakeTempFileName(folder + "/missing", "VXM"), "");
}

TEST(SongStore, TemporaryNamesAreToldFromSongsAndStrangers) {
  const std::string folder = test::TestFolder();
  for (const char* prefix : {kTakeTempPrefix, kImportTempPrefix, kCopyTempPrefix}) {
    const std::string made = std::filesystem::path(MakeTempFileName(folder, prefix)).filename();
    EXPECT_TRUE(IsSongsTempName(made)) << made;
    EXPECT_FALSE(IsCompressionTempName(made)) << made;
  }
  const std::string compressed = std::filesystem::path(CompressionTempName(folder, 42)).filename();
  EXPECT_TRUE(IsCompressionTempName(compressed));
  EXPECT_TRUE(IsSongsTempName(compressed));
  // A song's own file, another program's prefix, a song deletion's set-aside file (it may
  // hold the only copy of a song's audio) and near misses are not temporary files.
  for (const char* name : {"Song0000000042.Wav", "VXD1A2B.tmp", "VXR1a2b.tmp", "VXR1A2.tmp",
                           "VXR1A2BC.tmp", "VXR1A2B.tmp.wav", "XYZ1A2B.tmp", "Temp000000042.Wav",
                           "Temp00000000420.Wav", "Temp0000000042.wav", "Temp00000000x2.Wav"}) {
    EXPECT_FALSE(IsSongsTempName(name)) << name;
  }
}

TEST(SongStore, DiskSpaceKeepsValuesWhenThePathCannotBeQueried) {
  double freeBytes = -1;
  double totalBytes = -1;
  EXPECT_TRUE(GetDiskSpace(test::TestFolder(), freeBytes, totalBytes));
  EXPECT_GT(totalBytes, 0);
  EXPECT_GE(freeBytes, 0);
  EXPECT_LE(freeBytes, totalBytes);
  freeBytes = 12;
  totalBytes = 34;
  EXPECT_TRUE(GetDiskSpace("/no/such/folder", freeBytes, totalBytes));
  EXPECT_EQ(freeBytes, 12);
  EXPECT_EQ(totalBytes, 34);
}

TEST(SongStore, ReplacementIsAtomicAndReportsEachFailedStep) {
  const std::string song = test::TestFolder() + "/Song0000000001.Wav";
  const std::string temp = test::TestFolder() + "/Temp0000000001.Wav";
  std::ofstream(song) << "old";
  std::ofstream(temp) << "new";
  chmod(song.c_str(), 0444);  // a read-only song file is still replaced
  int failures = 0;
  EXPECT_TRUE(ReplaceSongFile(song, temp, [&] { ++failures; }));
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(Contents(song), "new");
  EXPECT_FALSE(std::filesystem::exists(temp));

  // The converted file is missing: the song keeps its audio and the failure is reported.
  EXPECT_FALSE(ReplaceSongFile(song, temp, [&] { ++failures; }));
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(Contents(song), "new");
}

TEST(SongStore, CopiesAreCompleteOrAbsent) {
  const std::string folder = test::TestFolder() + "/Songs";
  std::filesystem::create_directories(folder);
  const std::string source = test::TestFolder() + "/take.wav";
  const std::string song = SongFileNameInFolder(folder, 3);
  std::string bytes(3 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  std::ofstream(source, std::ios::binary) << bytes;
  std::ofstream(song) << "older file";

  ASSERT_TRUE(CopySongFile(source, song));
  EXPECT_EQ(Contents(song), bytes);
  EXPECT_EQ(Contents(source), bytes);
  EXPECT_EQ(test::FolderEntries(folder), std::vector<std::string>{"Song0000000003.Wav"});

  // A missing source, and a disk that fills up half way: the song's file stays as it was
  // and no temporary file is left.
  EXPECT_FALSE(CopySongFile(test::TestFolder() + "/gone.wav", song));
  {
    test::FileSizeLimit diskFull(1 << 20);
    EXPECT_FALSE(CopySongFile(source, SongFileNameInFolder(folder, 4)));
  }
  EXPECT_EQ(test::FolderEntries(folder), std::vector<std::string>{"Song0000000003.Wav"});
  EXPECT_EQ(Contents(song), bytes);
}

TEST(SongStore, FilesOfTheSongsFolderAreKnownHoweverSpelt) {
  const std::string library = test::TestFolder() + "/lib";
  std::filesystem::create_directories(library + "/Songs/sub");
  std::filesystem::create_directory_symlink(library, test::TestFolder() + "/link");
  EXPECT_TRUE(IsInSongsFolder(library + "/Songs/Song0000000001.Wav", library));
  EXPECT_TRUE(IsInSongsFolder(library + "/Songs/sub/../x.mp3", library));
  EXPECT_TRUE(IsInSongsFolder(test::TestFolder() + "/link/Songs/x.mp3", library));
  EXPECT_FALSE(IsInSongsFolder(library + "/Songs/sub/x.mp3", library));
  EXPECT_FALSE(IsInSongsFolder(library + "/x.mp3", library));
  EXPECT_FALSE(IsInSongsFolder("x.mp3", library));
}

}  // namespace
}  // namespace vx

namespace vx {
namespace {

TEST(SongStore, MovesNeverReplaceAnExistingSongFile) {
  const std::string folder = test::TestFolder();
  const std::string take = folder + "/VXR0001.tmp";
  const std::string song = folder + "/Song0000000001.Wav";
  std::ofstream(take) << "take";
  ASSERT_TRUE(MoveSongFile(take, song));
  EXPECT_FALSE(std::filesystem::exists(take));
  EXPECT_EQ(Contents(song), "take");

  // A second take for the same name stays where it is; the song keeps its audio.
  std::ofstream(take) << "other";
  EXPECT_FALSE(MoveSongFile(take, song));
  EXPECT_EQ(Contents(take), "other");
  EXPECT_EQ(Contents(song), "take");
  EXPECT_FALSE(MoveSongFile(folder + "/missing.tmp", folder + "/Song0000000002.Wav"));
}

}  // namespace
}  // namespace vx
