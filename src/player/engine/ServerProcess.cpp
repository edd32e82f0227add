#include "player/engine/ServerProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>
#include <vector>

extern char** environ;

namespace vx::player {
namespace {

// The nice value asked for: above normal, like a high-priority process class.
constexpr int kHighPriority = -10;

// Spawns program in a process group of its own, with no signal blocked and SIGPIPE at its
// default: the player's own signal settings are not handed down.
bool SpawnWithCleanSignals(pid_t& pid, const std::string& program, char* const argv[]) {
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) return false;
  sigset_t none;
  sigset_t defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  const int error = posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  return error == 0;
}

}  // namespace

bool ServerProcess::Spawn(const std::string& program, int instance) {
  Kill();
  const std::string number = std::to_string(instance);
  std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(number.c_str()),
                          nullptr};
  pid_t pid = -1;
  if (!SpawnWithCleanSignals(pid, program, argv.data())) return false;
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
