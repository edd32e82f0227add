// SIGTERM ends a running vxrec in order: its main window is cancelled, the recorder leaves
// by its usual exit path with status 0 and releases the single-instance lock.
#include <gtest/gtest.h>

#include <signal.h>

#include "library/LibraryText.h"
#include "platform/instance/InstanceLock.h"
#include "support/RunningProgram.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

TEST(RecorderSignals, TermEndsTheRecorderThroughItsMainWindow) {
  test::MakeTestLibrary();
  test::RunningProgram recorder("vxrec", {{"VELUMIX_DEVICES", ""}});
  ASSERT_TRUE(recorder.WaitForLog("vxrec: started")) << recorder.Log().toStdString();
  recorder.Signal(SIGTERM);
  ASSERT_TRUE(recorder.WaitForEnd());
  EXPECT_TRUE(recorder.EndedNormally());
  EXPECT_EQ(recorder.ExitCode(), 0);
  InstanceLock probe(text::kGlobalMutexName);
  EXPECT_TRUE(probe.TryAcquire());
}

}  // namespace
}  // namespace vx
