// WAVE files on the RIFF layer: the format record, walking a file down to its format and
// sample data, and writing a file (format record, then sample data appended as it comes).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/riff/RiffFile.h"

namespace vx::riff {

inline constexpr FourCC kFmt = MakeFourCC("fmt ");
inline constexpr FourCC kData = MakeFourCC("data");
inline constexpr FourCC kInfo = MakeFourCC("INFO");

inline constexpr std::uint16_t kFormatPcm = 1;
inline constexpr std::uint16_t kFormatMsAdpcm = 2;
inline constexpr std::uint16_t kFormatImaAdpcm = 0x11;
inline constexpr std::uint16_t kFormatMpegLayer3 = 0x55;

// The format record: 16 bytes of fixed fields, the 16-bit extra-size field and the extra
// bytes (a codec's own parameters).
struct WaveFormat {
  std::uint16_t formatTag = kFormatPcm;
  std::uint16_t channels = 2;
  std::uint32_t samplesPerSec = 44100;
  std::uint32_t avgBytesPerSec = 176400;
  std::uint16_t blockAlign = 4;
  std::uint16_t bitsPerSample = 16;
  std::vector<std::uint8_t> extra;

  // 16-bit PCM with the derived rate and alignment fields.
  static WaveFormat Pcm16(int channels, int samplesPerSec);
  // The record as stored: 18 bytes (the extra-size field is always written) + extra.
  std::vector<std::uint8_t> Bytes() const;
  // Reads a stored record; a 16-byte record has no extra-size field. False when shorter
  // than 16 bytes or when the extra size runs past the record.
  static bool FromBytes(const std::uint8_t* bytes, std::size_t size, WaveFormat& format);

  bool operator==(const WaveFormat&) const = default;
};

// What walking a WAVE file found.
struct WaveLayout {
  WaveFormat format;
  std::vector<std::uint8_t> formatRecord;  // the "fmt " chunk's data as stored
  std::uint64_t dataOffset = 0;            // first byte of the sample data
  std::uint32_t dataSize = 0;              // as the "data" chunk states it
  std::uint64_t fileSize = 0;

  // The sample bytes really present: the stated size, cut at the end of the file.
  std::uint64_t AvailableDataBytes() const;
};

// Failures of walking a file, numbered as the programs report them.
enum class WaveError {
  kNone = 0,
  kOpen = 2,         // cannot open the file
  kNotWave = 3,      // no RIFF chunk of form WAVE
  kNoFormat = 4,     // no "fmt " chunk inside it
  kShortFormat = 5,  // the format record is shorter than stated or unusable
  kNoData = 6,       // no "data" chunk inside it
};

// Descends into RIFF/WAVE, finds "fmt " and "data" inside it in any order, and leaves the
// file positioned at the first sample byte.
WaveError ReadWaveLayout(RiffFile& file, WaveLayout& layout);
// The same on a file by path; the file is closed again.
WaveError ReadWaveLayout(const std::string& path, WaveLayout& layout);
// The same on bytes in memory (the whole file or its beginning).
WaveError ParseWaveBytes(const std::uint8_t* bytes, std::size_t size, WaveLayout& layout);

// A text chunk of a LIST/INFO: the text and its terminating zero, plus one more zero when
// the text's length is even, so that the chunk size is even and the text ends in zero.
bool WriteTextChunk(RiffFile& file, FourCC id, const std::string& text);

// Writes a WAVE file: RIFF/WAVE, "fmt " with the given record, then "data" whose bytes are
// appended as they come. Close patches every size.
class WaveFileWriter {
 public:
  // The most sample bytes a file takes: the 32-bit RIFF size must still hold the headers and
  // a trailing LIST chunk. A multiple of every power-of-two block alignment.
  static constexpr std::uint64_t kMaxDataBytes = 0xffff0000u;

  explicit WaveFileWriter(std::uint64_t maxDataBytes = kMaxDataBytes)
      : maxDataBytes_(maxDataBytes < kMaxDataBytes ? maxDataBytes : kMaxDataBytes) {}
  ~WaveFileWriter();
  WaveFileWriter(const WaveFileWriter&) = delete;
  WaveFileWriter& operator=(const WaveFileWriter&) = delete;

  // Creates or truncates the file and writes everything up to the start of the sample
  // data. False when the file cannot be opened (nothing else is done) or its headers cannot
  // be written (the file is closed again); the writer is then closed.
  bool Create(const std::string& path, const std::vector<std::uint8_t>& formatRecord) {
    return Open(path) && WriteHeaders(formatRecord);
  }
  bool Create(const std::string& path, const WaveFormat& format) {
    return Create(path, format.Bytes());
  }
  // The two steps of Create, for callers that report them apart: create or truncate the
  // file; then write RIFF/WAVE, "fmt " and the "data" header (on failure the file is closed).
  bool Open(const std::string& path);
  bool WriteHeaders(const std::vector<std::uint8_t>& formatRecord);
  bool IsOpen() const { return file_.IsOpen(); }
  // Appends sample bytes; the bytes actually written count toward DataBytes. Bytes beyond
  // the data limit are not written. False when not all bytes were written.
  bool Append(const void* bytes, std::size_t count);
  std::uint64_t DataBytes() const { return dataBytes_; }
  // Ends the "data" chunk (patching its size); further chunks may then follow inside RIFF.
  bool EndData();
  RiffFile& File() { return file_; }
  // Ends "data" if still open, then RIFF, and closes the file.
  bool Close();

 private:
  RiffFile file_;
  Chunk riff_;
  Chunk data_;
  bool riffOpen_ = false;
  bool dataOpen_ = false;
  std::uint64_t dataBytes_ = 0;
  std::uint64_t maxDataBytes_;
};

}  // namespace vx::riff
