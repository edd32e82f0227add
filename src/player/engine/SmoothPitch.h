// The deck's smooth speed change: a band-limited variable-ratio resampler (libsamplerate)
// on 16-bit PCM of one or two channels. Speed and pitch change together as in the classic
// kind, without its grit. The resampler's output is aligned with its input (it pads its
// history with silence after a reset), so the first output frame after a reset is the first
// input frame, and its fractional read position carries over between calls, so in the long
// run one output frame stands for exactly 1 + p / 100 input frames. It runs at pitch 0 too
// (ratio 1), so passing through 0 while bending does not click.
#pragma once

#include <memory>
#include <vector>

#include "player/engine/PitchProcessor.h"

typedef struct SRC_STATE_tag SRC_STATE;

namespace vx::player {

class SmoothPitch : public PitchProcessor {
 public:
  // Null when the resampler cannot be set up for that many channels.
  static std::unique_ptr<SmoothPitch> Make(int channels);
  ~SmoothPitch() override;
  SmoothPitch(const SmoothPitch&) = delete;
  SmoothPitch& operator=(const SmoothPitch&) = delete;

  std::size_t Process(double pitch, const std::uint8_t* input, std::size_t inputLength,
                      std::uint8_t* output, std::size_t outputCapacity,
                      std::size_t& inputUsed) override;
  void Reset() override;
  std::size_t Flush(std::uint8_t* output, std::size_t outputCapacity) override;
  PitchQuality Quality() const override { return PitchQuality::kSmooth; }

 private:
  SmoothPitch(SRC_STATE* state, int channels);
  // Runs the resampler on frames frames of in_ (none when flushing) into at most capacity
  // frames of output, written as 16-bit samples; answers the frames written.
  std::size_t Run(std::size_t frames, std::uint8_t* output, std::size_t capacity, bool last,
                  std::size_t& framesUsed);

  SRC_STATE* state_;
  int channels_;
  std::size_t frameBytes_;
  double ratio_ = 0;  // output frames per input frame, as last given to the resampler
  bool flushed_ = false;
  std::vector<float> in_;
  std::vector<float> out_;
};

}  // namespace vx::player
