// Compressed songs through the real audio server: ADPCM songs come out as FFmpeg's own
// decoding of them, also after cue jumps and seeks, and a server killed mid-song only ends
// the engine's current step until the next load starts a new one.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "EngineTestKit.h"
#include "library/SongStore.h"
#include "player/engine/CAudioServerClient.h"
#include "player/engine/PitchProcessor.h"
#include "platform/riff/WaveFile.h"
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

  // 3 s of a stereo tone mix (or of noise, where no two stretches are alike), encoded by one
  // of FFmpeg's encoders into the song's file.
  bool Encode(const std::string& codec, bool noise = false) {
    const std::string sources =
        noise ? "-f lavfi -i anoisesrc=d=3:a=0.5:seed=1 -f lavfi -i anoisesrc=d=3:a=0.5:seed=2"
              : "-f lavfi -i sine=frequency=440:duration=3 -f lavfi -i "
                "sine=frequency=660:duration=3";
    const std::string make = "ffmpeg -v error -y " + sources +
                             " -filter_complex amerge=inputs=2 -ar 44100 -c:a " + codec +
                             " -f wav " + song_;
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

// FFmpeg's MS ADPCM writer states a nominal byte rate; our own compressor states the true
// one (a block's bytes per a block's samples), which the player's times rest on.
void StateTheTrueByteRate(const std::string& path) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  char head[64];
  file.read(head, sizeof head);
  const std::string text(head, sizeof head);
  const std::size_t fmt = text.find("fmt ");
  ASSERT_NE(fmt, std::string::npos);
  auto u16 = [&](std::size_t at) {
    return std::uint32_t(std::uint8_t(head[at])) | std::uint32_t(std::uint8_t(head[at + 1])) << 8;
  };
  const std::uint32_t blockAlign = u16(fmt + 20);
  const std::uint32_t samplesPerBlock = u16(fmt + 26);
  const std::uint32_t rate = 44100 * blockAlign / samplesPerBlock;
  const char bytes[4] = {char(rate), char(rate >> 8), char(rate >> 16), char(rate >> 24)};
  file.seekp(static_cast<std::streamoff>(fmt + 16));
  file.write(bytes, 4);
}

// The first decoded frame a cue or seek at byte offset lands on: the offset's block, plus the
// frames the remainder stands for at the output rate.
std::size_t LandingFrame(const riff::WaveFormat& format, std::uint32_t offset) {
  const std::uint32_t samplesPerBlock = format.extra[0] | format.extra[1] << 8;
  const std::uint32_t block = offset / format.blockAlign;
  const std::uint32_t remainder = offset - block * format.blockAlign;
  return std::size_t{block} * samplesPerBlock +
         static_cast<std::size_t>(double(remainder) / format.avgBytesPerSec * 44100);
}

TEST_F(CompressedEngine, JumpAndSeekInTheLastSecondLandOnTheCodecsOwnFrames) {
  ASSERT_TRUE(Encode("adpcm_ms", true));
  StateTheTrueByteRate(song_);
  const std::vector<std::int16_t> expected = FfmpegDecode(song_);
  riff::WaveLayout layout;
  ASSERT_EQ(riff::ReadWaveLayout(song_, layout), riff::WaveError::kNone);
  const riff::WaveFormat& format = layout.format;
  const auto dataEnd = static_cast<long>(layout.dataOffset + layout.dataSize);
  // A cue inside a block at about 1.5 s (two chunks of pre-roll before it); a seek to 2 s.
  const std::uint32_t cue = format.avgBytesPerSec * 3 / 2 + 1001;
  const std::size_t cueFrame = LandingFrame(format, cue);
  const std::size_t seekFrame = LandingFrame(format, format.avgBytesPerSec * 2);
  ASSERT_NEAR(double(cueFrame), 1.5 * 44100 + 1001.0 / format.avgBytesPerSec * 44100, 50);
  ASSERT_NEAR(double(seekFrame), 2 * 44100, 50);

  EngineRig rig(1, std::make_unique<CAudioServerClient>(std::chrono::milliseconds(5000)));
  CWavPlayerThread& engine = rig.Engine();
  ASSERT_EQ(engine.Start(0, 1, VX_BIN_DIR), 0);
  engine.RunThread();
  ASSERT_TRUE(engine.Load(rig.SongsFolder(), 7, "", "", {cue}));
  // In the last second, once the whole song is read: jump to the cue, play to the end.
  ASSERT_TRUE(EngineRig::WaitFor([&] {
    std::uint32_t end = 0;
    return engine.GetReadPosition(end) == dataEnd && end == 0 && engine.GetPlayedMs() >= 2300;
  }));
  ASSERT_TRUE(engine.JumpToCueAndPlay(0));
  ASSERT_TRUE(rig.WaitForEnd());
  ASSERT_TRUE(engine.SeekToAndPlay(2000));
  ASSERT_TRUE(rig.WaitForEnd());
  EXPECT_EQ(engine.FailureCount(), 0) << engine.LastFailure();
  rig.Close();

  // The tape: the song up to the jump, the song from the cue's frame to its end, the song
  // from the seek's frame to its end, each sample as the codec decodes it.
  const std::vector<std::int16_t> tape = ReadSamples(rig.Tape());
  const std::size_t fromSeek = expected.size() - 2 * seekFrame;
  const std::size_t fromCue = expected.size() - 2 * cueFrame;
  ASSERT_GT(tape.size(), fromSeek + fromCue);
  const auto seekAt = tape.end() - static_cast<std::ptrdiff_t>(fromSeek);
  const auto cueAt = seekAt - static_cast<std::ptrdiff_t>(fromCue);
  EXPECT_TRUE(std::equal(seekAt, tape.end(), expected.begin() + 2 * seekFrame));
  EXPECT_TRUE(std::equal(cueAt, seekAt, expected.begin() + 2 * cueFrame));
  EXPECT_TRUE(std::equal(tape.begin(), cueAt, expected.begin()));
}

