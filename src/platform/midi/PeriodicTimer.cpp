#include "platform/midi/PeriodicTimer.h"

#include <sys/prctl.h>
#include <time.h>

#include <algorithm>
#include <cmath>

#include "platform/process/ThreadPriority.h"

namespace vx::midi {
namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;
// The longest sleep between looks at the stop flag, so that Stop returns promptly even when
// the interval is a minute long.
constexpr std::int64_t kStopCheckNs = 20'000'000;

std::int64_t MonotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t{now.tv_sec} * kNsPerSecond + now.tv_nsec;
}

void SleepUntil(std::int64_t deadlineNs) {
  timespec until{};
  until.tv_sec = static_cast<time_t>(deadlineNs / kNsPerSecond);
  until.tv_nsec = static_cast<long>(deadlineNs % kNsPerSecond);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

// The timer whose callback this thread is running, if any.
thread_local const PeriodicTimer* t_callbackOf = nullptr;

}  // namespace

PeriodicTimer::~PeriodicTimer() { Stop(); }

bool PeriodicTimer::Start(unsigned intervalMs, Callback callback, double speed) {
  return Start(std::chrono::milliseconds(intervalMs), std::move(callback), speed);
}

bool PeriodicTimer::Start(std::chrono::nanoseconds interval, Callback callback, double speed) {
  if (interval.count() <= 0 || !(speed > 0) || !std::isfinite(speed)) return false;
  if (t_callbackOf == this) return false;  // the thread cannot replace itself
  // The grid is anchored at this call, not at the moment the new thread first runs, so the
  // first tick comes one interval after the call however long the thread takes to start.
  const std::int64_t start = MonotonicNs();
  const auto periodNs = std::max<std::int64_t>(
      1, static_cast<std::int64_t>(std::llround(static_cast<double>(interval.count()) / speed)));
  std::lock_guard lock(mutex_);
  stopRequested_ = true;
  JoinWorker();
  stopRequested_ = false;
  running_ = true;
  try {
    worker_ = std::thread(&PeriodicTimer::Run, this, start, periodNs, std::move(callback));
    RaiseToRealTimePriority(worker_);
  } catch (const std::system_error&) {
    running_ = false;
    return false;
  }
  return true;
}

void PeriodicTimer::Stop() {
  stopRequested_ = true;
  if (t_callbackOf == this) return;  // joined later by Start or the destructor
  std::lock_guard lock(mutex_);
  JoinWorker();
}

void PeriodicTimer::JoinWorker() {
  if (worker_.joinable()) worker_.join();
}

void PeriodicTimer::Run(std::int64_t start, std::int64_t periodNs, Callback callback) {
  t_callbackOf = this;
  // The kernel may otherwise defer this thread's wake-ups by up to 50 us to batch timers.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  std::uint64_t tick = 1;
  while (!stopRequested_) {
    const std::int64_t deadline = start + static_cast<std::int64_t>(tick) * periodNs;
    const std::int64_t now = MonotonicNs();
    if (now < deadline) {
      SleepUntil(std::min(deadline, now + kStopCheckNs));
      continue;
    }
    callback(tick);
    // Skip the deadlines that passed while the callback ran.
    const std::int64_t behind = (MonotonicNs() - start) / periodNs;
    tick = std::max<std::uint64_t>(tick + 1, static_cast<std::uint64_t>(behind) + 1);
  }
  running_ = false;
}

}  // namespace vx::midi
