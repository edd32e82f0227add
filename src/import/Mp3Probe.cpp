#include "import/Mp3Probe.h"

#include <cstdio>
#include <cstring>

namespace vx {
namespace {

// Layer III bit rates (bit/s) by index 1..14; index 0 is free format, 15 is invalid.
constexpr std::uint32_t kBitRates[2][15] = {
    // MPEG-2
    {0, 8000, 16000, 24000, 32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000, 144000,
     160000},
    // MPEG-1
    {0, 32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000, 160000, 192000, 224000,
     256000, 320000}};
// Sample rates (Hz) by index 0..2; index 3 is invalid.
constexpr std::uint32_t kSampleRates[2][3] = {{22050, 24000, 16000}, {44100, 48000, 32000}};

constexpr std::uint32_t kLowestBitRate = 64000;
constexpr std::uint32_t kLowestSampleRate = 22050;
constexpr unsigned kLayer3Bits = 1;  // layer field 01
constexpr unsigned kSingleChannel = 3;

// Where the first frame must start: after an ID3v2 tag, else at the first byte.
std::uint64_t AudioStart(ByteSource& source) {
  std::uint8_t header[kId3v2HeaderSize];
  if (!source.ReadAt(0, header, sizeof header)) return 0;
  const auto body = Id3v2BodySize(header);
  return body ? kId3v2HeaderSize + std::uint64_t{*body} : 0;
}

// Bytes of one Layer III frame: 144 (MPEG-1) or 72 (MPEG-2) x bit rate / rate + padding.
std::uint64_t FrameBytes(const Mp3Probe& probe) {
  const std::uint64_t perSample = probe.mpeg1 ? 144 : 72;
  return perSample * probe.bitRate / probe.sampleRate + (probe.padding ? 1 : 0);
}

}  // namespace

bool MemoryByteSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
  if (count > 0) std::memcpy(buffer, bytes_.data() + offset, count);
  return true;
}

Mp3Probe ProbeMp3(ByteSource& source) {
  Mp3Probe probe;
  probe.fileSize = source.Size();
  // A tag that claims to run past the end leaves no header to read: no frame sync.
  probe.audioStart = AudioStart(source);

  std::uint8_t bytes[4];
  if (!source.ReadAt(probe.audioStart, bytes, sizeof bytes)) return probe;
  const unsigned high = bytes[0] << 8 | bytes[1];
  const unsigned low = bytes[2] << 8 | bytes[3];
  if ((high & 0xfff0) != 0xfff0) return probe;

  if (probe.fileSize >= kId3v1TagSize) {
    std::uint8_t tail[kId3v1TagSize];
    if (source.ReadAt(probe.fileSize - kId3v1TagSize, tail, sizeof tail)) {
      probe.tag = ReadId3v1Tag(tail);
    }
  }

  const auto verdict = [&probe](Mp3Verdict found) {
    probe.verdict = found;
    return probe;
  };
  if ((high >> 1 & 3) != kLayer3Bits) return verdict(Mp3Verdict::kNotLayer3);
  probe.mpeg1 = (high >> 3 & 1) != 0;
  const unsigned bitRateIndex = low >> 12 & 0xf;
  const unsigned sampleRateIndex = low >> 10 & 3;
  probe.padding = (low >> 9 & 1) != 0;
  probe.channels = (low >> 6 & 3) == kSingleChannel ? 1 : 2;

  if (bitRateIndex == 15) return verdict(Mp3Verdict::kInvalidHeader);
  probe.bitRate = kBitRates[probe.mpeg1][bitRateIndex];
  if (probe.bitRate < kLowestBitRate) return verdict(Mp3Verdict::kLowQuality);
  if (sampleRateIndex == 3) return verdict(Mp3Verdict::kInvalidHeader);
  probe.sampleRate = kSampleRates[probe.mpeg1][sampleRateIndex];
  if (probe.sampleRate < kLowestSampleRate) return verdict(Mp3Verdict::kLowQuality);

  // A file cut short inside its first frame has nothing a player could play.
  const std::uint64_t audioEnd = probe.fileSize - (probe.tag ? kId3v1TagSize : 0);
  if (probe.audioStart >= audioEnd || FrameBytes(probe) > audioEnd - probe.audioStart) {
    return verdict(Mp3Verdict::kNoFrameSync);
  }
  return verdict(Mp3Verdict::kAccepted);
}

Mp3Probe ProbeMp3Bytes(std::span<const std::uint8_t> bytes) {
  MemoryByteSource source(bytes);
  return ProbeMp3(source);
}

std::string Mp3LengthText(std::uint64_t fileSize, std::uint32_t bitRate) {
  const double ms = static_cast<double>(fileSize) / (bitRate * 0.125) * 1000.0;
  const auto minutes = static_cast<unsigned long long>(ms / 60000.0);
  const auto seconds = static_cast<unsigned>((ms - minutes * 60000.0) * 0.001);
  const auto millis = static_cast<unsigned>(ms - (seconds * 1000.0 + minutes * 60000.0));
  char text[48];
  std::snprintf(text, sizeof text, "%02llu:%02u:%03u", minutes, seconds, millis);
  return text;
}

}  // namespace vx
