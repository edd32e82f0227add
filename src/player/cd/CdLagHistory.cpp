#include "player/cd/CdLagHistory.h"

#include <cassert>

namespace vx::player {

long CdLagHistory::Sample(long elapsedMs, long position, long target, long lagInForce) {
  // 13 ms a frame, near enough to 1000 / 75.
  return elapsedMs / 13 - (position - target) + lagInForce;
}

long CdLagHistory::Add(long sample) {
  assert(count_ >= 0 && count_ < kCapacity);
  entries_[static_cast<std::size_t>(count_++)] = {sample, 1};
  long sum = 0, weights = 0;
  for (int i = 0; i < count_; ++i) {
    sum += At(i).value * At(i).weight;
    weights += At(i).weight;
  }
  lag_ = sum / weights;
  if (count_ == kCapacity) {
    entries_[0] = {lag_, weights};
    count_ = 1;
  }
  return lag_;
}

}  // namespace vx::player
