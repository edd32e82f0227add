#include "platform/wave/virtual/DeviceClock.h"

#include <cerrno>
#include <cmath>
#include <ctime>

namespace vx::wave {
namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;

}  // namespace

DeviceClock::DeviceClock(std::uint32_t framesPerSecond, std::uint32_t periodFrames,
                         double speed)
    : periodNs_(static_cast<long double>(periodFrames) * kNsPerSecond /
                (static_cast<long double>(framesPerSecond) * speed)) {
  Restart();
}

std::int64_t DeviceClock::NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t{now.tv_sec} * kNsPerSecond + now.tv_nsec;
}

void DeviceClock::Restart() {
  anchorNs_ = NowNs();
  periods_ = 0;
}

void DeviceClock::AwaitNextPeriod() {
  ++periods_;
  const std::int64_t deadline =
      anchorNs_ + static_cast<std::int64_t>(std::llround(periods_ * periodNs_));
  timespec wake{};
  wake.tv_sec = static_cast<time_t>(deadline / kNsPerSecond);
  wake.tv_nsec = static_cast<long>(deadline % kNsPerSecond);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) {
  }
}

}  // namespace vx::wave
