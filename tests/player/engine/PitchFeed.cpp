#include "PitchFeed.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace vx::player::test {

std::vector<std::int16_t> FeedLikeTheEngine(PitchProcessor& processor,
                                            const std::vector<std::int16_t>& samples,
                                            int channels, double pitch, int sampleRate) {
  const std::size_t frameBytes = 2 * static_cast<std::size_t>(channels);
  const std::size_t chunk = static_cast<std::size_t>(sampleRate / 10) * frameBytes;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(samples.data());
  const std::size_t total = samples.size() * sizeof(std::int16_t);
  std::vector<std::uint8_t> joined;
  std::vector<std::uint8_t> out(chunk * 3 / 2);
  std::vector<std::int16_t> played;
  const auto append = [&](std::size_t n) {
    assert(n % frameBytes == 0);
    const std::size_t start = played.size();
    played.resize(start + n / 2);
    std::memcpy(played.data() + start, out.data(), n);
  };
  for (std::size_t at = 0; at < total; at += chunk) {
    joined.insert(joined.end(), bytes + at, bytes + std::min(total, at + chunk));
    std::size_t used = 0;
    const std::size_t n =
        processor.Process(pitch, joined.data(), joined.size(), out.data(), out.size(), used);
    joined.erase(joined.begin(), joined.begin() + static_cast<std::ptrdiff_t>(used));
    append(n);
  }
  append(processor.Flush(out.data(), out.size()));
  const std::size_t start = played.size();
  played.resize(start + joined.size() / 2);
  std::memcpy(played.data() + start, joined.data(), joined.size() / 2 * 2);
  return played;
}

}  // namespace vx::player::test
