// Changes speed and pitch together by dropping or repeating whole sample frames: at +p %
// one frame is dropped after every run of about 100 / p frames, at -p % one is repeated
// after every run of about 100 / p - 1 frames. A fraction accumulator carries the part of a
// frame that does not fit a whole run, so the long-run speed factor is exactly 1 + p / 100.
// No sample value is computed: the engine thread only copies bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vx::player {

class PitchResampler {
 public:
  // Resamples input into output (at most outputCapacity bytes) for the pitch in percent,
  // frames of blockAlign bytes. Answers the output length; inputUsed tells how many input
  // bytes were consumed (the rest did not make a whole run and must be offered again).
  std::size_t Process(double pitch, std::uint32_t blockAlign, const std::uint8_t* input,
                      std::size_t inputLength, std::uint8_t* output, std::size_t outputCapacity,
                      std::size_t& inputUsed);

  double Accumulator() const { return accumulator_; }

 private:
  double accumulator_ = 0;
  double builtFor_ = 0;
};

}  // namespace vx::player
