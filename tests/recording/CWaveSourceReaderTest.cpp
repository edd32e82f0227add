// The conversion source reader: its refusal codes, and which bytes it hands out as samples.
#include <gtest/gtest.h>

#include "platform/riff/WaveBytes.h"
#include "recording/CWaveSourceReader.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

using test::Bytes;
using test::Cat;
using test::Chunk;
using test::ChunkStating;
using test::List;
using test::PcmFormat;

std::string Write(const Bytes& bytes, const std::string& name = "source.wav") {
  const std::string path = test::TestFolder() + "/" + name;
  test::WriteFile(path, bytes);
  return path;
}

int OpenCode(const std::string& path, std::uint16_t tag = riff::kFormatPcm) {
  CWaveSourceReader reader;
  try {
    reader.Open(path, tag);
  } catch (int code) {
    EXPECT_FALSE(reader.IsOpen());
    return code;
  }
  return 0;
}

Bytes ReadAll(CWaveSourceReader& reader, std::size_t block) {
  Bytes out;
  Bytes buffer(block);
  for (;;) {
    const std::size_t read = reader.Read(buffer.data(), block);
    out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<long>(read));
    if (read < block) return out;
  }
}

TEST(RecordingSourceReaderTest, RefusesEachBadSourceWithItsCode) {
  const Bytes fmt = Chunk("fmt ", PcmFormat(2, 44100));
  const Bytes data = Chunk("data", test::Ramp(8));
  EXPECT_EQ(OpenCode(test::TestFolder() + "/missing.wav"), 2);
  EXPECT_EQ(OpenCode(test::TestFolder()), 2);  // a folder is no file
  EXPECT_EQ(OpenCode(Write({})), 3);
  EXPECT_EQ(OpenCode(Write(List("RIFF", "AVI ", Cat({fmt, data})))), 3);
  EXPECT_EQ(OpenCode(Write(List("RIFF", "WAVE", data))), 4);
  EXPECT_EQ(OpenCode(Write(List("RIFF", "WAVE", ChunkStating("fmt ", 18, Bytes(9, 1))))), 5);
  EXPECT_EQ(OpenCode(Write(List("RIFF", "WAVE", fmt))), 6);
  EXPECT_EQ(OpenCode(Write(test::PcmWave(test::Ramp(8)))), 0);
  // A compressed source where PCM is expected, and the other way round.
  Bytes adpcm = PcmFormat(2, 44100);
  adpcm[0] = riff::kFormatMsAdpcm;
  const std::string adpcmFile = Write(List("RIFF", "WAVE", Cat({Chunk("fmt ", adpcm), data})));
  EXPECT_EQ(OpenCode(adpcmFile), 7);
  EXPECT_EQ(OpenCode(adpcmFile, riff::kFormatMsAdpcm), 0);
  EXPECT_EQ(OpenCode(Write(test::PcmWave(test::Ramp(8))), riff::kFormatMsAdpcm), 7);
}

TEST(RecordingSourceReaderTest, ReadsTheSampleDataWhereverTheChunksStand) {
  const Bytes samples = test::Ramp(1000);
  const Bytes tags = List("LIST", "INFO", Chunk("INAM", {'M', 'i', 'x', 0}));
  // LIST before "fmt ", and a LIST after "data" whose bytes are no samples.
  const std::string path = Write(List(
      "RIFF", "WAVE", Cat({tags, Chunk("fmt ", PcmFormat(1, 22050)), Chunk("data", samples), tags})));
  CWaveSourceReader reader;
  reader.Open(path, riff::kFormatPcm);
  EXPECT_EQ(reader.Format(), riff::WaveFormat::Pcm16(1, 22050));
  EXPECT_EQ(reader.FormatRecord(), PcmFormat(1, 22050));
  EXPECT_EQ(reader.DataOffset(), 12u + tags.size() + 26 + 8);
  EXPECT_EQ(reader.DataSize(), 1000u);
  EXPECT_EQ(reader.Position(), reader.DataOffset());
  EXPECT_EQ(reader.ProgressPercent(), 0);
  EXPECT_EQ(ReadAll(reader, 300), samples);  // 300, 300, 300, then 100: the end
  EXPECT_EQ(reader.ProgressPercent(), 100);
  EXPECT_EQ(reader.Read(Bytes(10).data(), 10), 0u);

  // Unconsumed bytes are read again after seeking back to the reading position.
  ASSERT_TRUE(reader.Seek(reader.DataOffset() + 250));
  EXPECT_EQ(reader.ProgressPercent(), 25);
  Bytes buffer(4);
  ASSERT_EQ(reader.Read(buffer.data(), 4), 4u);
  EXPECT_EQ(buffer, Bytes(samples.begin() + 250, samples.begin() + 254));
  EXPECT_FALSE(reader.Seek(reader.DataOffset() - 1));  // before the samples
  reader.Close();
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.Read(buffer.data(), 4), 0u);
}

TEST(RecordingSourceReaderTest, LyingDataSizesEndAtTheFileOrTheChunk) {
  const Bytes fmt = Chunk("fmt ", PcmFormat(2, 44100));
  const Bytes samples = test::Ramp(64);
  CWaveSourceReader reader;
  // "data" claiming 4 GiB: the samples end with the file.
  reader.Open(Write(List("RIFF", "WAVE", Cat({fmt, ChunkStating("data", 0xffffffffu, samples)}))),
              riff::kFormatPcm);
  EXPECT_EQ(ReadAll(reader, 48), samples);
  EXPECT_EQ(reader.ProgressPercent(), 0);  // 64 bytes of a claimed 4 GiB
  // An empty "data" chunk: nothing to read, and progress is complete rather than a division
  // by zero.
  reader.Open(Write(List("RIFF", "WAVE", Cat({fmt, Chunk("data", {})}))), riff::kFormatPcm);
  EXPECT_EQ(ReadAll(reader, 16), Bytes{});
  EXPECT_EQ(reader.ProgressPercent(), 100);
  // A truncated file: what there is, then the end.
  const Bytes whole = test::PcmWave(samples);
  reader.Open(Write(Bytes(whole.begin(), whole.end() - 10)), riff::kFormatPcm);
  EXPECT_EQ(reader.DataSize(), 64u);
  EXPECT_EQ(ReadAll(reader, 1000), Bytes(samples.begin(), samples.end() - 10));
}

}  // namespace
}  // namespace vx
