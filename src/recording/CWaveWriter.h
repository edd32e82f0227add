// The capture writer: a 16-bit PCM WAVE file written while a recording runs. The file is
// RIFF/WAVE, an 18-byte "fmt " record and a "data" chunk that grows with every Append; Close
// patches the chunk sizes. The running total of appended bytes is the recording's length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/riff/WaveFile.h"

namespace vx {

class CWaveWriter {
 public:
  // Creates or truncates path and writes the headers, leaving the file at the first sample
  // byte. When the file cannot be created the writer stays closed; the caller's device
  // side reports the failure, so nothing is shown here.
  bool Create(const std::string& path, const riff::WaveFormat& format);
  bool IsOpen() const { return writer_.IsOpen(); }
  // Writes sample bytes; answers the number actually written, which BytesWritten adds up.
  std::size_t Append(const void* bytes, std::size_t count);
  std::uint64_t BytesWritten() const { return writer_.DataBytes(); }
  // Patches the "data" and "RIFF" sizes and closes the file; false when the file could not
  // be completed (disk full) or was never open. BytesWritten keeps its value.
  bool Close();

 private:
  riff::WaveFileWriter writer_;
};

}  // namespace vx
