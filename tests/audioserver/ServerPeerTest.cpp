// The vxacmsvr program serves the process that started it and nobody else: another process
// of the same user that connects first is turned away, and the player still gets its server.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "audioserver/MessageChannel.h"
#include "audioserver/ServerProtocol.h"

extern char** environ;

namespace vx::audioserver {
namespace {

constexpr int kInstance = 1;

bool ConnectWithin(MessageChannel& channel, std::chrono::seconds wait) {
  const auto giveUp = std::chrono::steady_clock::now() + wait;
  while (!channel.Connect(ServerSocketPath(kInstance))) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// Whether the server answers a request on this connection.
bool IsServed(MessageChannel& channel) {
  if (!channel.SendRequest({MessageKind::kSetData,
                            static_cast<std::uint32_t>(SetDataKind::kChunkSize), 4096})) {
    return false;
  }
  std::uint32_t answer = 0;
  UniqueFd fd;
  return channel.ReceiveAnswer(answer, fd, 5000) == ChannelStatus::kOk;
}

TEST(AudioServerProgram, ServesOnlyTheProcessThatStartedIt) {
  const std::string program = std::string(VX_BIN_DIR) + "/" + kServerProgramName;
  const std::string number = std::to_string(kInstance);
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(number.c_str()),
                  nullptr};
  pid_t server = -1;
  ASSERT_EQ(posix_spawn(&server, program.c_str(), nullptr, nullptr, argv, environ), 0);

  // A child of ours (so not the process that started the server) connects first.
  const pid_t intruder = fork();
  ASSERT_GE(intruder, 0);
  if (intruder == 0) {
    MessageChannel channel;
    if (!ConnectWithin(channel, std::chrono::seconds(30))) _exit(2);
    _exit(IsServed(channel) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(intruder, &status, 0), intruder);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << "0: the intruder was served, 2: it could not connect";

  MessageChannel player;
  ASSERT_TRUE(ConnectWithin(player, std::chrono::seconds(30)));
  EXPECT_TRUE(IsServed(player));
  player.SendRequest(
      {MessageKind::kSetData, static_cast<std::uint32_t>(SetDataKind::kFinish), 0});
  std::uint32_t answer = 0;
  UniqueFd fd;
  player.ReceiveAnswer(answer, fd, 5000);
  player.Close();
  kill(server, SIGKILL);
  waitpid(server, &status, 0);
}

}  // namespace
}  // namespace vx::audioserver
