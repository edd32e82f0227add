// The analysed tempo: demo grooves read back from PCM files, MP3 files and MP3 songs wrapped
// in WAVE files; files without beats or without sound; stopping; and the worker thread's
// callbacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "admin/DemoSongs.h"
#include "curation/tempo/TempoAnalysis.h"
#include "curation/tempo/TempoTracker.h"
#include "import/ImportMp3File.h"
#include "platform/riff/WaveFile.h"
#include "library/SongStore.h"
#include "support/RunTool.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

// A demo groove of `seconds` at `bpm` as a 16-bit stereo 44.1 kHz PCM file.
std::string Groove(const std::string& name, double bpm, double seconds = 20) {
  const std::vector<std::int16_t> samples = admin::MakeDemoSamples(bpm, seconds, 44100, 2, 7);
  const std::string path = test::TestFolder() + "/" + name;
  riff::WaveFileWriter writer;
  EXPECT_TRUE(writer.Create(path, riff::WaveFormat::Pcm16(2, 44100)));
  writer.Append(samples.data(), samples.size() * sizeof(std::int16_t));
  EXPECT_TRUE(writer.Close());
  return path;
}

const auto kAlways = [](double) { return true; };

TEST(Tempo, GroovesReadFromPcmMp3AndWrappedSongFiles) {
  const std::string wav = Groove("groove.wav", 124);
  std::vector<double> shares;
  const std::optional<double> fromWav = TempoOfFile(wav, [&](double share) {
    shares.push_back(share);
    return true;
  });
  ASSERT_TRUE(fromWav);
  EXPECT_NEAR(*fromWav, 124, 0.5);
  // Progress rises to the end.
  ASSERT_GE(shares.size(), 10u);
  EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
  EXPECT_GT(shares.back(), 0.9);

  const std::string mp3 = test::TestFolder() + "/groove.mp3";
  ASSERT_TRUE(test::RunTool({"lame", "--quiet", "-b", "192", wav, mp3}));
  const std::optional<double> fromMp3 = TempoOfFile(mp3, kAlways);
  ASSERT_TRUE(fromMp3);
  EXPECT_NEAR(*fromMp3, 124, 0.5);

  // An imported MP3 song: the MP3 wrapped, unchanged, in a WAVE file.
  const std::string library = test::TestFolder() + "/library";
  std::filesystem::create_directories(SongsFolder(library));
  test::ScriptedUi ui;
  Mp3Import wrapped;
  ASSERT_TRUE(ImportMp3File(mp3, library, wrapped));
  const std::optional<double> fromSong = TempoOfFile(wrapped.tempPath, kAlways);
  ASSERT_TRUE(fromSong);
  EXPECT_NEAR(*fromSong, 124, 0.5);
}

TEST(Tempo, NothingFromSilenceMissingFilesOrAStoppedRun) {
  const std::string silence = test::TestFolder() + "/silence.wav";
  ASSERT_TRUE(test::RunTool({"sox", "-n", "-r", "44100", "-c", "1", "-b", "16", silence, "trim",
                             "0", "10"}));
  EXPECT_FALSE(TempoOfFile(silence, kAlways));
  EXPECT_FALSE(TempoOfFile(test::TestFolder() + "/none.wav", kAlways));
  std::ofstream(test::TestFolder() + "/text.wav") << "not a sound file";
  EXPECT_FALSE(TempoOfFile(test::TestFolder() + "/text.wav", kAlways));

  const std::string wav = Groove("groove.wav", 128);
  int calls = 0;
  EXPECT_FALSE(TempoOfFile(wav, [&](double) { return ++calls < 3; }));
  EXPECT_EQ(calls, 3);
}

TEST(Tempo, AnalysisReportsOnceAndStopsWhenDestroyed) {
  const std::string wav = Groove("groove.wav", 112);
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> percents;
  std::vector<std::optional<double>> results;
  {
    TempoAnalysis analysis(
        wav,
        [&](int percent) {
          const std::lock_guard lock(mutex);
          percents.push_back(percent);
        },
        [&](std::optional<double> tempo) {
          const std::lock_guard lock(mutex);
          results.push_back(tempo);
          changed.notify_all();
        });
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(120), [&] { return !results.empty(); }));
  }
  ASSERT_EQ(results.size(), 1u);
  ASSERT_TRUE(results[0]);
  EXPECT_NEAR(*results[0], 112, 0.5);
  EXPECT_FALSE(percents.empty());

  // Destroyed at once: the work stops and nothing is reported afterwards.
  const std::string longSong = Groove("long.wav", 120, 240);
  std::atomic<int> done{0};
  { TempoAnalysis analysis(longSong, [](int) {}, [&](std::optional<double>) { ++done; }); }
  EXPECT_EQ(done, 0);
}

}  // namespace
}  // namespace vx
