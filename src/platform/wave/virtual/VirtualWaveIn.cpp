#include "platform/wave/virtual/VirtualWaveIn.h"

#include "platform/wave/virtual/DeviceClock.h"
#include "platform/wave/virtual/SignalSource.h"

namespace vx::wave {
namespace {

// One open session of the virtual input: each period is due when the clock says so, and
// its sound comes from the source.
class VirtualInStream : public WaveStream {
 public:
  VirtualInStream(const riff::WaveFormat& format, double speed,
                  std::unique_ptr<SignalSource> source)
      : clock_(format.samplesPerSec, BufferPump::PeriodFrames(format), speed),
        source_(std::move(source)) {}

  void Resume() override { clock_.Restart(); }
  void Suspend() override {}
  void Capture(std::uint8_t* data, std::size_t bytes) override {
    clock_.AwaitNextPeriod();
    source_->Read(data, bytes);
  }

 private:
  DeviceClock clock_;
  std::unique_ptr<SignalSource> source_;
};

double ValidSpeed(double speed) { return speed > 0 ? speed : 1.0; }

}  // namespace

VirtualWaveIn::VirtualWaveIn(std::string name, std::string path, double speed)
    : name_(std::move(name)), path_(std::move(path)), speed_(ValidSpeed(speed)) {}

VirtualWaveIn::VirtualWaveIn(std::string name, double toneFrequency, double speed)
    : name_(std::move(name)), tone_(toneFrequency), speed_(ValidSpeed(speed)) {}


WaveCaps VirtualWaveIn::Caps() const {
  if (tone_) return {name_, kAllStandardFormats, 2, kVirtualHostApi};
  riff::WaveFormat format;
  if (!ReadWaveFileFormat(path_, format)) return {name_, 0, 2, kVirtualHostApi};
  return {name_, StandardFormatBit(format), format.channels, kVirtualHostApi};
}

unsigned VirtualWaveIn::OpenStream(const riff::WaveFormat& format,
                                   std::unique_ptr<WaveStream>& stream) {
  unsigned result = kOk;
  std::unique_ptr<SignalSource> source = tone_ ? OpenToneSource(*tone_, format, result)
                                               : OpenWaveFileSource(path_, format, result);
  if (!source) return result;
  stream = std::make_unique<VirtualInStream>(format, speed_, std::move(source));
  return kOk;
}

}  // namespace vx::wave
