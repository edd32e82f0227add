// SIGTERM and SIGINT end a running vxplayer in order: it leaves by its usual exit path with
// status 0 and releases the single-instance lock.
#include <gtest/gtest.h>

#include <signal.h>

#include "PlayerTestKit.h"
#include "library/LibraryText.h"
#include "platform/instance/InstanceLock.h"
#include "support/RunningProgram.h"
#include "support/TestFolder.h"

namespace vx::player::test {
namespace {

TEST(PlayerSignals, TermAndIntEndThePlayerInOrder) {
  TestLibrary library;
  const std::string tapes = vx::test::TestFolder() + "/a.wav," + vx::test::TestFolder() + "/b.wav";
  for (int number : {SIGTERM, SIGINT}) {
    vx::test::RunningProgram player("vxplayer", {{"VELUMIX_DEVICES", "out=" + tapes}});
    ASSERT_TRUE(player.WaitForLog("vxplayer: started with 2 WAV decks"))
        << player.Log().toStdString();
    player.Signal(number);
    ASSERT_TRUE(player.WaitForEnd()) << "signal " << number;
    EXPECT_TRUE(player.EndedNormally()) << "signal " << number;
    EXPECT_EQ(player.ExitCode(), 0);
    InstanceLock probe(text::kGlobalMutexName);
    EXPECT_TRUE(probe.TryAcquire());
  }
}

}  // namespace
}  // namespace vx::player::test
