// Judges an MP3 file for import without decoding it: skips an ID3v2 tag, reads the first frame
// header that must follow at once, checks its layer, bit rate and sample rate, and reads the
// ID3v1 tag at the end. Every offset and length taken from the file is bounded by the
// file's real size. The bytes come through ByteSource, so a file and a buffer in memory are
// judged by the same code (ProbeMp3Bytes is the entry point for fuzzing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "import/Id3Tags.h"

namespace vx {

// Random reads of the bytes being judged.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads exactly count bytes at offset; false when they are not all there.
  virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) = 0;
};

// A ByteSource over bytes in memory.
class MemoryByteSource : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override;

 private:
  std::span<const std::uint8_t> bytes_;
};

enum class Mp3Verdict {
  kAccepted,
  kNoFrameSync,    // no frame header where the audio must start, or no whole first frame
  kNotLayer3,      // an MPEG audio layer other than III
  kInvalidHeader,  // bit-rate index 15 or sample-rate index 3
  kLowQuality,     // below 64000 bit/s (free format included) or below 22050 Hz
};

// What the first frame header says, as far as the checks got.
struct Mp3Probe {
  Mp3Verdict verdict = Mp3Verdict::kNoFrameSync;
  // Read once a frame sync was found, whatever the later checks say.
  std::optional<Id3v1Tag> tag;
  std::uint64_t fileSize = 0;
  std::uint64_t audioStart = 0;  // just after an ID3v2 tag, else 0
  bool mpeg1 = false;            // else MPEG-2
  std::uint32_t bitRate = 0;     // bit/s
  std::uint32_t sampleRate = 0;  // Hz
  std::uint16_t channels = 0;
  bool padding = false;
};

Mp3Probe ProbeMp3(ByteSource& source);
Mp3Probe ProbeMp3Bytes(std::span<const std::uint8_t> bytes);

// The playing length "mm:ss:mmm" of fileSize bytes at a constant bit rate (not 0).
std::string Mp3LengthText(std::uint64_t fileSize, std::uint32_t bitRate);

}  // namespace vx
