// A periodic timer on a thread of its own, for the metronome: the callback runs on that
// thread every interval. Deadlines are absolute (CLOCK_MONOTONIC, start + k x interval), so
// the beat does not drift however long each callback takes; when a callback overruns whole
// periods, the missed ticks are skipped rather than fired in a burst.
//
// Start and Stop may be called from any thread. Stop waits for the thread to end (so no
// callback runs after it returns), except when called from the callback itself: then it
// only asks the thread to end, and the thread is joined by the next Start or the destructor.
// Start from the callback fails; the destructor must not run on the timer thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace vx::midi {

class PeriodicTimer {
 public:
  // tick counts from 1 for the first callback after Start.
  using Callback = std::function<void(std::uint64_t tick)>;

  PeriodicTimer() = default;
  ~PeriodicTimer();
  PeriodicTimer(const PeriodicTimer&) = delete;
  PeriodicTimer& operator=(const PeriodicTimer&) = delete;

  // Starts (or restarts) ticking every intervalMs milliseconds of device time, that is
  // intervalMs / speed of real time (speed from VELUMIX_SPEED; 1 for real devices). The first
  // tick comes one interval after the call. False for an interval of 0, a speed that is not
  // positive, or when no thread can be started.
  bool Start(unsigned intervalMs, Callback callback, double speed = 1.0);
  // The same with an interval of any length (deadlines are kept to the nanosecond), for
  // periods that are no whole number of milliseconds, such as a metronome's beat.
  bool Start(std::chrono::nanoseconds interval, Callback callback, double speed = 1.0);
  void Stop();
  bool IsRunning() const { return running_.load(); }

 private:
  void Run(std::int64_t start, std::int64_t periodNs, Callback callback);
  void JoinWorker();

  std::mutex mutex_;  // guards worker_ between Start/Stop callers
  std::thread worker_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
};

}  // namespace vx::midi
