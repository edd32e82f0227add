// The sound of a 1 kHz tone played off pitch, measured as a listener would judge it: where
// its frequency lands and how much grit (THD+N) the speed change adds. Also how the pitch
// processors keep time: where a frame comes out and how many come out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/riff/WaveFile.h"
#include "player/engine/ClassicPitch.h"
#include "player/engine/PitchProcessor.h"
#include "player/engine/PitchResampler.h"
#include "player/engine/SmoothPitch.h"
#include "PitchFeed.h"
#include "support/ToneAnalysis.h"

namespace vx::player {
namespace {

constexpr double kRate = 44100;

std::vector<std::int16_t> ThroughClassic(const std::vector<std::int16_t>& tone, double pitch) {
  ClassicPitch classic(4);
  return player::test::FeedLikeTheEngine(classic, tone, 2, pitch);
}

std::unique_ptr<PitchProcessor> Smooth(int channels) {
  return MakePitchProcessor(PitchQuality::kSmooth, riff::WaveFormat::Pcm16(channels, 44100));
}

// The middle second of a played tone: the start and the end are left out.
std::vector<std::int16_t> SteadySecond(const std::vector<std::int16_t>& played, int channels) {
  const std::size_t from = 8820 * static_cast<std::size_t>(channels);
  const std::size_t count = 44100 * static_cast<std::size_t>(channels);
  EXPECT_GE(played.size(), from + count);
  return {played.begin() + static_cast<std::ptrdiff_t>(from),
          played.begin() + static_cast<std::ptrdiff_t>(std::min(played.size(), from + count))};
}

}  // namespace

TEST(PitchTone, TheAnalysisFindsTheToneAndClassicPitchAddsAudibleGrit) {
  const auto tone = vx::test::SineFrames(1000, kRate, 2 * 44100, 2);
  const vx::test::ToneFit clean = vx::test::FitTone(tone, 2, 1, kRate, 1000);
  EXPECT_NEAR(clean.frequency, 1000, 0.01);
  EXPECT_NEAR(clean.amplitude, 0.5 * 32767, 5);
  EXPECT_LT(clean.thdnDb, -85);  // only the 16-bit rounding is left

  const vx::test::ToneFit detuned = vx::test::FitTone(vx::test::SineFrames(1003.7, kRate, 44100, 1), 1, 0,
                                              kRate, 1000);
  EXPECT_NEAR(vx::test::Cents(detuned.frequency, 1003.7), 0, 0.01);

  for (const double pitch : {6.0, -6.0, 12.0, -12.0}) {
    SCOPED_TRACE(pitch);
    const vx::test::ToneFit played = vx::test::FitTone(ThroughClassic(tone, pitch), 2, 0, kRate, 1000);
    EXPECT_NEAR(played.frequency, 1000 * (1 + pitch / 100), 0.5);
    // Whole frames dropped or repeated: far louder than any resampler's error.
    EXPECT_GT(played.thdnDb, -40);
  }
}

TEST(PitchTone, SmoothPitchMovesTheToneCleanlyInMonoAndStereo) {
  for (const int channels : {2, 1}) {
    const auto tone = vx::test::SineFrames(1000, kRate, 2 * 44100, channels);
    for (const double pitch : {6.0, -6.0, 12.0, -12.0, 0.0}) {
      SCOPED_TRACE(testing::Message() << channels << " channels at " << pitch << " %");
      const auto smooth = Smooth(channels);
      ASSERT_EQ(smooth->Quality(), PitchQuality::kSmooth);
      const std::vector<std::int16_t> played = player::test::FeedLikeTheEngine(*smooth, tone, channels, pitch);
      for (int channel = 0; channel < channels; ++channel) {
        const vx::test::ToneFit fit =
            vx::test::FitTone(SteadySecond(played, channels), channels, channel, kRate, 1000);
        EXPECT_NEAR(fit.frequency, 1000 * (1 + pitch / 100), 0.05);
        EXPECT_NEAR(fit.amplitude, 0.5 * 32767, 30);
        EXPECT_LT(fit.thdnDb, -60);
      }
    }
  }
}

TEST(PitchTone, SmoothPitchKeepsTheSongsTimeFrameForFrame) {
  // Ten seconds of a slow tone with one loud click: the click comes out where the speed puts
  // it, counted from the first frame, and the whole song comes out in 1 / (1 + p / 100) of
  // its frames, also across pitch changes from call to call.
  const std::size_t frames = 10 * 44100;
  const std::size_t click = 123457;
  std::vector<std::int16_t> song = vx::test::SineFrames(40, kRate, frames, 1, 0.2);
  song[click] = 30000;
  for (const double pitch : {12.0, -12.0, 6.0, 0.0}) {
    SCOPED_TRACE(pitch);
    const auto smooth = Smooth(1);
    const std::vector<std::int16_t> played = player::test::FeedLikeTheEngine(*smooth, song, 1, pitch);
    const double factor = 1 + pitch / 100;
    EXPECT_NEAR(static_cast<double>(played.size()), frames / factor, 2);
    const auto loudest = std::max_element(played.begin(), played.end()) - played.begin();
    EXPECT_NEAR(static_cast<double>(loudest), click / factor, 1);
    // After a reset the first output frame is again the first input frame.
    smooth->Reset();
    std::vector<std::int16_t> clickFirst(4410, 0);
    clickFirst[0] = 30000;
    std::vector<std::uint8_t> out(4410 * 3);
    std::size_t used = 0;
    const std::size_t n = smooth->Process(pitch, reinterpret_cast<std::uint8_t*>(clickFirst.data()),
                                          4410 * 2, out.data(), out.size(), used);
    ASSERT_GT(n, 0u);  // a tenth of a second in gives sound out at once
    EXPECT_EQ(used, 4410u * 2);
    std::vector<std::int16_t> start(8);
    std::memcpy(start.data(), out.data(), 16);
    EXPECT_EQ(std::max_element(start.begin(), start.end()) - start.begin(), 0);
    EXPECT_GT(start[0], 20000);  // the click, band-limited
  }

  // The pitch changed every tenth of a second, between -12 and +12 %: each frame given out
  // stands for 1 + p / 100 input frames at the pitch of its call, so together they cover the
  // song exactly, with no drift from the many changes.
  const auto smooth = Smooth(2);
  const auto stereo = vx::test::SineFrames(440, kRate, 4 * frames, 2);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(stereo.data());
  std::vector<std::uint8_t> out(17640 * 3 / 2);
  double covered = 0;
  double pitch = 0;
  for (std::size_t at = 0, call = 0; at < stereo.size() * 2; at += 17640, ++call) {
    pitch = -12.0 + static_cast<double>(call % 9) * 3;
    std::size_t used = 0;
    const std::size_t given = smooth->Process(pitch, bytes + at, 17640, out.data(), out.size(),
                                              used) / 4;
    ASSERT_EQ(used, 17640u);
    covered += static_cast<double>(given) * (1 + pitch / 100);
  }
  covered += static_cast<double>(smooth->Flush(out.data(), out.size()) / 4) * (1 + pitch / 100);
  EXPECT_NEAR(covered, 4.0 * frames, 2);
}

TEST(PitchTone, OnlySixteenBitPcmOfOneOrTwoChannelsPlaysSmooth) {
  EXPECT_EQ(Smooth(2)->Quality(), PitchQuality::kSmooth);
  EXPECT_EQ(MakePitchProcessor(PitchQuality::kClassic, riff::WaveFormat::Pcm16(2, 44100))
                ->Quality(),
            PitchQuality::kClassic);
  riff::WaveFormat eightBit = riff::WaveFormat::Pcm16(1, 22050);
  eightBit.bitsPerSample = 8;
  eightBit.blockAlign = 1;
  riff::WaveFormat sixChannels = riff::WaveFormat::Pcm16(6, 48000);
  riff::WaveFormat notPcm = riff::WaveFormat::Pcm16(2, 44100);
  notPcm.formatTag = 0x55;
  for (const riff::WaveFormat& format : {eightBit, sixChannels, notPcm}) {
    EXPECT_EQ(MakePitchProcessor(PitchQuality::kSmooth, format)->Quality(),
              PitchQuality::kClassic);
  }
  // Classic at pitch 0 copies whole buffers and leaves what does not fit.
  ClassicPitch classic(2);
  const std::uint8_t in[6] = {1, 2, 3, 4, 5, 6};
  std::uint8_t out[4] = {};
  std::size_t used = 0;
  EXPECT_EQ(classic.Process(0, in, 6, out, 4, used), 4u);
  EXPECT_EQ(used, 4u);
  EXPECT_EQ(out[3], 4);
  EXPECT_EQ(classic.Flush(out, 4), 0u);
}

TEST(PitchTone, StoredNumbersNameTheKindsAndAnythingElseIsClassic) {
  EXPECT_EQ(PitchQualityFromNumber(0), PitchQuality::kClassic);
  EXPECT_EQ(PitchQualityFromNumber(1), PitchQuality::kSmooth);
  EXPECT_EQ(PitchQualityFromNumber(2), PitchQuality::kKeyLock);
  for (const int bad : {-1, 3, 7, 1 << 30}) EXPECT_EQ(PitchQualityFromNumber(bad), PitchQuality::kClassic);
}

}  // namespace vx::player
