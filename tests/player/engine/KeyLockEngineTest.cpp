// The engine playing through key lock, on a virtual output: the song lasts as long as its
// tempo says, from its first frame to its last, and its beats land where the tempo puts them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "EngineTestKit.h"
#include "player/engine/CWavPlayerThread.h"

namespace vx::player::test {
namespace {

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kBeat = kRate / 4;

// Stereo silence with a click on the first frame of every beat.
std::vector<std::int16_t> Clicks(std::uint32_t frames) {
  std::vector<std::int16_t> samples(2 * static_cast<std::size_t>(frames), 0);
  for (std::uint32_t k = 0; k < frames; k += kBeat) samples[2 * k] = samples[2 * k + 1] = 30000;
  return samples;
}

// The frame of the loudest left sample within [from, to).
std::size_t Loudest(const std::vector<std::int16_t>& tape, std::size_t from, std::size_t to) {
  std::size_t best = from;
  for (std::size_t f = from; f < to && 2 * f < tape.size(); ++f) {
    if (std::abs(tape[2 * f]) > std::abs(tape[2 * best])) best = f;
  }
  return best;
}

}  // namespace

TEST(KeyLockEngine, ASongLastsAsLongAsItsTempoSaysAndItsBeatsLandInTime) {
  // Lengths that end on a read chunk, off it, and with the last chunk nearly full (what the
  // stretcher holds then needs a further buffer).
  for (const std::uint32_t frames : {kRate, kRate + 1234, kRate + 4000, 2 * kRate + kRate / 2}) {
    for (const double pitch : {12.0, -6.0, 0.0, -12.0}) {
      SCOPED_TRACE(testing::Message() << frames << " frames at " << pitch << " %");
      EngineRig rig(40);
      WriteSong(rig.SongsFolder(), 1, Clicks(frames), 2, kRate);
      ASSERT_EQ(rig.Engine().Start(0, 1, ""), 0);
      rig.Engine().RunThread();
      ASSERT_TRUE(rig.Engine().SetPitchQuality(PitchQuality::kKeyLock));
      ASSERT_TRUE(rig.Engine().SetPitch(pitch));
      ASSERT_TRUE(rig.Engine().Load(rig.SongsFolder(), 1, "", "", {}));
      ASSERT_TRUE(rig.WaitForEnd());
      EXPECT_EQ(rig.Engine().PlayingQuality(), PitchQuality::kKeyLock);
      EXPECT_EQ(rig.Engine().FailureCount(), 0);
      rig.Close();
      const std::vector<std::int16_t> tape = ReadSamples(rig.Tape());
      const double factor = 1 + pitch / 100;
      EXPECT_NEAR(static_cast<double>(tape.size() / 2), frames / factor, 3);
      for (std::uint32_t k = 0; k < frames; k += kBeat) {
        const double expected = k / factor;
        const auto from = static_cast<std::size_t>(std::max(0.0, expected - 400));
        EXPECT_NEAR(static_cast<double>(Loudest(tape, from, from + 800)), expected, 44)
            << "beat at frame " << k;
      }
    }
  }
}

}  // namespace vx::player::test
