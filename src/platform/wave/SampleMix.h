// The sample arithmetic of an output shared by several openers. Each opener's sound is
// brought into the output's format by its VoiceConverter and added into a MixBus; the bus
// then writes the sum in the output's format, clipped to the format's range.
//
// Samples travel at 32-bit scale (an 8-bit sample v becomes (v - 128) << 24, a 16-bit one
// v << 16, ...), summed in 64 bits, so sums of openers in the output's own format are exact
// until they clip. Channels: an opener with the output's channel count plays as it is; a
// mono opener plays on every channel; a stereo (or wider) opener on a mono output plays the
// average of its channels; on other counts channel i plays on channel i and the rest are
// silent. An opener routed to the left or right channel plays the average of its channels
// on that channel of the output only. Rates: an opener at another rate is resampled by
// linear interpolation, which reads one opener frame ahead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/riff/WaveFile.h"
#include "platform/wave/WaveTypes.h"

namespace vx::wave {

// A plain PCM sample at 32-bit scale, from and to its stored bytes (8, 16, 24, 32 bits).
std::int32_t ReadScaledSample(const std::uint8_t* bytes, std::uint16_t bitsPerSample);
void WriteScaledSample(std::int64_t value, std::uint16_t bitsPerSample, std::uint8_t* bytes);

class VoiceConverter {
 public:
  // `voice` and `bus` are plain PCM formats.
  void Setup(const riff::WaveFormat& voice, const riff::WaveFormat& bus, ChannelRoute route);
  // The opener's bytes are the bus's bytes: same sample format, every channel.
  bool PassesThrough() const { return passThrough_; }
  // How many of the opener's frames `busFrames` frames of the bus take.
  std::size_t FramesNeeded(std::size_t busFrames) const;
  // The largest FramesNeeded of a period of `busFrames` frames.
  std::size_t MostFramesNeeded(std::size_t busFrames) const;
  // Adds `frames` frames of the opener (the frames FramesNeeded asked for, or fewer when the
  // opener ran short) into `mix`, bus frames from the start. Answers the bus frames made.
  std::size_t AddTo(const std::uint8_t* data, std::size_t frames, std::int64_t* mix,
                    std::size_t busFrames);
  // Forgets the resampler's history: the opener starts afresh (after a stop or a reset).
  void Restart();

 private:
  // One frame of the opener at 32-bit scale into the bus frame at `out`.
  void AddFrame(const std::int32_t* voiceFrame, std::int64_t* out) const;
  void Decode(const std::uint8_t* data, std::int32_t* frame) const;

  riff::WaveFormat voice_;
  riff::WaveFormat bus_;
  ChannelRoute route_ = ChannelRoute::kAll;
  bool passThrough_ = true;
  bool resampled_ = false;
  std::uint64_t step_ = 0;   // opener frames per bus frame, 32.32 fixed point
  std::uint64_t phase_ = 0;  // opener frames ahead of previous_, 32.32
  std::vector<std::int32_t> previous_;
  std::vector<std::int32_t> next_;
  std::vector<std::int32_t> blend_;
};

// The sum of one period of an output.
class MixBus {
 public:
  // A period of `frames` frames of `format`, every sample 0.
  void Begin(const riff::WaveFormat& format, std::size_t frames);
  std::int64_t* Samples() { return samples_.data(); }
  // Writes `frames` frames of the sum into `out` in the bus format, clipped.
  void Write(std::size_t frames, std::uint8_t* out) const;

 private:
  riff::WaveFormat format_;
  std::vector<std::int64_t> samples_;
};

}  // namespace vx::wave
