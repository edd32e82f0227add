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
  // this process) holds it, or when the lock file cannot be made (then Failure() says why).
  bool TryAcquire();
  // What kept the last TryAcquire from even trying the lock (the runtime folder or the lock
  // file could not be made); empty when the lock is held elsewhere or was taken.
  const std::string& Failure() const { return failure_; }
  // Gives the lock up early (before the administrator starts); harmless when not held.
  void Release();
  bool IsHeld() const { return fd_ >= 0; }

  // <name> in the runtime folder (RuntimeFolder.h).
  static std::string PathFor(const std::string& name);

 private:
  std::string name_;
  std::string failure_;
  int fd_ = -1;
};

}  // namespace vx
