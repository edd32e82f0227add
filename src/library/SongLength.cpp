#include "library/SongLength.h"

#include <limits>

#include "library/CueOffset.h"

namespace vx {

std::string SongLengthText(std::uint32_t milliseconds) {
  // The same form as a file song's cue offsets.
  return FormatCueOffset(CueMedium::kWave, static_cast<long>(milliseconds));
}

std::uint32_t AudioMilliseconds(std::uint64_t bytes, std::uint32_t bytesPerSecond) {
  if (bytesPerSecond == 0) return 0;
  // Seconds and the remainder apart, so that bytes x 1000 never overflows.
  const std::uint64_t milliseconds =
      bytes / bytesPerSecond * 1000 + bytes % bytesPerSecond * 1000 / bytesPerSecond;
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(milliseconds < kMost ? milliseconds : kMost);
}

}  // namespace vx
