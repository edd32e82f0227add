#include "PitchFeed.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace vx::player::test {

std::vector<std::int16_t> FeedLikeTheEngine(PitchProcessor& processor,
                                            const std::vector<std::int16_t>& samples, int channels,
                                            const std::function<double(std::size_t)>& pitchAt,
                                            int sampleRate,
                                            const std::function<void(const FeedCall&)>& observe) {
  const std::size_t frameBytes = 2 * static_cast<std::size_t>(channels);
  const std::size_t chunk = static_cast<std::size_t>(sampleRate / 10) * frameBytes;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(samples.data());
  const std::size_t total = samples.size() * sizeof(std::int16_t);
  std::vector<std::uint8_t> joined;
  std::vector<std::uint8_t> out(chunk * 3 / 2);
  std::vector<std::int16_t> played;
  std::size_t taken = 0;
  double pitch = 0;
  const auto append = [&](std::size_t offered, std::size_t used, std::size_t n) {
    assert(n % frameBytes == 0);
    const std::size_t start = played.size();
    played.resize(start + n / 2);
    std::memcpy(played.data() + start, out.data(), n);
    taken += used / frameBytes;
    if (observe) observe({pitch, offered / frameBytes, used / frameBytes, n / frameBytes});
  };
  for (std::size_t at = 0; at < total; at += chunk) {
    joined.insert(joined.end(), bytes + at, bytes + std::min(total, at + chunk));
    pitch = pitchAt(taken);
    std::size_t used = 0;
    const std::size_t n =
        processor.Process(pitch, joined.data(), joined.size(), out.data(), out.size(), used);
    append(joined.size(), used, n);
    joined.erase(joined.begin(), joined.begin() + static_cast<std::ptrdiff_t>(used));
  }
  std::size_t n = 0;
  do {
    n = processor.Flush(out.data(), out.size());
    append(0, 0, n);
  } while (n > 0 && n / frameBytes == out.size() / frameBytes);  // the room was filled
  const std::size_t start = played.size();
  played.resize(start + joined.size() / 2);
  std::memcpy(played.data() + start, joined.data(), joined.size() / 2 * 2);
  return played;
}

std::vector<std::int16_t> FeedLikeTheEngine(PitchProcessor& processor,
                                            const std::vector<std::int16_t>& samples, int channels,
                                            double pitch, int sampleRate) {
  return FeedLikeTheEngine(
      processor, samples, channels, [pitch](std::size_t) { return pitch; }, sampleRate);
}

}  // namespace vx::player::test
