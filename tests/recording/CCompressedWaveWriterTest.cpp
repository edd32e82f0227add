// The compressed writer: the file layout with its INFO tags, its failure codes, and a real
// MS ADPCM file judged by outside readers.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/riff/WaveBytes.h"
#include "recording/CCompressedWaveWriter.h"
#include "recording/CWaveSourceReader.h"
#include "recording/ToolOutput.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

using test::Bytes;
using test::Cat;
using test::Chunk;
using test::GetU32;
using test::List;

// The MS ADPCM format record a codec suggests: the fixed fields, then a 32-byte extra block
// of samples per block and the seven standard coefficient pairs.
riff::WaveFormat MsAdpcmFormat(int channels, int rate, int blockAlign) {
  riff::WaveFormat format;
  format.formatTag = riff::kFormatMsAdpcm;
  format.channels = static_cast<std::uint16_t>(channels);
  format.samplesPerSec = static_cast<std::uint32_t>(rate);
  format.blockAlign = static_cast<std::uint16_t>(blockAlign);
  format.bitsPerSample = 4;
  const int samplesPerBlock = (blockAlign - 7 * channels) * 8 / (4 * channels) + 2;
  format.avgBytesPerSec = static_cast<std::uint32_t>(rate * blockAlign / samplesPerBlock);
  test::PutU16(format.extra, static_cast<std::uint16_t>(samplesPerBlock));
  test::PutU16(format.extra, 7);
  const int coefficients[7][2] = {{256, 0}, {512, -256}, {0, 0},    {192, 64},
                                  {240, 0}, {460, -208}, {392, -232}};
  for (const auto& pair : coefficients) {
    test::PutU16(format.extra, static_cast<std::uint16_t>(pair[0]));
    test::PutU16(format.extra, static_cast<std::uint16_t>(pair[1]));
  }
  return format;
}

// One block of encoded silence: per channel predictor 0, delta 16, two zero samples (the
// header fields are grouped field by field), then zero nibbles.
Bytes SilentAdpcmBlock(int channels, int blockAlign) {
  Bytes block;
  for (int c = 0; c < channels; ++c) block.push_back(0);
  for (int c = 0; c < channels; ++c) test::PutU16(block, 16);
  block.resize(static_cast<std::size_t>(blockAlign), 0);
  return block;
}

std::string WriteSong(const std::string& name, const std::string& artist, const Bytes& record,
                      std::size_t fullSize, const Bytes& audio) {
  const std::string path = test::TestFolder() + "/Temp0000000042.Wav";
  CCompressedWaveWriter writer;
  writer.Create(path, record, fullSize);
  writer.Write(audio.data(), audio.size());
  writer.Finish(name, artist);
  EXPECT_FALSE(writer.IsOpen());
  return path;
}

int FailureCode(const std::string& path, std::size_t fullSize, const Bytes& audio = {}) {
  CCompressedWaveWriter writer;
  try {
    writer.Create(path, riff::WaveFormat::Pcm16(2, 44100).Bytes(), fullSize);
    writer.Write(audio.data(), audio.size());
    writer.Finish("Mix", "Abba");
  } catch (int code) {
    writer.Close();
    EXPECT_FALSE(writer.IsOpen());
    return code;
  }
  return 0;
}

TEST(RecordingCompressedWriterTest, WritesPaddedFormatDataAndInfoTags) {
  const Bytes record = MsAdpcmFormat(2, 44100, 2048).Bytes();
  ASSERT_EQ(record.size(), 50u);
  const Bytes audio = test::Ramp(301);  // odd: "data" gets its pad byte
  const Bytes file = test::ReadFile(WriteSong("Mixes", "Beat", record, 56, audio));

  Bytes padded = record;
  padded.resize(56, 0);
  const Bytes expected = List(
      "RIFF", "WAVE",
      Cat({Chunk("fmt ", padded), Chunk("data", audio),
           List("LIST", "INFO", Cat({Chunk("ISFT", {'V', 'e', 'l', 'u', 'm', 'i', 'x', 0}),
                                     Chunk("INAM", {'M', 'i', 'x', 'e', 's', 0}),
                                     Chunk("IART", {'B', 'e', 'a', 't', 0, 0})}))}));
  EXPECT_EQ(file, expected);
  EXPECT_EQ(GetU32(file, 16), 56u);  // the full size, not the record's own 50
  EXPECT_EQ(GetU32(file, 4), file.size() - 8);
}

