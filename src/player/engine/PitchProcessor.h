// How a deck turns the song's frames into the frames it plays at a pitch of p percent. Every
// kind keeps the same speed: in the long run one output frame stands for exactly 1 + p / 100
// input frames, from the first output frame after a reset on, so the heard time and the cue
// positions the engine computes from the frames played are the same whichever kind plays.
//   Classic  drops or repeats whole frames (no sample value computed; pitch follows speed).
//   Smooth   a band-limited variable-ratio resampler (pitch follows speed, no grit).
//   Key lock a real-time time stretcher: the speed changes, the key stays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vx::riff {
struct WaveFormat;
}

namespace vx::player {

// Stored as Player/PitchQuality by these numbers.
enum class PitchQuality : int { kClassic = 0, kSmooth = 1, kKeyLock = 2 };

// The kind a stored number stands for; Classic for any number that is none of them.
PitchQuality PitchQualityFromNumber(int number);

class PitchProcessor {
 public:
  virtual ~PitchProcessor() = default;

  // Turns input (inputLength bytes of whole frames of the output format) into at most
  // outputCapacity bytes of whole frames at pitch percent, and answers the bytes written.
  // inputUsed tells how many input bytes were taken; the engine offers the rest again with
  // the next call. Given at least a tenth of a second of input and room for as much output,
  // a call writes something, so each buffer the engine fills has sound in it.
  virtual std::size_t Process(double pitch, const std::uint8_t* input, std::size_t inputLength,
                              std::uint8_t* output, std::size_t outputCapacity,
                              std::size_t& inputUsed) = 0;

  // Forgets everything held from earlier input: after a load, a seek or a cue jump the next
  // output frame starts exactly at the next input frame.
  virtual void Reset() = 0;

  // The data ran out: writes what the processor still holds from the input it took (at most
  // outputCapacity bytes of whole frames) and answers the bytes written, so the song's last
  // frames are heard. When that fills the room the engine calls again for the rest, until a
  // call answers less than the room. Input it did not take stays the engine's to play as it
  // is. A kind that holds nothing back writes nothing.
  virtual std::size_t Flush(std::uint8_t* output, std::size_t outputCapacity) {
    (void)output;
    (void)outputCapacity;
    return 0;
  }

  // The kind that actually plays (a format a kind cannot take plays Classic).
  virtual PitchQuality Quality() const = 0;
};

// The processor of the given kind for 16-bit PCM of format's channels and rate; Classic for
// any other format or when the kind cannot be set up.
std::unique_ptr<PitchProcessor> MakePitchProcessor(PitchQuality quality,
                                                   const riff::WaveFormat& format);

}  // namespace vx::player
