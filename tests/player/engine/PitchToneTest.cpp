// The sound of a 1 kHz tone played off pitch, measured as a listener would judge it: where
// its frequency lands and how much grit (THD+N) the speed change adds.
#include <gtest/gtest.h>

#include <cstring>

#include "player/engine/PitchResampler.h"
#include "support/ToneAnalysis.h"

namespace vx::player {
namespace {

constexpr double kRate = 44100;

// The tone through the frame drop/repeat resampler at pitch, in chunks of a tenth of a second
// as the engine feeds it.
std::vector<std::int16_t> ThroughClassic(const std::vector<std::int16_t>& tone, double pitch) {
  PitchResampler resampler;
  const std::size_t frameBytes = 4;
  const std::size_t chunk = 4410 * frameBytes;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(tone.data());
  const std::size_t total = tone.size() * sizeof(std::int16_t);
  std::vector<std::uint8_t> joined;
  std::vector<std::uint8_t> out(chunk * 2);
  std::vector<std::int16_t> played;
  for (std::size_t at = 0; at < total; at += chunk) {
    joined.insert(joined.end(), bytes + at, bytes + std::min(total, at + chunk));
    std::size_t used = 0;
    const std::size_t n =
        resampler.Process(pitch, 4, joined.data(), joined.size(), out.data(), out.size(), used);
    joined.erase(joined.begin(), joined.begin() + static_cast<std::ptrdiff_t>(used));
    const std::size_t start = played.size();
    played.resize(start + n / 2);
    std::memcpy(played.data() + start, out.data(), n);
  }
  return played;
}

}  // namespace

TEST(PitchTone, TheAnalysisFindsTheToneAndClassicPitchAddsAudibleGrit) {
  const auto tone = test::SineFrames(1000, kRate, 2 * 44100, 2);
  const test::ToneFit clean = test::FitTone(tone, 2, 1, kRate, 1000);
  EXPECT_NEAR(clean.frequency, 1000, 0.01);
  EXPECT_NEAR(clean.amplitude, 0.5 * 32767, 5);
  EXPECT_LT(clean.thdnDb, -85);  // only the 16-bit rounding is left

  const test::ToneFit detuned = test::FitTone(test::SineFrames(1003.7, kRate, 44100, 1), 1, 0,
                                              kRate, 1000);
  EXPECT_NEAR(test::Cents(detuned.frequency, 1003.7), 0, 0.01);

  for (const double pitch : {6.0, -6.0, 12.0, -12.0}) {
    SCOPED_TRACE(pitch);
    const test::ToneFit played = test::FitTone(ThroughClassic(tone, pitch), 2, 0, kRate, 1000);
    EXPECT_NEAR(played.frequency, 1000 * (1 + pitch / 100), 0.5);
    // Whole frames dropped or repeated: far louder than any resampler's error.
    EXPECT_GT(played.thdnDb, -40);
  }
}

}  // namespace vx::player
