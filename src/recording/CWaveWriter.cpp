#include "recording/CWaveWriter.h"

namespace vx {

bool CWaveWriter::Create(const std::string& path, const riff::WaveFormat& format) {
  return writer_.Create(path, format);
}

std::size_t CWaveWriter::Append(const void* bytes, std::size_t count) {
  const std::uint64_t before = writer_.DataBytes();
  writer_.Append(bytes, count);
  return static_cast<std::size_t>(writer_.DataBytes() - before);
}

bool CWaveWriter::Close() {
  // A writer that never opened, or whose headers could not be written, has no take to finish.
  if (!writer_.IsOpen()) return false;
  return writer_.Close();
}

}  // namespace vx
