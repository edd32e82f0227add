#include "player/engine/PitchResampler.h"

#include <cmath>
#include <cstring>

namespace vx::player {

std::size_t PitchResampler::Process(double pitch, std::uint32_t blockAlign,
                                    const std::uint8_t* input, std::size_t inputLength,
                                    std::uint8_t* output, std::size_t outputCapacity,
                                    std::size_t& inputUsed) {
  if (pitch != builtFor_) {
    accumulator_ = 0;
    builtFor_ = pitch;
  }
  inputUsed = 0;
  if (pitch == 0 || blockAlign == 0) return 0;
  const double b = blockAlign;
  const bool faster = pitch > 0;
  const double step = faster ? b * 100.0 / pitch : b * (100.0 / std::fabs(pitch) - 1.0);
  std::size_t in = 0;
  std::size_t out = 0;
  while (true) {
    std::size_t take = static_cast<std::size_t>(std::trunc(step)) / blockAlign * blockAlign;
    double next = accumulator_ + (step - static_cast<double>(take));
    if (next >= b) {
      next -= b;
      take += blockAlign;
    }
    if (faster) {
      // The run and the frame dropped after it must both be here; otherwise both wait for
      // the next call, so no drop is ever lost.
      if (inputLength - in < take + blockAlign || out + take > outputCapacity) break;
      std::memcpy(output + out, input + in, take);
      out += take;
      in += take + blockAlign;
    } else {
      if (inputLength - in < take || take == 0 || out + take + blockAlign > outputCapacity) {
        break;
      }
      std::memcpy(output + out, input + in, take);
      out += take;
      in += take;
      // Repeat the last frame copied.
      std::memcpy(output + out, output + out - blockAlign, blockAlign);
      out += blockAlign;
    }
    accumulator_ = next;
  }
  inputUsed = in;
  return out;
}

}  // namespace vx::player
