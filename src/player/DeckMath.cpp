#include "player/DeckMath.h"

#include <algorithm>
#include <cmath>

namespace vx::player {
namespace {

int Digits(const std::string& text, std::size_t position, std::size_t length) {
  if (position >= text.size()) return 0;
  int value = 0;
  for (char c : text.substr(position, length)) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

int PitchToSlider(double pitch) {
  const int position = static_cast<int>(std::trunc((12.0 + pitch) * 10.0 + 1e-9));
  return std::clamp(position, 0, kPitchSliderMax);
}

double SliderToPitch(int position) {
  // Whole tenths divided once: position x 0.1 - 12 would make 119 into -0.0999..., which
  // the engine takes for 0 while the display shows -0.1.
  return (position - kPitchSliderZero) / 10.0;
}

double CurrentBpm(double songBpm, double pitch) { return songBpm * (1.0 + pitch / 100.0); }

std::optional<double> SyncBpmPitch(double songBpm, double otherBpm) {
  if (!(songBpm > 0) || !(otherBpm > 0)) return std::nullopt;
  const double p = otherBpm >= songBpm ? (1.0 - songBpm / otherBpm) * 100.0
                                       : -(1.0 - otherBpm / songBpm) * 100.0;
  if (p < kMinPitch || p > kMaxPitch) return std::nullopt;
  if (p != 0 && std::fabs(p) < 0.1) return std::nullopt;
  return p;
}

int MeterValue(std::uint32_t peak) {
  if (peak == 0) return 0;
  const double value = std::trunc(4.0 * (25.0 + 20.0 * std::log10(peak / 32767.0)));
  return static_cast<int>(std::clamp(value, 0.0, 100.0));
}

std::uint32_t CueByteOffset(const std::string& cueOffset, std::uint32_t avgBytesPerSec) {
  const std::uint64_t minutes = Digits(cueOffset, 0, 2);
  const std::uint64_t seconds = Digits(cueOffset, 3, 2);
  const std::uint64_t ms = Digits(cueOffset, 6, 3);
  const std::uint64_t offset =
      (minutes * 60 + seconds) * avgBytesPerSec + (avgBytesPerSec / 1000) * ms;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(offset, UINT32_MAX));
}

}  // namespace vx::player
