// The message a Velumix program shows when it cannot take the single-instance lock.
#pragma once

#include <string>

#include "platform/instance/InstanceLock.h"

namespace vx {

// "Another Velumix program is running. …" when another program holds the lock; when the lock
// file could not even be made, a text that says what failed.
std::string LockRefusedText(const InstanceLock& lock);

}  // namespace vx
