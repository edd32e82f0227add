// The two things the engine thread waits for, behind one mutex and condition variable: the
// command event (auto-reset, set by every command) and the buffer-done semaphore (one count
// per buffer the device has finished, at most 10; a release beyond that fails, which the
// engine relies on when it levels the count before priming).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vx::player {

class EngineSignals {
 public:
  enum class Woken { kCommand, kBufferDone };

  explicit EngineSignals(int maximum = 10) : maximum_(maximum) {}

  void SetCommand();
  // False (and no change) when the count is at its maximum.
  bool ReleaseDone();
  // Takes one count without waiting.
  bool TryTakeDone();
  bool TakeDone(std::chrono::milliseconds timeout);
  // Waits without a time limit; a pending command is reported (and cleared) before a count.
  Woken Wait();
  int DoneCount() const;

 private:
  const int maximum_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool command_ = false;
  int done_ = 0;
};

}  // namespace vx::player
