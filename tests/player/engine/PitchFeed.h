// Feeds samples through a pitch processor the way the playback engine does: chunks of a tenth
// of a second, room for one and a half chunks, the input not taken offered again, and at the
// end what the processor holds flushed (buffer after buffer until it answers less than the
// room) and the input it left played as it is. Tests and the pitch benchmark judge the
// processors' sound on what comes out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "player/engine/PitchProcessor.h"

namespace vx::player::test {

// One call the feed made, as the processor answered it (a flush offers no input).
struct FeedCall {
  double pitch = 0;
  std::size_t offeredFrames = 0;
  std::size_t takenFrames = 0;
  std::size_t writtenFrames = 0;
};

// Each call's pitch is pitchAt(the input frames taken so far); observe, when given, sees
// every call.
std::vector<std::int16_t> FeedLikeTheEngine(
    PitchProcessor& processor, const std::vector<std::int16_t>& samples, int channels,
    const std::function<double(std::size_t)>& pitchAt, int sampleRate = 44100,
    const std::function<void(const FeedCall&)>& observe = nullptr);

// At one steady pitch.
std::vector<std::int16_t> FeedLikeTheEngine(PitchProcessor& processor,
                                            const std::vector<std::int16_t>& samples, int channels,
                                            double pitch, int sampleRate = 44100);

}  // namespace vx::player::test
