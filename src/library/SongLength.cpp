#include "library/SongLength.h"

#include <algorithm>
#include <charconv>
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

namespace {

// Reads the decimal digits up to the first of `ends` (or the text's end) into value; answers
// the rest after that separator. Fails on an empty field, a non-digit or an overflow.
bool ReadField(std::string_view& text, std::string_view ends, std::uint64_t& value) {
  const std::size_t end = std::min(text.find_first_of(ends), text.size());
  const std::string_view field = text.substr(0, end);
  if (field.empty() || field.size() > 9) return false;
  const auto [stop, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || stop != field.data() + field.size()) return false;
  text.remove_prefix(end < text.size() ? end + 1 : end);
  return true;
}

}  // namespace

std::uint32_t SongLengthMilliseconds(std::string_view text) {
  std::uint64_t minutes = 0;
  std::uint64_t seconds = 0;
  std::uint64_t milliseconds = 0;
  if (!ReadField(text, ":", minutes) || text.empty() || !ReadField(text, ":.", seconds) ||
      seconds > 59 || (!text.empty() && !ReadField(text, "", milliseconds)) ||
      milliseconds > 999) {
    return 0;
  }
  const std::uint64_t total = (minutes * 60 + seconds) * 1000 + milliseconds;
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(total < kMost ? total : kMost);
}

}  // namespace vx