TEST(RecordingCompressedWriterTest, NameChunksFollowTheTextRule) {
  const Bytes record = riff::WaveFormat::Pcm16(1, 22050).Bytes();
  struct Case {
    const char* name;
    std::uint32_t size;
  };
  for (const Case& c : {Case{"Mix", 4}, Case{"Mixes", 6}, Case{"Beat", 6}}) {
    SCOPED_TRACE(c.name);
    const Bytes file = test::ReadFile(WriteSong(c.name, "", record, 18, {}));
    const std::size_t inam = 12 + 26 + 8 + 12 + 16;  // RIFF, fmt, data, LIST, ISFT
    ASSERT_EQ(test::Text(file, inam, 4), "INAM");
    EXPECT_EQ(GetU32(file, inam + 4), c.size);
    EXPECT_EQ(file[inam + 8 + c.size - 1], 0);
  }
}

TEST(RecordingCompressedWriterTest, EachFailingStepThrowsItsCode) {
  EXPECT_EQ(FailureCode(test::TestFolder() + "/missing/Temp.Wav", 18), 13);
  EXPECT_FALSE(std::filesystem::exists(test::TestFolder() + "/missing"));
  // On a full disk nothing reaches the device until the stdio buffer is full (or a size is
  // patched): a format record of the right size makes each chunk in turn the one that
  // overflows the buffer.
  const std::size_t buffer = riff::RiffFile::kBufferSize;
  EXPECT_EQ(FailureCode("/dev/full", buffer * 2), 14);        // "fmt " itself
  EXPECT_EQ(FailureCode("/dev/full", buffer - 28), 17);       // then "LIST"
  EXPECT_EQ(FailureCode("/dev/full", buffer - 28 - 12), 18);  // then "ISFT"
  EXPECT_EQ(FailureCode("/dev/full", buffer - 28 - 28), 19);  // then "INAM"
  EXPECT_EQ(FailureCode("/dev/full", buffer - 28 - 40), 20);  // then "IART"
  // Encoded audio lost, or the final sizes unwritable: the file must not pass as finished.
  EXPECT_EQ(FailureCode("/dev/full", 18, Bytes(buffer * 2, 0)), 21);
  EXPECT_EQ(FailureCode("/dev/full", 18), 21);
}

TEST(RecordingCompressedWriterTest, OutsideReadersAcceptAnAdpcmSongWithItsTags) {
  const riff::WaveFormat format = MsAdpcmFormat(2, 44100, 2048);
  EXPECT_EQ(format.extra.size(), 32u);
  EXPECT_EQ(format.extra[0] | format.extra[1] << 8, 2036);
  Bytes audio;
  for (int block = 0; block < 22; ++block) {  // about one second
    const Bytes silence = SilentAdpcmBlock(2, 2048);
    audio.insert(audio.end(), silence.begin(), silence.end());
  }
  const std::string path = WriteSong("Endless Mix", "Abba", format.Bytes(), 50, audio);

  const std::string probe = test::FfprobeInfo(path);
  EXPECT_NE(probe.find("codec_name=adpcm_ms"), std::string::npos) << probe;
  EXPECT_NE(probe.find("sample_rate=44100"), std::string::npos) << probe;
  EXPECT_NE(probe.find("channels=2"), std::string::npos) << probe;
  EXPECT_NE(probe.find("TAG:title=Endless Mix"), std::string::npos) << probe;
  EXPECT_NE(probe.find("TAG:artist=Abba"), std::string::npos) << probe;
  EXPECT_NE(probe.find("TAG:encoder=Velumix"), std::string::npos) << probe;
  EXPECT_EQ(probe.find("rror"), std::string::npos) << probe;
  const std::string sox = test::SoxInfo(path);
  EXPECT_NE(sox.find("MS ADPCM"), std::string::npos) << sox;
  EXPECT_NE(sox.find("Channels       : 2"), std::string::npos) << sox;
  EXPECT_NE(sox.find("= 44792 samples"), std::string::npos) << sox;  // 22 blocks of 2036

  // Our own reader finds the encoded audio and stops before the tags.
  CWaveSourceReader reader;
  reader.Open(path, riff::kFormatMsAdpcm);
  EXPECT_EQ(reader.Format(), format);
  Bytes all(audio.size() + 100);
  EXPECT_EQ(reader.Read(all.data(), all.size()), audio.size());
}

}  // namespace
}  // namespace vx
