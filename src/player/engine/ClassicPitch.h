// The deck's classic speed change: whole frames dropped or repeated (PitchResampler), and at
// pitch 0 the input copied as it is. Nothing is held back between calls: the input a run
// could not finish stays the engine's, which plays it as it is when the data runs out.
#pragma once

#include <cstdint>

#include "player/engine/PitchProcessor.h"
#include "player/engine/PitchResampler.h"

namespace vx::player {

class ClassicPitch : public PitchProcessor {
 public:
  explicit ClassicPitch(std::uint32_t blockAlign);

  std::size_t Process(double pitch, const std::uint8_t* input, std::size_t inputLength,
                      std::uint8_t* output, std::size_t outputCapacity,
                      std::size_t& inputUsed) override;
  // The drop/repeat pattern keeps its fraction carry across jumps, as it always has: it
  // holds no input, so the first frame after a jump is the jump's own.
  void Reset() override {}
  PitchQuality Quality() const override { return PitchQuality::kClassic; }

 private:
  std::uint32_t blockAlign_;
  PitchResampler resampler_;
};

}  // namespace vx::player
