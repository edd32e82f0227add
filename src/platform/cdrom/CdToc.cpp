#include "platform/cdrom/CdToc.h"

#include <cstdint>
#include <cstdio>

namespace vx::cdrom {
namespace {

// 64-bit FNV-1a over the bytes of value, little-endian, continuing from hash.
std::uint64_t Mix(std::uint64_t hash, std::uint64_t value) {
  for (int byte = 0; byte < 8; ++byte) {
    hash ^= (value >> (8 * byte)) & 0xFF;
    hash *= 0x100000001B3ULL;
  }
  return hash;
}

}  // namespace

const CdTrack* CdToc::Find(int number) const {
  for (const auto& track : tracks) {
    if (track.number == number) return &track;
  }
  return nullptr;
}

int CdToc::AudioTrackCount() const {
  int count = 0;
  for (const auto& track : tracks) count += track.audio ? 1 : 0;
  return count;
}

std::string CdToc::Identity() const {
  std::uint64_t hash = 0xCBF29CE484222325ULL;
  for (const auto& track : tracks) {
    hash = Mix(hash, static_cast<std::uint64_t>(track.number));
    hash = Mix(hash, static_cast<std::uint64_t>(track.startLsn));
    hash = Mix(hash, track.audio ? 1 : 0);
  }
  char text[40];
  std::snprintf(text, sizeof text, "%02X%02X%06lX%016llX", firstTrack & 0xFF,
                static_cast<unsigned>(tracks.size()) & 0xFF,
                static_cast<unsigned long>(leadOutLsn) & 0xFFFFFF,
                static_cast<unsigned long long>(hash));
  return text;
}

}  // namespace vx::cdrom