TEST_F(CompressedEngine, OffPitchTheFirstBufferAfterACueJumpPlaysAtThePitchToo) {
  // 1.5 s of silence, then noise: whatever the deck plays after the load and before the jump
  // is silent, so the tape from its first loud frame on is what the jump played.
  const std::string make =
      "ffmpeg -v error -y -f lavfi -i anoisesrc=d=3:a=0.5:seed=1 -f lavfi -i "
      "anoisesrc=d=3:a=0.5:seed=2 -filter_complex \"amerge=inputs=2,volume=volume=0:enable="
      "'lt(t,1.5)'\" -ar 44100 -c:a adpcm_ms -f wav " + song_;
  ASSERT_EQ(std::system(make.c_str()), 0);
  StateTheTrueByteRate(song_);
  const std::size_t songFrames = FfmpegDecode(song_).size() / 2;
  riff::WaveLayout layout;
  ASSERT_EQ(riff::ReadWaveLayout(song_, layout), riff::WaveError::kNone);
  // A cue just after 1.5 s: the jump decodes two chunks of pre-roll and plays from the cue.
  const std::uint32_t cue = layout.format.avgBytesPerSec * 3 / 2 + 1001;
  const std::size_t fromCue = songFrames - LandingFrame(layout.format, cue);

  for (const PitchQuality quality :
       {PitchQuality::kClassic, PitchQuality::kSmooth, PitchQuality::kKeyLock}) {
    SCOPED_TRACE(static_cast<int>(quality));
    EngineRig rig(5, std::make_unique<CAudioServerClient>(std::chrono::milliseconds(5000)));
    CWavPlayerThread& engine = rig.Engine();
    ASSERT_EQ(engine.Start(0, 1, VX_BIN_DIR), 0);
    engine.RunThread();
    ASSERT_TRUE(engine.SetPitchQuality(quality));
    ASSERT_TRUE(engine.SetPitch(12.0));
    const int taken = engine.CommandsTaken();
    ASSERT_TRUE(engine.Load(rig.SongsFolder(), 7, "", "", {cue}));
    // One command slot: the jump waits until the load is taken, or it would replace it.
    ASSERT_TRUE(EngineRig::WaitFor([&] { return engine.CommandsTaken() > taken; }));
    ASSERT_TRUE(engine.JumpToCueAndPlay(0));
    ASSERT_TRUE(rig.WaitForEnd());
    EXPECT_EQ(engine.FailureCount(), 0) << engine.LastFailure();
    rig.Close();
    const std::vector<std::int16_t> tape = ReadSamples(rig.Tape());
    const auto loud = std::find_if(tape.begin(), tape.end(),
                                   [](std::int16_t sample) { return std::abs(sample) > 1000; });
    const auto played = static_cast<std::size_t>(tape.end() - loud) / 2;
    // Every buffer from the cue on is 12 % faster; the first one played at the song's own
    // speed would add several hundred frames.
    EXPECT_NEAR(double(played), double(fromCue) / 1.12, 40);
  }
}

TEST_F(CompressedEngine, ServerKilledMidSongEndsOnlyTheStepAndTheNextLoadRestartsIt) {
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
  // The engine still answers, and the next load starts a new server: the song plays.
  std::uint32_t end = 0;
  EXPECT_GE(rig_->Engine().GetReadPosition(end), 0);
  EXPECT_TRUE(rig_->Engine().Pause());
  // (The engine takes a command before any refill, so the failures of the lost server are
  // all counted once it takes the load.)
  const int taken = rig_->Engine().CommandsTaken();
  ASSERT_TRUE(rig_->Engine().Load(rig_->SongsFolder(), 7, "", "", {}));
  ASSERT_TRUE(EngineRig::WaitFor([&] { return rig_->Engine().CommandsTaken() > taken; }));
  const int failures = rig_->Engine().FailureCount();
  ASSERT_TRUE(rig_->WaitForEnd());
  EXPECT_EQ(rig_->Engine().FailureCount(), failures);
  EXPECT_EQ(rig_->Engine().ServerRestarts(), 1);
  rig_->Close();
}

}  // namespace
}  // namespace vx::player::test
