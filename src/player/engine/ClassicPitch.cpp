#include "player/engine/ClassicPitch.h"

#include <algorithm>
#include <cstring>

namespace vx::player {

ClassicPitch::ClassicPitch(std::uint32_t blockAlign) : blockAlign_(blockAlign) {}

std::size_t ClassicPitch::Process(double pitch, const std::uint8_t* input,
                                  std::size_t inputLength, std::uint8_t* output,
                                  std::size_t outputCapacity, std::size_t& inputUsed) {
  if (pitch == 0) {
    // As much as fits; the rest is offered again with the next call.
    inputUsed = std::min(inputLength, outputCapacity);
    std::memcpy(output, input, inputUsed);
    return inputUsed;
  }
  return resampler_.Process(pitch, blockAlign_, input, inputLength, output, outputCapacity,
                            inputUsed);
}

}  // namespace vx::player
