// Where a player takes its samples from: PCM sample frames, readable from any frame on.
// Used by one thread at a time (the player's worker while it plays).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/riff/WaveFile.h"

namespace vx::mci {

class PcmSource {
 public:
  virtual ~PcmSource() = default;
  // The PCM format of the frames Read delivers.
  virtual const riff::WaveFormat& Format() const = 0;
  // Moves to a frame; false when the source cannot get there.
  virtual bool Seek(std::uint64_t frame) = 0;
  // Reads up to `frames` frames into out; answers the frames read, 0 at the end.
  virtual std::size_t Read(std::uint8_t* out, std::size_t frames) = 0;
};

}  // namespace vx::mci
