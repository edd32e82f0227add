// What the virtual wave input hears: the samples of a WAVE file followed by silence, or a
// sine tone. A source is made when the device opens and produces sound in the format the
// device was opened with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/riff/WaveFile.h"

namespace vx::wave {

class SignalSource {
 public:
  virtual ~SignalSource() = default;
  // Fills `bytes` bytes with the next sound.
  virtual void Read(std::uint8_t* data, std::size_t bytes) = 0;
};

// The PCM format of a WAVE file (its sample fields); false when it cannot be read.
bool ReadWaveFileFormat(const std::string& path, riff::WaveFormat& format);

// A WAVE file's sample data, then silence. Answers kBadFormat when the format differs from
// the file's (no conversion is done), kError when the file cannot be read.
std::unique_ptr<SignalSource> OpenWaveFileSource(const std::string& path,
                                                 const riff::WaveFormat& format,
                                                 unsigned& result);

// A sine of `frequency` Hz at half of full scale, the same on every channel. Answers
// kBadFormat unless the format is plain 8- or 16-bit PCM.
std::unique_ptr<SignalSource> OpenToneSource(double frequency, const riff::WaveFormat& format,
                                             unsigned& result);

}  // namespace vx::wave
