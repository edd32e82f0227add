// Several openers of one output: the sample arithmetic (sums clip, channels fold and
// spread, rates are interpolated) and the device behaviour (each opener keeps its own
// buffers, positions, pause, reset and underruns; the tape holds the sum).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/wave/SampleMix.h"
#include "platform/wave/virtual/VirtualWaveOut.h"
#include "platform/wave/WaveTestSupport.h"
#include "support/TestFolder.h"

namespace vx::wave {
namespace {

using test::CountingFrames;
using test::DoneLog;
using test::Eventually;
using test::ReadTape;
using test::TestBuffer;

const riff::WaveFormat kStereo = riff::WaveFormat::Pcm16(2, 44100);
const riff::WaveFormat kMono22k = riff::WaveFormat::Pcm16(1, 22050);
constexpr double kFast = 20;

std::string TapePath() { return vx::test::TestFolder() + "/mix.wav"; }

void Put16(std::vector<std::uint8_t>& bytes, int value) {
  const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
  bytes.push_back(static_cast<std::uint8_t>(v));
  bytes.push_back(static_cast<std::uint8_t>(v >> 8));
}

// `frames` frames of `channels` 16-bit samples, channel c of frame n being value(n, c).
std::vector<std::uint8_t> Frames(std::uint32_t frames, int channels,
                                 const std::function<int(std::uint32_t, int)>& value) {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t n = 0; n < frames; ++n) {
    for (int c = 0; c < channels; ++c) Put16(bytes, value(n, c));
  }
  return bytes;
}

std::vector<std::uint8_t> Constant(std::uint32_t frames, int channels, int value) {
  return Frames(frames, channels, [value](std::uint32_t, int) { return value; });
}

std::vector<int> Samples16(const std::vector<std::uint8_t>& bytes) {
  std::vector<int> samples;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    samples.push_back(static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  return samples;
}

// Mixes one opener's frames (`channels` 16-bit samples each) into a bus of `busFrames`
// frames and answers the bus's samples.
std::vector<int> MixOnce(const riff::WaveFormat& bus, std::size_t busFrames,
                         VoiceConverter& converter, const std::vector<std::uint8_t>& bytes,
                         int channels) {
  MixBus mix;
  mix.Begin(bus, busFrames);
  const std::size_t made =
      converter.AddTo(bytes.data(), bytes.size() / (2 * channels), mix.Samples(), busFrames);
  std::vector<std::uint8_t> out(made * bus.blockAlign);
  mix.Write(made, out.data());
  return Samples16(out);
}

// ------------------------------------------------------------------ sample arithmetic

TEST(SampleMixTest, SamplesKeepTheirValueAcrossWidthsAndSumsClip) {
  // Extremes survive the trip through 32-bit scale at every width.
  const std::uint8_t u8[] = {0x00, 0x80, 0xFF};
  for (std::uint8_t v : u8) {
    std::uint8_t out = 0;
    WriteScaledSample(ReadScaledSample(&v, 8), 8, &out);
    EXPECT_EQ(out, v);
  }
  const std::uint8_t s24[] = {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0x01, 0x02, 0x03};
  for (int i = 0; i < 3; ++i) {
    std::uint8_t out[3] = {};
    WriteScaledSample(ReadScaledSample(s24 + 3 * i, 24), 24, out);
    EXPECT_TRUE(std::equal(out, out + 3, s24 + 3 * i)) << i;
  }
  // An 8-bit opener on a 16-bit bus: 0xFF (127 above the middle) is 127 << 8.
  std::uint8_t loud = 0xFF;
  std::uint8_t bus16[2] = {};
  WriteScaledSample(ReadScaledSample(&loud, 8), 16, bus16);
  EXPECT_EQ(static_cast<std::int16_t>(bus16[0] | (bus16[1] << 8)), 127 << 8);

  // Two 16-bit openers in the bus's format add exactly and clip at both ends.
  VoiceConverter a;
  VoiceConverter b;
  a.Setup(kStereo, kStereo, ChannelRoute::kAll);
  b.Setup(kStereo, kStereo, ChannelRoute::kAll);
  EXPECT_TRUE(a.PassesThrough());
  std::vector<std::uint8_t> first;
  std::vector<std::uint8_t> second;
  for (int v : {1000, -1000, 32767, -32768, 20000, -20000}) Put16(first, v);
  for (int v : {234, 5, 1, -1, 20000, -20000}) Put16(second, v);
  MixBus mix;
  mix.Begin(kStereo, 3);
  EXPECT_EQ(a.AddTo(first.data(), 3, mix.Samples(), 3), 3u);
  EXPECT_EQ(b.AddTo(second.data(), 3, mix.Samples(), 3), 3u);
  std::vector<std::uint8_t> out(12);
  mix.Write(3, out.data());
  EXPECT_EQ(Samples16(out), (std::vector<int>{1234, -995, 32767, -32768, 32767, -32768}));
}

TEST(SampleMixTest, ChannelsSpreadFoldAndFollowTheirRoute) {
  const riff::WaveFormat mono = riff::WaveFormat::Pcm16(1, 44100);
  VoiceConverter converter;
  // A mono opener on a stereo bus plays on both channels.
  converter.Setup(mono, kStereo, ChannelRoute::kAll);
  EXPECT_FALSE(converter.PassesThrough());
  EXPECT_EQ(MixOnce(kStereo, 2, converter, Frames(2, 1, [](auto n, int) { return 7 + n; }), 1),
            (std::vector<int>{7, 7, 8, 8}));
  // A stereo opener on a mono bus plays the average of its channels.
  converter.Setup(kStereo, mono, ChannelRoute::kAll);
  EXPECT_EQ(MixOnce(mono, 2, converter, Frames(2, 2, [](auto, int c) { return c ? 300 : 100; }), 2),
            (std::vector<int>{200, 200}));

  // Routed openers fold to mono on their own channel: one bus, two decks.
  VoiceConverter left;
  VoiceConverter right;
  left.Setup(kStereo, kStereo, ChannelRoute::kLeft);
  right.Setup(mono, kStereo, ChannelRoute::kRight);
  EXPECT_FALSE(left.PassesThrough());
  const auto deck1 = Frames(2, 2, [](auto n, int c) { return c ? -1000 : 3000 + int(n); });
  const auto deck2 = Frames(2, 1, [](auto n, int) { return 50 * (int(n) + 1); });
  MixBus mix;
  mix.Begin(kStereo, 2);
  left.AddTo(deck1.data(), 2, mix.Samples(), 2);
  right.AddTo(deck2.data(), 2, mix.Samples(), 2);
  std::vector<std::uint8_t> out(8);
  mix.Write(2, out.data());
  EXPECT_EQ(Samples16(out), (std::vector<int>{1000, 50, 1000, 100}));  // (3000-1000)/2 = 1000
}

// A 22.05 kHz opener on a 44.1 kHz bus: every opener frame lands on an even bus frame,
// the odd ones lie half way, and period after period takes exactly half as many frames.
TEST(SampleMixTest, OtherRatesAreInterpolatedWithoutDrift) {
  const riff::WaveFormat mono44 = riff::WaveFormat::Pcm16(1, 44100);
  VoiceConverter converter;
  converter.Setup(kMono22k, mono44, ChannelRoute::kAll);
  const std::size_t period = 220;
  std::vector<int> heard;
  std::size_t taken = 0;
  for (int turn = 0; turn < 50; ++turn) {
    const std::size_t need = converter.FramesNeeded(period);
    ASSERT_LE(need, converter.MostFramesNeeded(period));
    const auto bytes = Frames(static_cast<std::uint32_t>(need), 1,
                              [&](std::uint32_t n, int) { return 4 * int(taken + n); });
    taken += need;
    MixBus mix;
    mix.Begin(mono44, period);
    ASSERT_EQ(converter.AddTo(bytes.data(), need, mix.Samples(), period), period);
    std::vector<std::uint8_t> out(period * 2);
    mix.Write(period, out.data());
    for (int v : Samples16(out)) heard.push_back(v);
  }
  EXPECT_EQ(taken, 50 * period / 2 + 1);  // one frame read ahead
  for (std::size_t k = 0; k < heard.size(); ++k) ASSERT_EQ(heard[k], 2 * int(k)) << k;

  // A short period makes fewer bus frames and keeps the history for the next one.
  converter.Restart();
  const auto few = Frames(3, 1, [](std::uint32_t n, int) { return 100 * int(n); });
  MixBus mix;
  mix.Begin(mono44, period);
  EXPECT_EQ(converter.AddTo(few.data(), 3, mix.Samples(), period), 4u);
  std::vector<std::uint8_t> out(8);
  mix.Write(4, out.data());
  EXPECT_EQ(Samples16(out), (std::vector<int>{0, 50, 100, 150}));
  EXPECT_EQ(converter.FramesNeeded(2), 1u);  // the frame after the last one used
}

// ------------------------------------------------------------------ a shared device

struct Opener {
  DoneLog log;
  WaveOut* out = nullptr;
  std::vector<std::unique_ptr<TestBuffer>> buffers;

  // A test that stops early leaves its opener open: hand the buffers back before freeing them.
  ~Opener() {
    if (out != nullptr && Close() != kOk) {
      out->Reset();
      Close();
    }
  }
  // Closes the handle once: the device may give it to a later opener afterwards.
  unsigned Close() {
    const unsigned result = out->Close();
    if (result == kOk) out = nullptr;
    return result;
  }

  void Open(WaveOutDevice& device, const riff::WaveFormat& format,
            ChannelRoute route = ChannelRoute::kAll) {
    ASSERT_EQ(device.Open(format, log.Callback(), route, out), kOk);
  }
  // A minute of one level on every channel (outlasting any stall of a test); returns once
  // more than `frames` of it played.
  void PlaySteady(int channels, int value, std::uint64_t frames = 1000) {
    Play(Constant(60 * 44100, channels, value));
    ASSERT_TRUE(Eventually([&] { return Position() > frames; }));
  }

  void Play(std::vector<std::uint8_t> bytes) {
    buffers.push_back(std::make_unique<TestBuffer>(std::move(bytes)));
    ASSERT_EQ(out->Prepare(buffers.back()->header), kOk);
    ASSERT_EQ(out->Write(buffers.back()->header), kOk);
  }
  std::uint64_t Position() {
    std::uint64_t frames = 0;
    EXPECT_EQ(out->Position(frames), kOk);
    return frames;
  }
};

// The tape's frames as (left, right) pairs.
std::vector<std::pair<int, int>> TapeFrames() {
  const auto tape = ReadTape(TapePath());
  EXPECT_TRUE(tape);
  std::vector<std::pair<int, int>> frames;
  if (!tape) return frames;
  const auto samples = Samples16(tape->samples);
  for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
    frames.emplace_back(samples[i], samples[i + 1]);
  }
  return frames;
}

// The index of the first frame that differs from `background`, or the tape's length.
std::size_t FirstOther(const std::vector<std::pair<int, int>>& frames,
                       std::pair<int, int> background) {
  return static_cast<std::size_t>(
      std::find_if(frames.begin(), frames.end(), [&](auto f) { return f != background; }) -
      frames.begin());
}

// A long steady opener plays; a second one joins with counting frames. The tape is the
// steady level, then the exact clipped sum while both play, then the steady level again.
TEST(SharedOutputTest, TwoOpenersAreSummedAndClippedOnTheTape) {
  VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
  Opener steady;
  Opener counting;
  steady.Open(device, kStereo);
  counting.Open(device, kStereo);
  EXPECT_NE(steady.out, counting.out);
  EXPECT_EQ(device.OpenCount(), 2u);

  steady.PlaySteady(2, 30000);
  const std::uint32_t joined = 5000;
  counting.Play(CountingFrames(0, joined));
  ASSERT_TRUE(counting.log.WaitForDone(1));
  EXPECT_EQ(counting.Position(), joined);
  const std::uint64_t steadyAtEnd = steady.Position();
  ASSERT_EQ(steady.out->Reset(), kOk);
  EXPECT_EQ(steady.log.Done().size(), 1u);
  EXPECT_EQ(counting.log.Done().size(), 1u);  // the other opener's reset left it alone
  ASSERT_EQ(steady.Close(), kOk);
  ASSERT_EQ(counting.Close(), kOk);
  EXPECT_EQ(device.OpenCount(), 0u);

  const auto frames = TapeFrames();
  ASSERT_GE(frames.size(), steadyAtEnd);
  const std::size_t start = FirstOther(frames, {30000, 30000});
  ASSERT_GE(start, 1000u);
  ASSERT_LE(start + joined, frames.size());
  for (std::uint32_t n = 0; n < joined; ++n) {
    // Left: 30000 + n clips at 32767; right: 30000 + ~n = 29999 - n.
    ASSERT_EQ(frames[start + n], std::make_pair(std::min(32767, 30000 + int(n)),
                                                29999 - int(n)))
        << "frame " << n;
  }
  EXPECT_EQ(FirstOther({frames.begin() + start + joined, frames.end()}, {30000, 30000}),
            frames.size() - start - joined);
}

// Each opener pauses, restarts and runs dry on its own; the device plays on for the other.
TEST(SharedOutputTest, EachOpenerKeepsItsOwnPositionPauseAndUnderruns) {
  VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
  Opener a;
  Opener b;
  a.Open(device, kStereo);
  b.Open(device, kStereo);
  a.PlaySteady(2, 100, 0);
  ASSERT_EQ(a.out->Pause(), kOk);
  const std::uint64_t held = a.Position();

  // Both buffers queued while paused, so that a slow machine cannot run dry between them.
  ASSERT_EQ(b.out->Pause(), kOk);
  b.Play(Constant(2000, 2, 5));
  b.Play(Constant(3000, 2, 6));
  ASSERT_EQ(b.out->Restart(), kOk);
  ASSERT_TRUE(b.log.WaitForDone(2));
  EXPECT_EQ(b.Position(), 5000u);
  EXPECT_EQ(a.Position(), held);  // paused while the other played
  EXPECT_TRUE(a.log.Done().empty());
  ASSERT_TRUE(Eventually([&] { return b.out->Underruns() == 1; }));
  EXPECT_EQ(a.out->Underruns(), 0u);

  ASSERT_EQ(a.out->Restart(), kOk);
  ASSERT_TRUE(Eventually([&] { return a.Position() > held; }));
  EXPECT_EQ(b.out->Underruns(), 1u);  // still dry, counted once
  ASSERT_EQ(b.out->Reset(), kOk);
  std::uint64_t zero = 1;
  ASSERT_EQ(b.out->Position(zero), kOk);
  EXPECT_EQ(zero, 0u);
  EXPECT_GT(a.Position(), held);

  // One closes while the other plays; the other plays on and the tape goes on.
  ASSERT_EQ(b.Close(), kOk);
  EXPECT_EQ(device.OpenCount(), 1u);
  const std::uint64_t before = a.Position();
  ASSERT_TRUE(Eventually([&] { return a.Position() > before; }));
  EXPECT_EQ(a.Close(), kStillPlaying);
  ASSERT_EQ(a.out->Reset(), kOk);
  ASSERT_EQ(a.Close(), kOk);
  EXPECT_EQ(a.log.Closed(), 1);
  EXPECT_EQ(b.log.Closed(), 1);
  const auto frames = TapeFrames();
  EXPECT_EQ(std::count(frames.begin(), frames.end(), std::make_pair(105, 105)), 0);  // a paused
  EXPECT_EQ(std::count(frames.begin(), frames.end(), std::make_pair(5, 5)), 2000);
  EXPECT_EQ(std::count(frames.begin(), frames.end(), std::make_pair(6, 6)), 3000);
}

// Split use: one opener on the left channel, the other on the right, each folded to mono.
TEST(SharedOutputTest, RoutedOpenersShareAStereoOutputAsTwoMonoOnes) {
  VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
  Opener right;
  Opener left;
  right.Open(device, kStereo, ChannelRoute::kRight);
  left.Open(device, kStereo, ChannelRoute::kLeft);
  right.PlaySteady(2, 2000);
  const std::uint32_t played = 3000;
  left.Play(Frames(played, 2, [](std::uint32_t n, int c) { return c ? 1 - int(n) : 1 + int(n); }));
  ASSERT_TRUE(left.log.WaitForDone(1));
  ASSERT_EQ(right.out->Reset(), kOk);
  ASSERT_EQ(right.Close(), kOk);
  ASSERT_EQ(left.Close(), kOk);

  const auto frames = TapeFrames();
  const std::size_t start = FirstOther(frames, {0, 2000});
  ASSERT_LE(start + played, frames.size());
  for (std::uint32_t n = 0; n < played; ++n) {
    ASSERT_EQ(frames[start + n], std::make_pair(1, 2000)) << n;  // ((1 + n) + (1 - n)) / 2
  }
}

// An opener at another rate and channel count joins a device playing 44.1 kHz stereo; a
// device with a mix format plays that format whatever its first opener's.
TEST(SharedOutputTest, OpenersInOtherFormatsAreConvertedIntoTheDevicesFormat) {
  {
    VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
    Opener first;
    Opener other;
    first.Open(device, kStereo);
    other.Open(device, kMono22k);
    EXPECT_EQ(device.PlayingFormat(), kStereo);
    first.PlaySteady(2, 1000);
    other.Play(Constant(2000, 1, 2000));
    ASSERT_TRUE(other.log.WaitForDone(1));
    EXPECT_EQ(other.Position(), 2000u);  // in the opener's own frames
    ASSERT_EQ(first.out->Reset(), kOk);
    ASSERT_EQ(first.Close(), kOk);
    ASSERT_EQ(other.Close(), kOk);
    const auto frames = TapeFrames();
    // 2000 frames at half the rate are 4000 bus frames, less the one read ahead.
    EXPECT_NEAR(std::count(frames.begin(), frames.end(), std::make_pair(3000, 3000)), 4000, 2);
  }
  {
    VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
    device.SetMixFormat(kStereo);
    Opener alone;
    alone.Open(device, kMono22k);
    EXPECT_EQ(device.PlayingFormat(), kStereo);
    alone.Play(Frames(100, 1, [](std::uint32_t n, int) { return 100 * int(n); }));
    ASSERT_TRUE(alone.log.WaitForDone(1));
    ASSERT_EQ(alone.Close(), kOk);
    EXPECT_FALSE(device.PlayingFormat());
    const auto tape = ReadTape(TapePath());
    ASSERT_TRUE(tape);
    EXPECT_EQ(tape->format, kStereo);
    const auto frames = TapeFrames();
    ASSERT_GE(frames.size(), 198u);
    for (std::size_t k = 0; k < 198; ++k) {
      ASSERT_EQ(frames[k], std::make_pair(50 * int(k), 50 * int(k))) << k;
    }
  }
}

}  // namespace
}  // namespace vx::wave
