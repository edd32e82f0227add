// WAVE files on the RIFF layer: the format record, walking damaged files to their sample
// data, the text-chunk rule and the file writer.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/riff/WaveBytes.h"
#include "platform/riff/WaveFile.h"
#include "support/TestFolder.h"

namespace vx::riff {
namespace {

using test::Bytes;
using test::Cat;
using test::Chunk;
using test::ChunkStating;
using test::GetU32;
using test::List;
using test::PcmFormat;

WaveError Parse(const Bytes& bytes, WaveLayout& layout) {
  // An exact-size heap copy, so that reading one byte too far is caught by the sanitizer.
  const auto copy = std::make_unique<std::uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return ParseWaveBytes(copy.get(), bytes.size(), layout);
}

WaveError Parse(const Bytes& bytes) {
  WaveLayout layout;
  return Parse(bytes, layout);
}

Bytes Wave(const Bytes& body) { return List("RIFF", "WAVE", body); }

TEST(WaveFormatTest, RecordRoundTripAndDamagedRecords) {
  const WaveFormat pcm = WaveFormat::Pcm16(1, 22050);
  EXPECT_EQ(pcm.avgBytesPerSec, 44100u);
  EXPECT_EQ(pcm.blockAlign, 2);
  const Bytes bytes = pcm.Bytes();
  ASSERT_EQ(bytes.size(), 18u);  // the extra-size field is written even when zero
  EXPECT_EQ(bytes[16], 0);
  EXPECT_EQ(bytes[17], 0);
  WaveFormat read;
  ASSERT_TRUE(WaveFormat::FromBytes(bytes.data(), bytes.size(), read));
  EXPECT_EQ(read, pcm);

  WaveFormat adpcm = WaveFormat::Pcm16(2, 44100);
  adpcm.formatTag = kFormatMsAdpcm;
  adpcm.extra = {1, 2, 3, 4};
  const Bytes withExtra = adpcm.Bytes();
  ASSERT_EQ(withExtra.size(), 22u);
  ASSERT_TRUE(WaveFormat::FromBytes(withExtra.data(), withExtra.size(), read));
  EXPECT_EQ(read, adpcm);

  // The old 16-byte record has no extra-size field.
  ASSERT_TRUE(WaveFormat::FromBytes(bytes.data(), 16, read));
  EXPECT_TRUE(read.extra.empty());
  // Too short, or an extra size running past the record.
  EXPECT_FALSE(WaveFormat::FromBytes(bytes.data(), 15, read));
  EXPECT_FALSE(WaveFormat::FromBytes(withExtra.data(), 21, read));
  EXPECT_FALSE(WaveFormat::FromBytes(nullptr, 18, read));
}

TEST(WaveParseTest, FindsFormatAndDataInAnyOrder) {
  const Bytes samples = test::Ramp(10);
  const Bytes fmt = Chunk("fmt ", PcmFormat(2, 44100));
  const Bytes list = List("LIST", "INFO", Chunk("INAM", {'M', 'i', 'x', 0}));
  for (const Bytes& body : {Cat({fmt, Chunk("data", samples)}),
                            Cat({list, fmt, Chunk("data", samples)}),
                            Cat({Chunk("data", samples), list, fmt})}) {
    const Bytes file = Wave(body);
    WaveLayout layout;
    ASSERT_EQ(Parse(file, layout), WaveError::kNone);
    EXPECT_EQ(layout.format, WaveFormat::Pcm16(2, 44100));
    EXPECT_EQ(layout.formatRecord, PcmFormat(2, 44100));
    EXPECT_EQ(layout.dataSize, 10u);
    EXPECT_EQ(layout.AvailableDataBytes(), 10u);
    EXPECT_EQ(Bytes(file.begin() + static_cast<long>(layout.dataOffset),
                    file.begin() + static_cast<long>(layout.dataOffset) + 10),
              samples);
  }
}

TEST(WaveParseTest, EveryTruncationOfAValidFileFailsWithItsOwnCode) {
  const Bytes file = test::PcmWave(test::Ramp(20));  // header 46 bytes, then 20 samples
  for (std::size_t size = 0; size <= file.size(); ++size) {
    SCOPED_TRACE(size);
    WaveLayout layout;
    const WaveError error = Parse(Bytes(file.begin(), file.begin() + static_cast<long>(size)), layout);
    if (size < 12) {
      EXPECT_EQ(error, WaveError::kNotWave);
    } else if (size < 20) {
      EXPECT_EQ(error, WaveError::kNoFormat);
    } else if (size < 38) {
      EXPECT_EQ(error, WaveError::kShortFormat);
    } else if (size < 46) {
      EXPECT_EQ(error, WaveError::kNoData);
    } else {
      ASSERT_EQ(error, WaveError::kNone);
      EXPECT_EQ(layout.dataOffset, 46u);
      EXPECT_EQ(layout.AvailableDataBytes(), size - 46);
    }
  }
}

TEST(WaveParseTest, DamagedFilesAreRefusedWithTheRightCode) {
  const Bytes fmt = Chunk("fmt ", PcmFormat(1, 22050));
  const Bytes data = Chunk("data", {1, 2, 3, 4});
  // Not a WAVE: empty, another form, another id, a RIFF too small for its form.
  EXPECT_EQ(Parse({}), WaveError::kNotWave);
  EXPECT_EQ(Parse(List("RIFF", "AVI ", Cat({fmt, data}))), WaveError::kNotWave);
  EXPECT_EQ(Parse(List("RIFX", "WAVE", Cat({fmt, data}))), WaveError::kNotWave);
  EXPECT_EQ(Parse(ChunkStating("RIFF", 2, {'W', 'A', 'V', 'E'})), WaveError::kNotWave);
  // No "fmt " at the top of RIFF (one inside a nested LIST does not count).
  EXPECT_EQ(Parse(Wave(data)), WaveError::kNoFormat);
  EXPECT_EQ(Parse(Wave(Cat({List("LIST", "INFO", fmt), data}))), WaveError::kNoFormat);
  // "fmt " shorter than stated, too short for a record, absurdly large, bad extra size.
  const Bytes record = PcmFormat(1, 22050);
  EXPECT_EQ(Parse(Wave(ChunkStating("fmt ", 18, Bytes(record.begin(), record.begin() + 10)))),
            WaveError::kShortFormat);
  EXPECT_EQ(Parse(Wave(Cat({Chunk("fmt ", Bytes(14, 1)), data}))), WaveError::kShortFormat);
  EXPECT_EQ(Parse(Wave(Cat({ChunkStating("fmt ", 0xfffffff0u, PcmFormat(1, 22050)), data}))),
            WaveError::kShortFormat);
  EXPECT_EQ(Parse(Wave(Cat({Chunk("fmt ", {}), data}))), WaveError::kShortFormat);
  Bytes badExtra = record;
  badExtra[16] = 200;
  EXPECT_EQ(Parse(Wave(Cat({Chunk("fmt ", badExtra), data}))), WaveError::kShortFormat);
  // No "data", or a "data" that lies past the end RIFF states.
  EXPECT_EQ(Parse(Wave(fmt)), WaveError::kNoData);
  Bytes riffTooSmall = Wave(Cat({fmt, data}));
  riffTooSmall[4] = 4 + 26;  // RIFF ends right after "fmt "
  EXPECT_EQ(Parse(riffTooSmall), WaveError::kNoData);
}

TEST(WaveParseTest, LyingSizesAndOddChunksStayInsideTheBuffer) {
  const Bytes fmt = Chunk("fmt ", PcmFormat(1, 22050));
  WaveLayout layout;
  // A "data" claiming 4 GiB offers only what is there; a zero size offers nothing.
  ASSERT_EQ(Parse(Wave(Cat({fmt, ChunkStating("data", 0xffffffffu, {1, 2, 3, 4})})), layout),
            WaveError::kNone);
  EXPECT_EQ(layout.dataSize, 0xffffffffu);
  EXPECT_EQ(layout.AvailableDataBytes(), 4u);
  ASSERT_EQ(Parse(Wave(Cat({fmt, ChunkStating("data", 0, {1, 2, 3})})), layout),
            WaveError::kNone);
  EXPECT_EQ(layout.AvailableDataBytes(), 0u);
  // A RIFF claiming more than the file holds is read as far as it goes.
  Bytes riffTooBig = Wave(Cat({fmt, Chunk("data", {1, 2})}));
  riffTooBig[7] = 0x7f;
  ASSERT_EQ(Parse(riffTooBig, layout), WaveError::kNone);
  EXPECT_EQ(layout.AvailableDataBytes(), 2u);
  // An odd chunk with its pad byte is skipped correctly...
  const Bytes odd = Chunk("junk", {1, 2, 3}, true);
  ASSERT_EQ(Parse(Wave(Cat({odd, fmt, Chunk("data", {9})})), layout), WaveError::kNone);
  EXPECT_EQ(layout.dataOffset, 12u + 12 + 26 + 8);
  // ...without it the following chunk is out of step and not found, but nothing breaks.
  EXPECT_EQ(Parse(Wave(Cat({Chunk("junk", {1, 2, 3}, false), fmt, Chunk("data", {9})}))),
            WaveError::kNoFormat);
  // An odd-sized last "data" without its pad byte is still whole.
  ASSERT_EQ(Parse(Wave(Cat({fmt, Chunk("data", {1, 2, 3}, false)})), layout), WaveError::kNone);
  EXPECT_EQ(layout.AvailableDataBytes(), 3u);
  // Deeply nested lists are skipped as single chunks.
  Bytes nested = Chunk("deep", {1});
  for (int depth = 0; depth < 50; ++depth) nested = List("LIST", "NEST", nested);
  ASSERT_EQ(Parse(Wave(Cat({nested, fmt, Chunk("data", {5, 6})})), layout), WaveError::kNone);
  EXPECT_EQ(layout.AvailableDataBytes(), 2u);
}

TEST(WaveFileWriterTest, TextChunksAreEvenAndZeroTerminated) {
  const std::string path = test::TestFolder() + "/text.riff";
  struct Case {
    std::string text;
    std::uint32_t size;
  };
  const Case cases[] = {{"Velumix", 8}, {"Abba", 6}, {"Mix", 4}, {"Mixes", 6}, {"Beat", 6}, {"", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    {
      RiffFile file;
      ASSERT_TRUE(file.Open(path, RiffFile::Mode::Write));
      ASSERT_TRUE(WriteTextChunk(file, MakeFourCC("INAM"), c.text));
      ASSERT_TRUE(file.Close());
    }
    const Bytes bytes = test::ReadFile(path);
    ASSERT_EQ(bytes.size(), 8u + c.size);  // even: no pad byte
    EXPECT_EQ(GetU32(bytes, 4), c.size);
    EXPECT_EQ(test::Text(bytes, 8, c.text.size()), c.text);
    for (std::size_t i = 8 + c.text.size(); i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0);
  }
}

TEST(WaveFileWriterTest, WritesAWaveFileThatReadsBack) {
  const std::string path = test::TestFolder() + "/out.wav";
  const Bytes samples = test::Ramp(1001);  // odd: the data chunk gets a pad byte
  WaveFileWriter writer;
  ASSERT_TRUE(writer.Create(path, WaveFormat::Pcm16(2, 44100)));
  ASSERT_TRUE(writer.Append(samples.data(), 500));
  ASSERT_TRUE(writer.Append(samples.data() + 500, 501));
  EXPECT_EQ(writer.DataBytes(), 1001u);
  ASSERT_TRUE(writer.EndData());
  EXPECT_FALSE(writer.Append(samples.data(), 1));  // "data" is finished
  ASSERT_TRUE(WriteTextChunk(writer.File(), MakeFourCC("tail"), "x"));
  ASSERT_TRUE(writer.Close());
  EXPECT_TRUE(writer.Close());  // closing twice is harmless
  EXPECT_FALSE(writer.IsOpen());

  const Bytes expected = Wave(Cat({Chunk("fmt ", PcmFormat(2, 44100)), Chunk("data", samples),
                                   Chunk("tail", {'x', 0})}));
  EXPECT_EQ(test::ReadFile(path), expected);
}

TEST(WaveFileWriterTest, FailuresLeaveTheWriterClosed) {
  WaveFileWriter writer;
  const std::string missing = test::TestFolder() + "/no/such/folder.wav";
  EXPECT_FALSE(writer.Create(missing, WaveFormat::Pcm16(2, 44100)));
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_FALSE(writer.Append("ab", 2));
  EXPECT_TRUE(writer.Close());
  EXPECT_FALSE(std::filesystem::exists(missing));

  // A record larger than the stdio buffer reaches the full disk at once: the headers cannot
  // be written and the half-made file is not kept open.
  EXPECT_FALSE(writer.Create("/dev/full", Bytes(RiffFile::kBufferSize * 2, 0)));
  EXPECT_FALSE(writer.IsOpen());

  // Sample data that never reaches the disk makes Close fail.
  ASSERT_TRUE(writer.Create("/dev/full", WaveFormat::Pcm16(2, 44100)));
  const Bytes block(RiffFile::kBufferSize * 2, 0);
  EXPECT_FALSE(writer.Append(block.data(), block.size()));
  EXPECT_LT(writer.DataBytes(), block.size());
  EXPECT_FALSE(writer.Close());
}

TEST(WaveFileWriterTest, DataBeyondTheLimitIsNotWritten) {
  // The real limit keeps the 32-bit RIFF size valid near 4 GiB; a small one shows the rule.
  const std::string path = test::TestFolder() + "/limit.wav";
  WaveFileWriter writer(10);
  ASSERT_TRUE(writer.Create(path, WaveFormat::Pcm16(1, 22050)));
  const Bytes samples = test::Ramp(16);
  EXPECT_TRUE(writer.Append(samples.data(), 8));
  EXPECT_FALSE(writer.Append(samples.data() + 8, 8));
  EXPECT_EQ(writer.DataBytes(), 10u);
  EXPECT_FALSE(writer.Append(samples.data(), 1));
  ASSERT_TRUE(writer.Close());
  WaveLayout layout;
  ASSERT_EQ(ReadWaveLayout(path, layout), WaveError::kNone);
  EXPECT_EQ(layout.dataSize, 10u);
  EXPECT_EQ(layout.fileSize, 46u + 10);
  static_assert(WaveFileWriter::kMaxDataBytes + 0x10000 - 1 <= 0xffffffffu);
}

}  // namespace
}  // namespace vx::riff
