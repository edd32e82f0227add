// The virtual wave output of machines without a sound card: plays buffers on its own clock
// at real time x speed, in periods of 5 ms of device time, and appends every sample it plays
// to its tape (see TapeFile for how the tape grows across opens). It plays any plain PCM
// format; the tape takes the format the device was opened with.
#pragma once

#include <memory>
#include <string>

#include "platform/wave/StreamWaveOut.h"
#include "platform/wave/virtual/TapeFile.h"

namespace vx::wave {

class VirtualWaveOut : public StreamWaveOut {
 public:
  VirtualWaveOut(std::string name, std::string tapePath, double speed);

  WaveCaps Caps() const override;

 protected:
  unsigned OpenStream(const riff::WaveFormat& format,
                      std::unique_ptr<WaveStream>& stream) override;

 private:
  std::string name_;
  double speed_;
  std::shared_ptr<TapeFile> tape_;
};

}  // namespace vx::wave
