#include "cd/AudioDisc.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/cdrom/TestDisc.h"
#include "support/RunTool.h"

namespace vx::test {
namespace {

constexpr long kSectorBytes = 2352;
constexpr long kFramesPerSector = 588;

std::string Msf(long sectors) {
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", sectors / 75 / 60, sectors / 75 % 60,
                sectors % 75);
  return text;
}

long FirstSector(const AudioDisc& disc, int track) {
  long first = 0;
  for (int t = 1; t < track; ++t) first += disc.tracks[t - 1].sectors;
  return first;
}

}  // namespace

std::string WriteAudioDisc(const std::string& folder, const AudioDisc& disc) {
  std::filesystem::create_directories(folder);
  std::ofstream bin(folder + "/disc.bin", std::ios::binary | std::ios::trunc);
  std::string cue = "FILE \"disc.bin\" BINARY\n";
  for (int track = 1; track <= static_cast<int>(disc.tracks.size()); ++track) {
    const DiscTrack& made = disc.tracks[track - 1];
    char header[64];
    std::snprintf(header, sizeof header, "  TRACK %02d %s\n    INDEX 01 ", track,
                  made.audio ? "AUDIO" : "MODE1/2352");
    cue += header + Msf(FirstSector(disc, track)) + "\n";
    std::vector<char> bytes(static_cast<std::size_t>(made.sectors * kSectorBytes), 0);
    if (made.audio) {
      for (long frame = 0; frame < made.sectors * kFramesPerSector; ++frame) {
        for (int channel = 0; channel < 2; ++channel) {
          const auto sample = static_cast<std::uint16_t>(TestDiscSample(track, frame, channel));
          bytes[(frame * 2 + channel) * 2] = static_cast<char>(sample & 0xFF);
          bytes[(frame * 2 + channel) * 2 + 1] = static_cast<char>(sample >> 8);
        }
      }
    }
    bin.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const std::string path = folder + "/disc.cue";
  std::ofstream(path, std::ios::trunc) << cue;
  return path;
}

std::vector<std::uint8_t> ImageTrackBytes(const std::string& folder, const AudioDisc& disc,
                                          int track) {
  std::ifstream bin(folder + "/disc.bin", std::ios::binary);
  bin.seekg(FirstSector(disc, track) * kSectorBytes);
  std::vector<std::uint8_t> bytes(
      static_cast<std::size_t>(disc.tracks[track - 1].sectors * kSectorBytes));
  bin.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

std::optional<std::vector<std::uint8_t>> SoxSamples(const std::string& wavePath) {
  return RunTool({"sox", wavePath, "-t", "raw", "-"});
}

}  // namespace vx::test
