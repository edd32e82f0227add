#include "player/engine/ServerProcess.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

#include "platform/process/Process.h"

namespace vx::player {
namespace {

// The nice value asked for: above normal, like a high-priority process class.
constexpr int kHighPriority = -10;

}  // namespace

bool ServerProcess::Spawn(const std::string& program, int instance) {
  Kill();
  // Its own process group; only the standard descriptors, no signal settings of ours.
  const int pid = SpawnDetached(program, {std::to_string(instance)}, {.ownProcessGroup = true});
  if (pid < 0) return false;
  pid_ = pid;
  setpriority(PRIO_PROCESS, static_cast<id_t>(pid_), kHighPriority);  // refused without rights
  return true;
}

bool ServerProcess::IsRunning() {
  if (pid_ < 0) return false;
  int status = 0;
  pid_t result = -1;
  do {
    result = waitpid(pid_, &status, WNOHANG);
  } while (result < 0 && errno == EINTR);
  if (result == 0) return true;
  pid_ = -1;  // reaped now (or not ours to wait for)
  return false;
}

void ServerProcess::Reap(std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (IsRunning() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  Kill();
}

void ServerProcess::Kill() {
  if (!IsRunning()) return;
  // The group goes with it; the leader is not reaped yet, so the group id is still ours.
  kill(-pid_, SIGKILL);
  kill(pid_, SIGKILL);
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

}  // namespace vx::player
