// Compressed songs through the real audio server: an MS ADPCM song comes out as FFmpeg's
// own decoding of it, and a server killed mid-song only ends the engine's current step.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
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
    song_ = SongFileNameInFolder(rig_->SongsFolder(), 7);
    made_ = Encode("adpcm_ms");
  }

  // 3 s of a tone mix, encoded by one of FFmpeg's encoders into the song's file.
  bool Encode(const std::string& codec) {
    const std::string make =
        "ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=3 -f lavfi -i "
        "sine=frequency=660:duration=3 -filter_complex amerge=inputs=2 -ar 44100 -c:a " +
        codec + " -f wav " + song_;
    return std::system(make.c_str()) == 0;
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

// The real client, watching what the engine hands the decoder for the text of
// AppendInfoList's comment.
class WatchedLink : public AudioServerLink {
 public:
  int Start(const std::string& folder, int instance) override {
    return client_.Start(folder, instance);
  }
  bool IsBound() const override { return client_.IsBound(); }
  bool SetChunkSize(std::uint32_t bytes) override { return client_.SetChunkSize(bytes); }
  bool OpenSong(const std::vector<std::uint8_t>& format) override {
    return client_.OpenSong(format);
  }
  Status GetOutputFormat(std::uint32_t& maximum, std::vector<std::uint8_t>& format) override {
    return client_.GetOutputFormat(maximum, format);
  }
  Status Decode(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t& consumed,
                std::uint8_t* out, std::uint32_t capacity, std::uint32_t& produced) override {
    const std::string text(16, 'Z');
    if (std::search(bytes, bytes + count, text.begin(), text.end()) != bytes + count) {
      sawComment = true;
    }
    return client_.Decode(bytes, count, consumed, out, capacity, produced);
  }
  void Finish() override { client_.Finish(); }

  std::atomic<bool> sawComment{false};

 private:
  CAudioServerClient client_{std::chrono::milliseconds(5000)};
};

TEST_F(CompressedEngine, AListAfterTheDataIsNeitherDecodedNorPlayed) {
  for (const char* codec : {"adpcm_ms", "adpcm_ima_wav"}) {
    SCOPED_TRACE(codec);
    ASSERT_TRUE(Encode(codec));
    const std::vector<std::int16_t> expected = FfmpegDecode(song_);
    AppendInfoList(song_);
    auto link = std::make_unique<WatchedLink>();
    WatchedLink& watched = *link;
    EngineRig rig(20, std::move(link));  // the fixture's songs folder and tape
    ASSERT_EQ(rig.Engine().Start(0, 1, VX_BIN_DIR), 0);
    rig.Engine().RunThread();
    ASSERT_TRUE(rig.Engine().Load(rig.SongsFolder(), 7, "", "", {}));
    ASSERT_TRUE(rig.WaitForEnd());
    rig.Close();
    EXPECT_FALSE(watched.sawComment);
    // The whole song as the codec decodes it, to its last sample, and nothing after it.
    const std::vector<std::int16_t> tape = ReadSamples(rig.Tape());
    ASSERT_EQ(tape.size(), expected.size());
    EXPECT_TRUE(tape == expected);
    EXPECT_EQ(rig.Engine().FailureCount(), 0);
  }
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
