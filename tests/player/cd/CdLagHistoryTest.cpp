// The lag history's weighted mean and its folding, by numbers.
#include <gtest/gtest.h>

#include "player/cd/CdLagHistory.h"

namespace vx::player {
namespace {

TEST(CdLagHistory, MeansItsSamplesAndFoldsTenIntoOne) {
  // 260 ms for the play command is 20 frames; the device 4 frames past the target with a lag
  // of 3 in force: 20 - 4 + 3.
  EXPECT_EQ(CdLagHistory::Sample(260, 1004, 1000, 3), 19);

  CdLagHistory history;
  EXPECT_EQ(history.Lag(), 0);
  EXPECT_EQ(history.Add(10), 10);
  EXPECT_EQ(history.Add(13), 11);  // 23 / 2, integer division
  for (int i = 0; i < 7; ++i) history.Add(10);
  EXPECT_EQ(history.Count(), 9);
  history.Add(0);
  ASSERT_EQ(history.Count(), 1);
  EXPECT_EQ(history.At(0).weight, 10);
  EXPECT_EQ(history.At(0).value, 9);  // 93 / 10
  EXPECT_EQ(history.Lag(), 9);
  // The folded entry keeps its weight against new samples: (9 x 10 + 20) / 11.
  EXPECT_EQ(history.Add(20), 10);
  EXPECT_EQ(history.Count(), 2);
  for (int i = 0; i < 8; ++i) history.Add(10);
  EXPECT_EQ(history.Count(), 1);
  EXPECT_EQ(history.At(0).weight, 19);
}

}  // namespace
}  // namespace vx::player
