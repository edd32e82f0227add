// Key lock: the deck's tempo follows the pitch slider while the key stays, through a
// real-time phase-vocoder time stretcher. The stretcher holds some audio of its own (a few
// thousand frames): every call takes all the input it has room for, writes what the
// stretcher has ready, and Flush plays out what it still holds when the song's data ends
// (called again while it answers more than 0 when one buffer's room is not enough).
//
// The start is exact: after construction or Reset the stretcher is primed with silence and
// its start delay is dropped, so the first output frame is the first input frame. Speed is
// exact: the stretcher renders what it holds at the tempo of the moment, so each output
// frame stands for 1 + p / 100 input frames at the pitch of the call that wrote it. An
// accumulator adds these up, and Flush ends the output where they reach the input taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "player/engine/PitchProcessor.h"

namespace RubberBand {
class RubberBandStretcher;
}

namespace vx::player {

class KeyLockPitch final : public PitchProcessor {
 public:
  // For 16-bit PCM of channels (>= 1) at sampleRate frames per second; null for a rate
  // outside the stretcher's range (8 to 192 kHz).
  static std::unique_ptr<KeyLockPitch> Make(int channels, int sampleRate);
  KeyLockPitch(int channels, int sampleRate);
  ~KeyLockPitch() override;
  KeyLockPitch(const KeyLockPitch&) = delete;
  KeyLockPitch& operator=(const KeyLockPitch&) = delete;

  std::size_t Process(double pitch, const std::uint8_t* input, std::size_t inputLength,
                      std::uint8_t* output, std::size_t outputCapacity,
                      std::size_t& inputUsed) override;
  std::size_t Flush(std::uint8_t* output, std::size_t outputCapacity) override;
  void Reset() override;
  PitchQuality Quality() const override { return PitchQuality::kKeyLock; }

 private:
  void SetPitch(double pitch);
  void Feed(const std::uint8_t* frames, std::size_t count);
  // Writes up to capacity frames the stretcher has ready (once the start delay is dropped)
  // and answers how many frames it wrote.
  std::size_t Drain(std::uint8_t* output, std::size_t capacity);

  std::unique_ptr<RubberBand::RubberBandStretcher> stretcher_;
  std::vector<float> planes_;          // one block per channel
  std::vector<float*> planePointers_;  // into planes_, the stretcher's channel list
  double factor_ = 1;                  // 1 + p / 100 of the pitch set last
  std::size_t consumed_ = 0;           // input frames taken since the reset
  double represented_ = 0;             // input frames the output since the reset stands for
  std::size_t toDrop_ = 0;             // start delay frames still to drop
  bool finished_ = false;              // Flush ended the stream: the next Process starts afresh
};

}  // namespace vx::player
