// Feeds samples through a pitch processor the way the playback engine does: chunks of a tenth
// of a second, room for one and a half chunks, the input not taken offered again, and at the
// end what the processor holds flushed and the input it left played as it is. Tests and the
// pitch benchmark judge the processors' sound on what comes out.
#pragma once

#include <cstdint>
#include <vector>

#include "player/engine/PitchProcessor.h"

namespace vx::player::test {

std::vector<std::int16_t> FeedLikeTheEngine(PitchProcessor& processor,
                                            const std::vector<std::int16_t>& samples,
                                            int channels, double pitch, int sampleRate = 44100);

}  // namespace vx::player::test
