// The CD deck's measure of its drive's start-up delay: up to ten (value, weight) samples in
// frames, whose weighted mean is the lag added to a cue when lag compensation is on. Ten
// samples fold into one entry (their mean, with their total weight), so old measurements
// keep their say while new ones still move the lag.
#pragma once

#include <array>

namespace vx::player {

class CdLagHistory {
 public:
  static constexpr int kCapacity = 10;

  struct Entry {
    long value = 0;
    long weight = 0;
  };

  // The sample of one compensated cue play: the ticks (ms) the play command took, where the
  // device was right after it against where it was sent, and the lag that was in force.
  static long Sample(long elapsedMs, long position, long target, long lagInForce);

  // Appends a sample of weight 1 and answers the new lag.
  long Add(long sample);

  long Lag() const { return lag_; }
  int Count() const { return count_; }
  const Entry& At(int index) const { return entries_[static_cast<std::size_t>(index)]; }

 private:
  std::array<Entry, kCapacity> entries_{};
  int count_ = 0;
  long lag_ = 0;
};

}  // namespace vx::player
