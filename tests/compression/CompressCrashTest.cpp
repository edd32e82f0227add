// Crash safety of a compression run: the recorder's dialog is killed with SIGKILL at random
// moments of a batch of ten songs. After every kill the library passes `vxadmin check`, every
// song's file is whole (its old PCM, or a complete ADPCM file) and no row claims ADPCM for a
// PCM file; once the next run has completed, every row's code matches its file's format.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "AcmTestSupport.h"
#include "CompressionTestKit.h"
#include "admin/LibraryCreator.h"
#include "library/SongStore.h"
#include "platform/acm/AcmFormat.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/riff/WaveFile.h"
#include "support/RunTool.h"
#include "support/TestFolder.h"

extern char** environ;

namespace vx {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Bytes;

constexpr int kSongs = 10;
constexpr int kKills = 20;
constexpr const char* kTickMs = "20";

struct Song {
  int channels;
  int rate;
  std::size_t frames;
  Bytes file;  // the PCM file as made
};

// A library of ten PCM songs of mixed shapes and lengths (one to three seconds).
std::vector<Song> MakeLibrary(const std::string& folder) {
  admin::CreateLibrary(folder);
  dao::DaoDatabase db;
  db.Open(folder + "/Velumix.vxl");
  std::vector<Song> songs;
  for (int id = 1; id <= kSongs; ++id) {
    Song song{id % 3 == 0 ? 1 : 2, id % 3 == 0 ? 22050 : 44100, 0, {}};
    song.frames = static_cast<std::size_t>(song.rate) * (1 + id % 3) + 37 * id;
    const std::string path = SongFileName(folder, static_cast<std::uint32_t>(id));
    test::WritePcmFile(path, song.rate, song.channels,
                       test::PcmFrames(song.frames, song.rate, song.channels));
    song.file = acm::test::ReadFile(path);
    test::AddSongRow(db, id, "SONG " + std::to_string(id), "ARTIST", ' ');
    songs.push_back(std::move(song));
  }
  return songs;
}

// The runner with its standard output on a pipe; answers its process id and the pipe.
pid_t StartRunner(const std::string& library, int& output) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  const std::string program = std::string(VX_BIN_DIR) + "/compress_runner";
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(library.c_str()),
                  const_cast<char*>(kTickMs), nullptr};
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[1]);
  if (spawned != 0) {
    close(ends[0]);
    return -1;
  }
  output = ends[0];
  return pid;
}

// Reads the runner's "go": the songs are counted and the run starts.
bool WaitForGo(int output) {
  char text[4] = {};
  std::size_t got = 0;
  while (got < 3) {
    const ssize_t count = read(output, text + got, 3 - got);
    if (count <= 0) return false;
    got += static_cast<std::size_t>(count);
  }
  return std::string(text, 3) == "go\n";
}

int Finish(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

bool RunToCompletion(const std::string& library) {
  int output = -1;
  const pid_t pid = StartRunner(library, output);
  if (pid < 0) return false;
  const bool went = WaitForGo(output);
  close(output);
  const int status = Finish(pid);
  return went && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool CheckIsClean(const std::string& library) {
  return test::RunTool({std::string(VX_BIN_DIR) + "/vxadmin", "check", library}).has_value();
}

// Every song has a whole file: its PCM file unchanged, or an ADPCM file that decodes to its
// full length. No row claims ADPCM for a file that is not.
void ExpectEverySongPlays(const std::string& library, const std::vector<Song>& songs) {
  dao::DaoDatabase db;
  db.Open(library + "/Velumix.vxl", dao::OpenMode::ReadOnly);
  for (int id = 1; id <= kSongs; ++id) {
    SCOPED_TRACE("song " + std::to_string(id));
    const Song& song = songs[static_cast<std::size_t>(id - 1)];
    const std::string path = SongFileName(library, static_cast<std::uint32_t>(id));
    const std::uint16_t tag = test::FileFormatTag(path);
    const char code = test::SongCode(db, id);
    if (tag == riff::kFormatPcm) {
      EXPECT_EQ(acm::test::ReadFile(path), song.file);
      EXPECT_EQ(code, ' ');
      continue;
    }
    ASSERT_EQ(tag, riff::kFormatMsAdpcm);
    EXPECT_TRUE(code == ' ' || code == 'A') << code;
    const int samplesPerBlock = acm::MsAdpcmSamplesPerBlock(
        acm::MsAdpcmFormat(song.channels, song.rate).blockAlign, song.channels);
    const std::size_t blocks = (song.frames + samplesPerBlock - 1) / samplesPerBlock;
    EXPECT_EQ(test::DecodedFrames(path), blocks * samplesPerBlock);
  }
}

void ExpectCodesMatchFiles(const std::string& library) {
  dao::DaoDatabase db;
  db.Open(library + "/Velumix.vxl", dao::OpenMode::ReadOnly);
  for (int id = 1; id <= kSongs; ++id) {
    EXPECT_EQ(test::SongCode(db, id), 'A') << id;
    EXPECT_EQ(test::FileFormatTag(SongFileName(library, static_cast<std::uint32_t>(id))),
              riff::kFormatMsAdpcm)
        << id;
  }
  EXPECT_TRUE(test::TempFiles(SongsFolder(library)).empty());
}

TEST(CompressCrash, KilledAtRandomMomentsTheLibraryStaysWhole) {
  // How long an undisturbed run takes from Go! to its end, on this machine and build.
  const std::string calibration = test::TestFolder() + "/calibration";
  MakeLibrary(calibration);
  int output = -1;
  const pid_t calibrating = StartRunner(calibration, output);
  ASSERT_GT(calibrating, 0);
  ASSERT_TRUE(WaitForGo(output));
  const Clock::time_point go = Clock::now();
  close(output);
  ASSERT_EQ(Finish(calibrating), 0);
  const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - go);
  ExpectCodesMatchFiles(calibration);

  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::int64_t> moment(0, runTime.count());
  for (int kill = 0; kill < kKills; ++kill) {
    const std::string library = test::TestFolder() + "/library" + std::to_string(kill);
    const std::vector<Song> songs = MakeLibrary(library);
    const auto delay = std::chrono::microseconds(moment(random));
    SCOPED_TRACE("seed " + std::to_string(seed) + ", kill " + std::to_string(kill) + " after " +
                 std::to_string(delay.count()) + " us of " + std::to_string(runTime.count()));

    const pid_t runner = StartRunner(library, output);
    ASSERT_GT(runner, 0);
    ASSERT_TRUE(WaitForGo(output));
    std::this_thread::sleep_for(delay);
    ::kill(runner, SIGKILL);
    close(output);
    Finish(runner);

    EXPECT_TRUE(CheckIsClean(library));
    ExpectEverySongPlays(library, songs);
    ASSERT_TRUE(RunToCompletion(library));
    ExpectCodesMatchFiles(library);
    EXPECT_TRUE(CheckIsClean(library));
    std::filesystem::remove_all(library);
  }
}

}  // namespace
}  // namespace vx
