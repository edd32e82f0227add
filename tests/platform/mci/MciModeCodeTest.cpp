// Mode replies become codes only by their exact words; each word the drivers answer maps to
// the code of its name.
#include <gtest/gtest.h>

#include "platform/mci/MciDriver.h"
#include "platform/mci/MciModeCode.h"

namespace vx::mci {
namespace {

TEST(MciModeCode, ExactWordsMapAndAnythingElseIsNotReady) {
  EXPECT_EQ(ModeCodeOf("init"), kModeNotReady);
  EXPECT_EQ(ModeCodeOf("not ready"), kModeNotReady);
  EXPECT_EQ(ModeCodeOf("open"), kModeOpen);
  EXPECT_EQ(ModeCodeOf("paused"), kModePaused);
  EXPECT_EQ(ModeCodeOf("playing"), kModePlaying);
  EXPECT_EQ(ModeCodeOf("seeking"), kModeSeeking);
  EXPECT_EQ(ModeCodeOf("stopped"), kModeStopped);
  for (const char* other : {"", "Playing", "PAUSED", "playing ", " open", "notready", "stop"}) {
    EXPECT_EQ(ModeCodeOf(other), kModeNotReady) << '"' << other << '"';
  }
  EXPECT_TRUE(IsNoMedium(ModeCodeOf("open")));
  EXPECT_FALSE(IsNoMedium(ModeCodeOf("stopped")));
}

TEST(MciModeCode, EveryDriverModeWordHasItsOwnCode) {
  const struct {
    MciMode mode;
    ModeCode code;
  } kPairs[] = {{MciMode::kNotReady, kModeNotReady}, {MciMode::kOpen, kModeOpen},
                {MciMode::kPaused, kModePaused},     {MciMode::kPlaying, kModePlaying},
                {MciMode::kSeeking, kModeSeeking},   {MciMode::kStopped, kModeStopped}};
  for (const auto& pair : kPairs) EXPECT_EQ(ModeCodeOf(ModeWord(pair.mode)), pair.code);
}

}  // namespace
}  // namespace vx::mci
