#include "recording/CaptureLevels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace vx {
namespace {

constexpr double kFullScale = 32767.0;
constexpr double kDbOffset = 3.0;
constexpr int kMeterTop = 23;

}  // namespace

BufferLevels MeasureLevels(const std::int16_t* samples, std::size_t count, int channels) {
  BufferLevels levels;
  if (count == 0) return levels;
  if (channels == 2) {
    std::uint64_t sums[2] = {0, 0};
    int peaks[2] = {0, 0};
    for (std::size_t i = 0; i < count; ++i) {
      const int magnitude = std::abs(static_cast<int>(samples[i]));
      sums[i & 1] += static_cast<std::uint64_t>(magnitude);
      peaks[i & 1] = std::max(peaks[i & 1], magnitude);
    }
    const double n = static_cast<double>(count);
    levels.left = {static_cast<int>(static_cast<double>(sums[0]) / n * 0.5), peaks[0]};
    levels.right = {static_cast<int>(static_cast<double>(sums[1]) / n * 0.5), peaks[1]};
    return levels;
  }
  std::uint64_t sum = 0;
  int peak = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const int magnitude = std::abs(static_cast<int>(samples[i]));
    sum += static_cast<std::uint64_t>(magnitude);
    peak = std::max(peak, magnitude);
  }
  levels.left = {static_cast<int>(sum / count), peak};
  levels.right = levels.left;
  return levels;
}

double LevelDb(double value) {
  if (value <= 0) return -std::numeric_limits<double>::infinity();
  return 20.0 * std::log10(value / kFullScale) + kDbOffset;
}

int MeterPosition(int peak) {
  const double db = LevelDb(peak);
  if (!std::isfinite(db)) return 0;
  const double position = std::trunc(db - kDbOffset) + kMeterTop;
  return static_cast<int>(std::clamp(position, 0.0, static_cast<double>(kMeterTop)));
}

bool AboveTrigger(const BufferLevels& levels, int triggerDb) {
  return LevelDb(levels.left.average) > triggerDb || LevelDb(levels.right.average) > triggerDb;
}

}  // namespace vx
