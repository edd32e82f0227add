#include "cd/ToneDisc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace vx::player::test {
namespace {

constexpr long kSectorBytes = 2352;
constexpr long kFramesPerSecond = 75;

std::string Msf(long sectors) {
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", sectors / kFramesPerSecond / 60,
                sectors / kFramesPerSecond % 60, sectors % kFramesPerSecond);
  return text;
}

}  // namespace

std::string WriteToneDisc(const std::string& folder, const ToneDisc& disc) {
  std::filesystem::create_directories(folder);
  std::ofstream bin(folder + "/disc.bin", std::ios::binary | std::ios::trunc);
  std::string cue = "FILE \"disc.bin\" BINARY\n";
  long sector = 0;
  int number = 0;
  for (const int seconds : disc.trackSeconds) {
    ++number;
    char header[64];
    std::snprintf(header, sizeof header, "  TRACK %02d AUDIO\n    INDEX 01 ", number);
    cue += header + Msf(sector) + "\n";
    const long frames = seconds * 44100L;
    std::vector<char> bytes;
    bytes.reserve(static_cast<std::size_t>(frames) * 4);
    for (long frame = 0; frame < frames; ++frame) {
      const double phase = 2 * std::numbers::pi * ToneOfTrack(number) * frame / 44100.0;
      const auto sample = static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(phase)));
      for (int channel = 0; channel < 2; ++channel) {
        bytes.push_back(static_cast<char>(sample & 0xFF));
        bytes.push_back(static_cast<char>(sample >> 8));
      }
    }
    bin.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    sector += seconds * kFramesPerSecond;
  }
  if (disc.dataSeconds > 0) {
    char header[64];
    std::snprintf(header, sizeof header, "  TRACK %02d MODE1/2352\n    INDEX 01 ", number + 1);
    cue += header + Msf(sector) + "\n";
    const std::vector<char> empty(kSectorBytes, 0);
    for (long s = 0; s < disc.dataSeconds * kFramesPerSecond; ++s) {
      bin.write(empty.data(), kSectorBytes);
    }
  }
  const std::string path = folder + "/disc.cue";
  std::ofstream(path, std::ios::trunc) << cue;
  return path;
}

double ToneFrequency(const std::vector<std::uint8_t>& samples, std::size_t firstFrame,
                     std::size_t frames) {
  const auto left = [&](std::size_t frame) {
    const std::size_t at = frame * 4;
    return static_cast<std::int16_t>(samples[at] | samples[at + 1] << 8);
  };
  const std::size_t end = std::min(samples.size() / 4, firstFrame + frames);
  std::size_t crossings = 0, first = 0, last = 0;
  for (std::size_t frame = firstFrame + 1; frame < end; ++frame) {
    if (left(frame - 1) < 0 && left(frame) >= 0) {
      if (crossings == 0) first = frame;
      last = frame;
      ++crossings;
    }
  }
  if (crossings < 2) return 0;
  return (crossings - 1) * 44100.0 / static_cast<double>(last - first);
}

}  // namespace vx::player::test
