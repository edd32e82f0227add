#include "platform/wave/virtual/VirtualWaveOut.h"

#include "platform/wave/virtual/DeviceClock.h"

namespace vx::wave {
namespace {

// One open session of the virtual output: the clock paces the periods, the tape records
// what they played. Ending the stream ends the tape's session.
class VirtualOutStream : public WaveStream {
 public:
  VirtualOutStream(const riff::WaveFormat& format, double speed, std::shared_ptr<TapeFile> tape)
      : clock_(format.samplesPerSec, BufferPump::PeriodFrames(format), speed),
        tape_(std::move(tape)) {}
  ~VirtualOutStream() override { tape_->End(); }

  void Resume() override { clock_.Restart(); }
  // A stopped device plays nothing more for a while: its tape is brought up to date now.
  void Suspend() override { tape_->Refresh(); }
  void AwaitPeriod() override { clock_.AwaitNextPeriod(); }
  void Play(const std::uint8_t* data, std::size_t bytes) override {
    if (bytes > 0) tape_->Append(data, bytes);
  }

 private:
  DeviceClock clock_;
  std::shared_ptr<TapeFile> tape_;
};

}  // namespace

VirtualWaveOut::VirtualWaveOut(std::string name, std::string tapePath, double speed)
    : name_(std::move(name)),
      speed_(speed > 0 ? speed : 1.0),
      tape_(std::make_shared<TapeFile>(std::move(tapePath))) {}


WaveCaps VirtualWaveOut::Caps() const {
  return {name_, kAllStandardFormats, 2, kVirtualHostApi};
}

unsigned VirtualWaveOut::OpenStream(const riff::WaveFormat& format,
                                    std::unique_ptr<WaveStream>& stream) {
  if (!IsPlainPcm(format)) return kBadFormat;
  if (!tape_->Begin(format)) return kError;
  stream = std::make_unique<VirtualOutStream>(format, speed_, tape_);
  return kOk;
}

}  // namespace vx::wave
