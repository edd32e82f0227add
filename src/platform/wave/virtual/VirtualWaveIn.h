// The virtual wave input of machines without a sound card: while capturing it delivers, at
// real time x speed in periods of 5 ms of device time, the samples of a WAVE file and then
// silence, or a generated sine tone. The file (or tone) starts again at every Open and
// advances only while the device captures. A file is delivered in its own format only
// (other formats answer kBadFormat); a tone in any 8- or 16-bit PCM format.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/wave/StreamWaveIn.h"

namespace vx::wave {

class VirtualWaveIn : public StreamWaveIn {
 public:
  // A file input; `path` is a WAVE file.
  VirtualWaveIn(std::string name, std::string path, double speed);
  // A tone input.
  VirtualWaveIn(std::string name, double toneFrequency, double speed);

  WaveCaps Caps() const override;

 protected:
  unsigned OpenStream(const riff::WaveFormat& format,
                      std::unique_ptr<WaveStream>& stream) override;

 private:
  std::string name_;
  std::string path_;
  std::optional<double> tone_;
  double speed_;
};

}  // namespace vx::wave
