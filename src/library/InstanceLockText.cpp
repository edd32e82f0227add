#include "library/InstanceLockText.h"

#include "library/LibraryText.h"

namespace vx {

std::string LockRefusedText(const InstanceLock& lock) {
  if (lock.Failure().empty()) return text::kAnotherProgramRunning;
  return text::kLockNotMade + lock.Failure() + ".";
}

}  // namespace vx
