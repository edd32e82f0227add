// The single-instance lock shared by every Velumix program ("VelumixGlobalMutex").
// It is an exclusive flock on a file in the user's runtime folder; the kernel frees it when
// the holding process ends, however it ends, so a crashed program never blocks the next one.
#pragma once

#include <string>

namespace vx {

class InstanceLock {
 public:
  explicit InstanceLock(std::string name = "VelumixGlobalMutex");
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock without waiting. False when another process (or another InstanceLock of
  // this process) holds it, or when the lock file cannot be made.
  bool TryAcquire();
  // Gives the lock up early (before the administrator starts); harmless when not held.
  void Release();
  bool IsHeld() const { return fd_ >= 0; }

  // $XDG_RUNTIME_DIR/<name>, or /tmp/<name>-<uid> when the runtime folder is not set.
  static std::string PathFor(const std::string& name);

 private:
  std::string name_;
  int fd_ = -1;
};

}  // namespace vx
