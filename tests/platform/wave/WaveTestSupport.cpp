#include "platform/wave/WaveTestSupport.h"

#include <gtest/gtest.h>

#include "platform/riff/RiffFile.h"

namespace vx::wave::test {

std::optional<TapeContents> ReadTape(const std::string& path) {
  riff::RiffFile file;
  riff::WaveLayout layout;
  if (!file.Open(path, riff::RiffFile::Mode::Read) ||
      riff::ReadWaveLayout(file, layout) != riff::WaveError::kNone ||
      layout.AvailableDataBytes() != layout.dataSize) {
    return std::nullopt;
  }
  // The RIFF size must cover the file exactly (with the data's pad byte).
  riff::Chunk riffChunk;
  if (!file.Seek(0) || !file.Descend(riffChunk, nullptr, riff::kRiff, riff::kWave) ||
      riffChunk.End() != layout.fileSize) {
    return std::nullopt;
  }
  TapeContents tape{layout.format, std::vector<std::uint8_t>(layout.dataSize)};
  if (!file.Seek(layout.dataOffset) ||
      file.Read(tape.samples.data(), tape.samples.size()) != tape.samples.size()) {
    return std::nullopt;
  }
  return tape;
}

void WriteWaveFile(const std::string& path, const riff::WaveFormat& format,
                   const std::vector<std::uint8_t>& samples) {
  riff::WaveFileWriter writer;
  ASSERT_TRUE(writer.Create(path, format));
  ASSERT_TRUE(writer.Append(samples.data(), samples.size()));
  ASSERT_TRUE(writer.Close());
}

}  // namespace vx::wave::test
