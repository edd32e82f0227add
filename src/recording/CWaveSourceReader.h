// Reads the sample data of a source WAVE file for conversion: walks RIFF/WAVE to its "fmt "
// and "data" chunks (in any order), checks the format tag, then hands out the sample bytes
// from the data offset on. Failures to open are thrown as the integer codes below, which the
// conversion thread reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/riff/RiffFile.h"
#include "platform/riff/WaveFile.h"

namespace vx {

class CWaveSourceReader {
 public:
  // Codes thrown by Open.
  static constexpr int kCannotOpen = 2;
  static constexpr int kNotWave = 3;
  static constexpr int kNoFormat = 4;
  static constexpr int kShortFormat = 5;
  static constexpr int kNoData = 6;
  static constexpr int kWrongFormatTag = 7;

  // Opens path and walks it to its first sample byte; throws one of the codes above (the
  // reader is then closed). The format record's tag must be expectedTag.
  void Open(const std::string& path, std::uint16_t expectedTag);
  bool IsOpen() const { return file_.IsOpen(); }
  void Close();

  const riff::WaveFormat& Format() const { return layout_.format; }
  // The "fmt " chunk's data exactly as stored.
  const std::vector<std::uint8_t>& FormatRecord() const { return layout_.formatRecord; }
  // File offset of the first sample byte: where reading starts.
  std::uint64_t DataOffset() const { return layout_.dataOffset; }
  // The sample data size the "data" chunk states; a measure for progress only.
  std::uint32_t DataSize() const { return layout_.dataSize; }

  // Reads up to count sample bytes at the reading position and moves past them. Fewer
  // bytes (down to none) mean the end of the sample data: the end of the "data" chunk, or
  // the end of the file when the chunk claims more than the file holds.
  std::size_t Read(void* buffer, std::size_t count);
  // The reading position as a file offset; Seek accepts offsets from DataOffset on.
  std::uint64_t Position() const { return position_; }
  bool Seek(std::uint64_t position);
  // Percent of the stated data size read up to the reading position, 0 to 100 (100 for an
  // empty "data" chunk).
  int ProgressPercent() const;

 private:
  riff::RiffFile file_;
  riff::WaveLayout layout_;
  std::uint64_t dataEnd_ = 0;
  std::uint64_t position_ = 0;
};

}  // namespace vx
