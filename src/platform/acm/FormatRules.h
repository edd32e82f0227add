// What the codecs behind the drivers accept, shared by format suggestion and stream opening.
#pragma once

#include "platform/riff/WaveFile.h"

namespace vx::acm {

inline constexpr int kMaxChannels = 2;
inline constexpr std::uint32_t kMaxSamplesPerSec = 384000;

// One or two channels at a rate from 1 to 384000 Hz.
inline bool HasUsableLayout(const riff::WaveFormat& format) {
  return format.channels >= 1 && format.channels <= kMaxChannels && format.samplesPerSec >= 1 &&
         format.samplesPerSec <= kMaxSamplesPerSec;
}

// 16-bit PCM with a usable layout and the matching block align.
inline bool IsUsablePcm16(const riff::WaveFormat& format) {
  return format.formatTag == riff::kFormatPcm && format.bitsPerSample == 16 &&
         HasUsableLayout(format) && format.blockAlign == format.channels * 2;
}

}  // namespace vx::acm
