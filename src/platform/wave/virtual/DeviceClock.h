// The clock of a virtual device: periods of a fixed number of sample frames at the format's
// rate, running `speed` times faster than real time. Each deadline is absolute on
// CLOCK_MONOTONIC and computed from the period count (anchor + k periods), never summed, so
// a late wake-up delays one period but the clock does not drift: the next period is simply
// due sooner.
#pragma once

#include <cstdint>

namespace vx::wave {

class DeviceClock {
 public:
  DeviceClock(std::uint32_t framesPerSecond, std::uint32_t periodFrames, double speed);

  // Starts counting periods from now (at open and when the device runs again).
  void Restart();
  // Sleeps until the end of the next period.
  void AwaitNextPeriod();

  // The monotonic clock in nanoseconds.
  static std::int64_t NowNs();

 private:
  long double periodNs_;
  std::int64_t anchorNs_ = 0;
  std::uint64_t periods_ = 0;
};

}  // namespace vx::wave
