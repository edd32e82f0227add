#include "platform/wave/virtual/SignalSource.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/riff/RiffFile.h"
#include "platform/wave/WaveTypes.h"

namespace vx::wave {
namespace {

class WaveFileSource : public SignalSource {
 public:
  WaveFileSource(std::uint64_t remaining, std::uint8_t silence)
      : remaining_(remaining), silence_(silence) {}
  riff::RiffFile& File() { return file_; }

  void Read(std::uint8_t* data, std::size_t bytes) override {
    std::size_t got = 0;
    if (remaining_ > 0) {
      got = file_.Read(data, static_cast<std::size_t>(std::min<std::uint64_t>(bytes, remaining_)));
      remaining_ = got == 0 ? 0 : remaining_ - got;
    }
    std::memset(data + got, silence_, bytes - got);
  }

 private:
  riff::RiffFile file_;
  std::uint64_t remaining_;
  std::uint8_t silence_;
};

class ToneSource : public SignalSource {
 public:
  ToneSource(double frequency, const riff::WaveFormat& format)
      : step_(2 * std::numbers::pi * frequency / format.samplesPerSec),
        channels_(format.channels),
        eightBit_(format.bitsPerSample == 8) {}

  void Read(std::uint8_t* data, std::size_t bytes) override {
    const std::size_t sampleBytes = eightBit_ ? 1 : 2;
    const std::size_t frameBytes = sampleBytes * channels_;
    for (std::size_t at = 0; at + frameBytes <= bytes; at += frameBytes) {
      const double value = 0.5 * std::sin(phase_);
      phase_ = std::fmod(phase_ + step_, 2 * std::numbers::pi);
      for (unsigned channel = 0; channel < channels_; ++channel) {
        std::uint8_t* sample = data + at + channel * sampleBytes;
        if (eightBit_) {
          *sample = static_cast<std::uint8_t>(128 + std::lround(127 * value));
        } else {
          const auto word = static_cast<std::uint16_t>(std::lround(32767 * value));
          sample[0] = static_cast<std::uint8_t>(word);
          sample[1] = static_cast<std::uint8_t>(word >> 8);
        }
      }
    }
  }

 private:
  double phase_ = 0;
  double step_;
  unsigned channels_;
  bool eightBit_;
};

}  // namespace

bool ReadWaveFileFormat(const std::string& path, riff::WaveFormat& format) {
  riff::WaveLayout layout;
  if (riff::ReadWaveLayout(path, layout) != riff::WaveError::kNone) return false;
  format = layout.format;
  return true;
}

std::unique_ptr<SignalSource> OpenWaveFileSource(const std::string& path,
                                                 const riff::WaveFormat& format,
                                                 unsigned& result) {
  riff::WaveLayout layout;
  if (riff::ReadWaveLayout(path, layout) != riff::WaveError::kNone) {
    result = kError;
    return nullptr;
  }
  if (!IsPlainPcm(format) || !SameSampleFormat(layout.format, format)) {
    result = kBadFormat;
    return nullptr;
  }
  auto source = std::make_unique<WaveFileSource>(layout.AvailableDataBytes(), SilenceByte(format));
  if (!source->File().Open(path, riff::RiffFile::Mode::Read) ||
      !source->File().Seek(layout.dataOffset)) {
    result = kError;
    return nullptr;
  }
  result = kOk;
  return source;
}

std::unique_ptr<SignalSource> OpenToneSource(double frequency, const riff::WaveFormat& format,
                                             unsigned& result) {
  if (!IsPlainPcm(format) || (format.bitsPerSample != 8 && format.bitsPerSample != 16)) {
    result = kBadFormat;
    return nullptr;
  }
  result = kOk;
  return std::make_unique<ToneSource>(frequency, format);
}

}  // namespace vx::wave
