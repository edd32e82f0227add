#include "platform/cdrom/CdTime.h"

#include <gtest/gtest.h>

namespace vx::cdrom {

TEST(CdromTime, FramesAndMinutesSecondsFrames) {
  EXPECT_EQ(FormatMsf(0), "00:00:00");
  EXPECT_EQ(FormatMsf(74), "00:00:74");
  EXPECT_EQ(FormatMsf(75), "00:01:00");
  EXPECT_EQ(FormatMsf((3 * 60 + 7) * 75 + 12), "03:07:12");
  EXPECT_EQ(FormatMsf(100 * 60 * 75), "100:00:00");
  EXPECT_EQ(FormatMsf(-5), "00:00:00");
  EXPECT_EQ(FormatTmsf(4, 75 * 61 + 2), "04:01:01:02");
  for (long frames : {0L, 1L, 74L, 75L, 4499L, 4500L, 333333L}) {
    EXPECT_EQ(MsfToFrames(FramesToMsf(frames)), frames);
  }
  EXPECT_EQ(FramesToMilliseconds(75), 1000);
  EXPECT_EQ(FramesToMilliseconds(1), 13);  // rounded down
  EXPECT_EQ(MillisecondsToFrames(2000), 150);
}

}  // namespace vx::cdrom
