// The audio server's process as the player sees it: started from a path with its instance
// number, in a process group of its own, and always reaped, whether it ends by itself, is
// told to end or has to be killed.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace vx::player {

class ServerProcess {
 public:
  ServerProcess() = default;
  ~ServerProcess() { Kill(); }
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // Starts program with the arguments {program, instance}; asks for a raised priority and
  // quietly accepts a refusal. False when the program could not be started.
  bool Spawn(const std::string& program, int instance);
  // True while the process runs; reaps it once it has ended.
  bool IsRunning();
  // Gives the process up to wait to end by itself, then kills it. Always reaps it.
  void Reap(std::chrono::milliseconds wait);
  // Kills the process (and anything it started in its group) and reaps it.
  void Kill();
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

}  // namespace vx::player
