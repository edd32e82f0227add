#include "platform/instance/InstanceLock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vx {

TEST(InstanceLock, OneHolderAtATimeAndReleaseFrees) {
  InstanceLock first("TestMutex");
  InstanceLock second("TestMutex");
  ASSERT_TRUE(first.TryAcquire());
  EXPECT_FALSE(second.TryAcquire());
  EXPECT_TRUE(first.IsHeld());
  first.Release();
  EXPECT_TRUE(second.TryAcquire());
  InstanceLock other("OtherMutex");
  EXPECT_TRUE(other.TryAcquire());  // locks of other names are independent
}

TEST(InstanceLock, HolderKilledHardFreesTheLock) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceLock held("TestMutex");
    const char answer = held.TryAcquire() ? 'y' : 'n';
    (void)!write(ready[1], &answer, 1);
    for (;;) pause();
  }
  char answer = 0;
  ASSERT_EQ(read(ready[0], &answer, 1), 1);
  ASSERT_EQ(answer, 'y');
  InstanceLock mine("TestMutex");
  EXPECT_FALSE(mine.TryAcquire());
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_TRUE(mine.TryAcquire());
  close(ready[0]);
  close(ready[1]);
}

}  // namespace vx
