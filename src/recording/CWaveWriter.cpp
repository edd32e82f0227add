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

bool CWaveWriter::Close() { return writer_.Close(); }

}  // namespace vx
