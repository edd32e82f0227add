#include "recording/CaptureLevels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vx {
namespace {

TEST(CaptureLevels, MonoAndStereoAveragesAndPeaks) {
  const std::vector<std::int16_t> mono{100, -300, 200, -32768};
  const BufferLevels m = MeasureLevels(mono.data(), mono.size(), 1);
  EXPECT_EQ(m.left.average, (100 + 300 + 200 + 32768) / 4);
  EXPECT_EQ(m.left.peak, 32768);
  EXPECT_EQ(m.right.average, m.left.average);
  EXPECT_EQ(m.right.peak, m.left.peak);

  // Stereo: left first; each channel's sum over all samples of both channels, halved.
  const std::vector<std::int16_t> stereo{1000, -10, -1000, 30, 1000, -20, -1000, 0};
  const BufferLevels s = MeasureLevels(stereo.data(), stereo.size(), 2);
  EXPECT_EQ(s.left.average, 4000 / 8 / 2);
  EXPECT_EQ(s.left.peak, 1000);
  EXPECT_EQ(s.right.average, 3);  // trunc(60 / 8 x 0.5)
  EXPECT_EQ(s.right.peak, 30);
  // The same signal reads 12 dB lower in stereo than in mono.
  const std::vector<std::int16_t> tone(400, 8000);
  const double monoDb = LevelDb(MeasureLevels(tone.data(), tone.size(), 1).left.average);
  const double stereoDb = LevelDb(MeasureLevels(tone.data(), tone.size(), 2).left.average);
  EXPECT_NEAR(monoDb - stereoDb, 12.04, 0.01);

  // An empty buffer (one that Stop or Reset returned unfilled) reads silent.
  const BufferLevels none = MeasureLevels(nullptr, 0, 2);
  EXPECT_EQ(none.left.average, 0);
  EXPECT_EQ(none.right.peak, 0);
}

TEST(CaptureLevels, DecibelsAndMeterBars) {
  EXPECT_TRUE(std::isinf(LevelDb(0)) && LevelDb(0) < 0);
  EXPECT_NEAR(LevelDb(32767), 3.0, 1e-9);
  EXPECT_EQ(MeterPosition(0), 0);  // silence sits at the bottom
  EXPECT_EQ(MeterPosition(32767), 23);
  EXPECT_EQ(MeterPosition(32768), 23);  // clamps at the top
  EXPECT_EQ(MeterPosition(16384), 17);  // -6 dB
  EXPECT_EQ(MeterPosition(1), 0);       // far below -23 dB
  EXPECT_EQ(MeterPosition(2330), 1);    // -22.96 dB of full scale truncates to -22
  EXPECT_EQ(MeterPosition(2000), 0);    // -24.3 dB: below the bar
}

TEST(CaptureLevels, TheTriggerNeedsALevelStrictlyAboveIt) {
  // -35 dB lies between averages 412 (-35.01 dB) and 413 (-34.99 dB).
  BufferLevels quiet;
  quiet.left.average = quiet.right.average = 412;
  BufferLevels loud = quiet;
  loud.right.average = 413;  // either channel will do
  EXPECT_FALSE(AboveTrigger(quiet, -35));
  EXPECT_TRUE(AboveTrigger(loud, -35));
  EXPECT_FALSE(AboveTrigger(BufferLevels{}, -60));  // silence never triggers
  BufferLevels full;
  full.left.average = 32767;
  EXPECT_TRUE(AboveTrigger(full, 0));
}

}  // namespace
}  // namespace vx
