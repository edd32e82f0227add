// Starting helper programs: a started program gets this process's standard input, output
// and error and no other descriptor, inheritable or not.
#include "platform/process/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TestFolder.h"

namespace vx {

TEST(Process, AStartedProgramGetsOnlyTheStandardDescriptors) {
  const int file = open((test::TestFolder() + "/held").c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(file, 0);
  ASSERT_EQ(dup2(file, 100), 100);  // inheritable: no close-on-exec
  const int pid = SpawnDetached("/bin/sh", {"-c", "[ -e /proc/self/fd/100 ] && exit 1; "
                                                  "[ -e /proc/self/fd/2 ] || exit 2; exit 0"});
  ASSERT_GT(pid, 0);
  int status = -1;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: descriptor 100 was handed down, 2: stderr was not";
  close(100);
  close(file);
}

}  // namespace vx
