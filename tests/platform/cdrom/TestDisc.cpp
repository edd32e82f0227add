#include "platform/cdrom/TestDisc.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace vx::test {
namespace {

constexpr long kSectorBytes = 2352;
constexpr long kFramesPerSector = 588;

void WriteAudio(std::ofstream& bin, int track, long sectors) {
  std::vector<char> bytes;
  bytes.reserve(sectors * kSectorBytes);
  for (long frame = 0; frame < sectors * kFramesPerSector; ++frame) {
    for (int channel = 0; channel < 2; ++channel) {
      const auto sample = static_cast<std::uint16_t>(TestDiscSample(track, frame, channel));
      bytes.push_back(static_cast<char>(sample & 0xFF));
      bytes.push_back(static_cast<char>(sample >> 8));
    }
  }
  bin.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::uint8_t Bcd(long value) { return static_cast<std::uint8_t>((value / 10) * 16 + value % 10); }

// Mode 1 sectors: sync pattern, header with the sector's address and mode 1, zero data.
void WriteData(std::ofstream& bin, long firstLsn, long sectors) {
  for (long lsn = firstLsn; lsn < firstLsn + sectors; ++lsn) {
    std::vector<char> sector(kSectorBytes, 0);
    for (int i = 1; i <= 10; ++i) sector[i] = static_cast<char>(0xFF);
    const long lba = lsn + 150;
    sector[12] = static_cast<char>(Bcd(lba / (60 * 75)));
    sector[13] = static_cast<char>(Bcd(lba / 75 % 60));
    sector[14] = static_cast<char>(Bcd(lba % 75));
    sector[15] = 1;
    bin.write(sector.data(), kSectorBytes);
  }
}

std::string Msf(long sectors) {
  char text[64];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", sectors / 75 / 60, sectors / 75 % 60,
                sectors % 75);
  return text;
}

}  // namespace

std::int16_t TestDiscSample(int track, long frame, int channel) {
  const std::uint32_t value = static_cast<std::uint32_t>(track) * 7919u +
                              static_cast<std::uint32_t>(frame) * 13u +
                              static_cast<std::uint32_t>(channel) * 40503u;
  return static_cast<std::int16_t>(value & 0xFFFF);
}

std::string WriteTestDisc(const std::string& folder, const TestDiscLayout& layout) {
  std::filesystem::create_directories(folder);
  const long dataStart = 450 + layout.thirdTrackSectors;
  {
    std::ofstream bin(folder + "/disc.bin", std::ios::binary | std::ios::trunc);
    WriteAudio(bin, 1, 150);
    WriteAudio(bin, 0, 75);
    WriteAudio(bin, 2, 225);
    WriteAudio(bin, 3, layout.thirdTrackSectors);
    WriteData(bin, dataStart, 75);
  }
  const std::string cue = folder + "/disc.cue";
  std::ofstream out(cue, std::ios::trunc);
  out << "FILE \"disc.bin\" BINARY\n"
      << "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
      << "  TRACK 02 AUDIO\n    INDEX 00 " << Msf(150) << "\n    INDEX 01 " << Msf(225) << "\n"
      << "  TRACK 03 AUDIO\n    INDEX 01 " << Msf(450) << "\n"
      << "  TRACK 04 MODE1/2352\n    INDEX 01 " << Msf(dataStart) << "\n";
  return cue;
}

}  // namespace vx::test
