#include "player/engine/EngineSignals.h"

namespace vx::player {

void EngineSignals::SetCommand() {
  {
    std::lock_guard lock(mutex_);
    command_ = true;
  }
  changed_.notify_all();
}

bool EngineSignals::ReleaseDone() {
  {
    std::lock_guard lock(mutex_);
    if (done_ >= maximum_) return false;
    ++done_;
  }
  changed_.notify_all();
  return true;
}

bool EngineSignals::TryTakeDone() {
  std::lock_guard lock(mutex_);
  if (done_ == 0) return false;
  --done_;
  return true;
}

bool EngineSignals::TakeDone(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, timeout, [this] { return done_ > 0; })) return false;
  --done_;
  return true;
}

EngineSignals::Woken EngineSignals::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return command_ || done_ > 0; });
  if (command_) {
    command_ = false;
    return Woken::kCommand;
  }
  --done_;
  return Woken::kBufferDone;
}

int EngineSignals::DoneCount() const {
  std::lock_guard lock(mutex_);
  return done_;
}

}  // namespace vx::player
