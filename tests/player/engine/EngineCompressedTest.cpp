// Compressed songs through the real audio server: an MS ADPCM song comes out as FFmpeg's
// own decoding of it, and a server killed mid-song only ends the engine's current step.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "EngineTestKit.h"
#include "library/SongStore.h"
#include "player/engine/CAudioServerClient.h"
#include "support/TestFolder.h"

namespace vx::player::test {
namespace {

// Decodes a file with ffmpeg to raw 16-bit samples.
std::vector<std::int16_t> FfmpegDecode(const std::string& path) {
  const std::string raw = vx::test::TestFolder() + "/decoded.raw";
  const std::string command = "ffmpeg -v error -y -i " + path + " -f s16le " + raw;
  if (std::system(command.c_str()) != 0) return {};
  std::vector<std::int16_t> samples(std::filesystem::file_size(raw) / 2);
  std::FILE* file = std::fopen(raw.c_str(), "rb");
  if (file != nullptr) {
    const std::size_t read = std::fread(samples.data(), 2, samples.size(), file);
    samples.resize(read);
    std::fclose(file);
  }
  return samples;
}

class CompressedEngine : public testing::Test {
 protected:
  CompressedEngine() {
    auto link = std::make_unique<CAudioServerClient>(std::chrono::milliseconds(5000));
    client_ = link.get();
    rig_ = std::make_unique<EngineRig>(20, std::move(link));
    // 3 s of a tone mix, encoded by FFmpeg's MS ADPCM encoder into the song's file.
    const std::string song = SongFileNameInFolder(rig_->SongsFolder(), 7);
    const std::string make =
        "ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=3 -f lavfi -i "
        "sine=frequency=660:duration=3 -filter_complex amerge=inputs=2 -ar 44100 -c:a adpcm_ms "
        "-f wav " + song;
    made_ = std::system(make.c_str()) == 0;
    song_ = song;
  }

  CAudioServerClient* client_ = nullptr;
  std::unique_ptr<EngineRig> rig_;
  std::string song_;
  bool made_ = false;
};

TEST_F(CompressedEngine, AdpcmSongPlaysAsTheCodecDecodesIt) {
  ASSERT_TRUE(made_);
  ASSERT_EQ(rig_->Engine().Start(0, 1, VX_BIN_DIR), 0);
  rig_->Engine().RunThread();
  ASSERT_TRUE(rig_->Engine().Load(rig_->SongsFolder(), 7, "", "", {}));
  ASSERT_TRUE(rig_->WaitForEnd());
  rig_->Close();
  const std::vector<std::int16_t> tape = ReadSamples(rig_->Tape());
  const std::vector<std::int16_t> expected = FfmpegDecode(song_);
  ASSERT_GT(tape.size(), expected.size() / 3);
  // The first pass is the song as decoded, sample for sample.
  std::size_t same = 0;
  while (same < tape.size() && same < expected.size() && tape[same] == expected[same]) ++same;
  EXPECT_GT(same, expected.size() / 3);
  EXPECT_EQ(rig_->Engine().FailureCount(), 0);
}

TEST_F(CompressedEngine, ServerKilledMidSongEndsOnlyTheStep) {
  ASSERT_TRUE(made_);
  ASSERT_EQ(rig_->Engine().Start(0, 1, VX_BIN_DIR), 0);
  // Read before the engine thread uses the client: the client is one thread's at a time.
  const int server = client_->ServerProcessId();
  ASSERT_GT(server, 0);
  rig_->Engine().RunThread();
  ASSERT_TRUE(rig_->Engine().Load(rig_->SongsFolder(), 7, "", "", {}));
  ASSERT_TRUE(EngineRig::WaitFor([&] { return rig_->Engine().GetPlayedMs() > 200; }));
  kill(server, SIGKILL);
  ASSERT_TRUE(EngineRig::WaitFor([&] { return rig_->Engine().FailureCount() > 0; }));
  EXPECT_EQ(rig_->Engine().LastFailure(), 34);  // the server gave no decode result
  // The engine still answers and closes cleanly.
  std::uint32_t end = 0;
  EXPECT_GE(rig_->Engine().GetReadPosition(end), 0);
  EXPECT_TRUE(rig_->Engine().Pause());
  rig_->Close();
}

}  // namespace
}  // namespace vx::player::test
