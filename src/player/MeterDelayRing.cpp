#include "player/MeterDelayRing.h"

namespace vx::player {

int MeterDelayRing::ClampDelay(int delay) {
  return delay < 0 || delay > kMaxDelay ? kMaxDelay : delay;
}

MeterDelayRing::MeterDelayRing(int delay)
    : delay_(ClampDelay(delay)), ring_(static_cast<std::size_t>(2 * delay_)) {}

std::pair<int, int> MeterDelayRing::Push(int left, int right) {
  if (ring_.empty()) return {left, right};
  const int size = static_cast<int>(ring_.size());
  ring_[write_] = {left, right};
  int read = write_ - delay_;
  if (read < 0) read += size;
  write_ = (write_ + 1) % size;
  return ring_[read];
}

}  // namespace vx::player
