#include "platform/instance/InstanceLock.h"

#include <filesystem>

#include "platform/instance/RuntimeFolder.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

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

// Without a runtime folder the lock lives in a folder of /tmp that only its user may enter,
// so nobody else can put a file (or a link) there first.
TEST(InstanceLock, WithoutARuntimeFolderTheLockLivesInAPrivateFolder) {
  const std::string runtime = std::getenv("XDG_RUNTIME_DIR");
  unsetenv("XDG_RUNTIME_DIR");
  const std::string folder = "/tmp/velumix-" + std::to_string(getuid());
  EXPECT_EQ(InstanceLock::PathFor("TestMutex"), folder + "/TestMutex");
  InstanceLock lock("TestMutex");
  EXPECT_TRUE(lock.TryAcquire());
  struct stat info {};
  ASSERT_EQ(lstat(folder.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(info.st_uid, geteuid());
  lock.Release();
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

TEST(InstanceLock, OnlyAFolderPrivateToTheUserIsTaken) {
  const std::string base = test::TestFolder();
  std::string error;
  EXPECT_TRUE(MakePrivateFolder(base + "/fresh", error)) << error;
  EXPECT_TRUE(MakePrivateFolder(base + "/fresh", error)) << error;  // and again, as it is

  std::filesystem::create_directory(base + "/open");
  chmod((base + "/open").c_str(), 0777);
  EXPECT_FALSE(MakePrivateFolder(base + "/open", error));
  EXPECT_NE(error.find("open to other users"), std::string::npos) << error;

  std::filesystem::create_directory_symlink(base + "/fresh", base + "/link");
  EXPECT_FALSE(MakePrivateFolder(base + "/link", error));
  EXPECT_NE(error.find("is not a folder"), std::string::npos) << error;

  std::filesystem::create_directory(base + "/plain");
  EXPECT_FALSE(MakePrivateFolder(base + "/plain/missing/deeper", error));
  EXPECT_NE(error.find("cannot make"), std::string::npos) << error;
}

}  // namespace vx
