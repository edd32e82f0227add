#include "platform/wave/WaveTypes.h"

namespace vx::wave {

std::string WaveErrorText(unsigned result) {
  switch (result) {
    case kOk: return "The operation completed successfully.";
    case kError: return "The sound device reported an error.";
    case kBadDeviceId: return "There is no sound device with that number.";
    case kAllocated: return "The sound device is already in use.";
    case kInvalidHandle: return "The sound device is not open.";
    case kInvalidParam: return "A sound buffer is not usable.";
    case kBadFormat: return "The sound device does not support this format.";
    case kStillPlaying: return "Sound buffers are still queued on the device.";
    case kUnprepared: return "A sound buffer was not prepared.";
    default: return "Unknown sound device error " + std::to_string(result) + ".";
  }
}

std::uint32_t StandardFormatBit(const riff::WaveFormat& format) {
  if (!IsPlainPcm(format) || format.channels > 2 ||
      (format.bitsPerSample != 8 && format.bitsPerSample != 16)) {
    return 0;
  }
  int rateIndex = 0;
  switch (format.samplesPerSec) {
    case 11025: rateIndex = 0; break;
    case 22050: rateIndex = 1; break;
    case 44100: rateIndex = 2; break;
    default: return 0;
  }
  const int within = (format.channels == 2 ? 1 : 0) + (format.bitsPerSample == 16 ? 2 : 0);
  return 1u << (rateIndex * 4 + within);
}

bool IsPlainPcm(const riff::WaveFormat& format) {
  const unsigned bits = format.bitsPerSample;
  const bool bitsOk = bits == 8 || bits == 16 || bits == 24 || bits == 32;
  return format.formatTag == riff::kFormatPcm && format.channels >= 1 &&
         format.channels <= 8 && bitsOk && format.blockAlign == format.channels * bits / 8 &&
         format.samplesPerSec >= 1000 && format.samplesPerSec <= 384000 &&
         format.avgBytesPerSec == format.samplesPerSec * format.blockAlign;
}

bool SameSampleFormat(const riff::WaveFormat& a, const riff::WaveFormat& b) {
  return a.formatTag == b.formatTag && a.channels == b.channels &&
         a.samplesPerSec == b.samplesPerSec && a.bitsPerSample == b.bitsPerSample &&
         a.blockAlign == b.blockAlign && a.avgBytesPerSec == b.avgBytesPerSec;
}

std::uint8_t SilenceByte(const riff::WaveFormat& format) {
  return format.bitsPerSample == 8 ? 0x80 : 0x00;
}

}  // namespace vx::wave
