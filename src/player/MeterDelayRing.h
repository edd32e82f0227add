// The level meter's delay line: the sound card plays a buffer some time after the engine
// measured it, so the meter shows the pair measured `delay` ticks earlier. The ring holds
// 2 x delay pairs; a delay of 0 shows each pair at once.
#pragma once

#include <utility>
#include <vector>

namespace vx::player {

class MeterDelayRing {
 public:
  static constexpr int kMaxDelay = 60;

  // A delay outside 0..60 becomes 60.
  explicit MeterDelayRing(int delay);

  int Delay() const { return delay_; }
  static int ClampDelay(int delay);

  // Stores this tick's pair and answers the pair to show now.
  std::pair<int, int> Push(int left, int right);

 private:
  int delay_;
  std::vector<std::pair<int, int>> ring_;
  int write_ = 0;
};

}  // namespace vx::player
