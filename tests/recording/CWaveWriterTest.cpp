// The capture writer: the exact bytes of a recording, failures, and outside readers.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/riff/WaveBytes.h"
#include "recording/CWaveWriter.h"
#include "recording/ToolOutput.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

using test::Bytes;
using test::GetU32;

// One second of 22050 Hz mono, appended as ten 100 ms capture buffers.
std::string RecordOneSecondMono(const Bytes& samples) {
  const std::string path = test::TestFolder() + "/VXR1.tmp";
  CWaveWriter writer;
  EXPECT_TRUE(writer.Create(path, riff::WaveFormat::Pcm16(1, 22050)));
  for (std::size_t at = 0; at < samples.size(); at += 4410) {
    EXPECT_EQ(writer.Append(samples.data() + at, 4410), 4410u);
  }
  EXPECT_EQ(writer.BytesWritten(), 44100u);
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(writer.BytesWritten(), 44100u);  // the length is read after closing
  return path;
}

Bytes Sine(std::size_t bytes) {
  Bytes out;
  for (std::size_t i = 0; i < bytes / 2; ++i) {
    test::PutU16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>((i % 50) * 600 - 15000)));
  }
  return out;
}

TEST(RecordingWaveWriterTest, OneSecondMonoRecordingHasTheExactLayout) {
  const Bytes samples = Sine(44100);
  const Bytes file = test::ReadFile(RecordOneSecondMono(samples));
  ASSERT_EQ(file.size(), 46u + 44100);
  EXPECT_EQ(test::Text(file, 0, 4), "RIFF");
  EXPECT_EQ(GetU32(file, 4), 38u + 44100);
  EXPECT_EQ(test::Text(file, 8, 8), "WAVEfmt ");
  EXPECT_EQ(GetU32(file, 16), 18u);
  const Bytes record(file.begin() + 20, file.begin() + 38);
  const Bytes expected = {1, 0,  1, 0,  0x22, 0x56, 0, 0,  0x44, 0xac, 0, 0,
                          2, 0,  16, 0,  0, 0};  // PCM, mono, 22050, 44100, 2, 16, extra 0
  EXPECT_EQ(record, expected);
  EXPECT_EQ(test::Text(file, 38, 4), "data");
  EXPECT_EQ(GetU32(file, 42), 44100u);
  EXPECT_EQ(Bytes(file.begin() + 46, file.end()), samples);
}

TEST(RecordingWaveWriterTest, OutsideReadersAgreeOnTheRecording) {
  const std::string path = RecordOneSecondMono(Sine(44100));
  const std::string sox = test::SoxInfo(path);
  EXPECT_NE(sox.find("Channels       : 1"), std::string::npos) << sox;
  EXPECT_NE(sox.find("Sample Rate    : 22050"), std::string::npos) << sox;
  EXPECT_NE(sox.find("Precision      : 16-bit"), std::string::npos) << sox;
  EXPECT_NE(sox.find("= 22050 samples"), std::string::npos) << sox;
  const std::string probe = test::FfprobeInfo(path);
  EXPECT_NE(probe.find("codec_name=pcm_s16le"), std::string::npos) << probe;
  EXPECT_NE(probe.find("sample_rate=22050"), std::string::npos) << probe;
  EXPECT_NE(probe.find("channels=1"), std::string::npos) << probe;
  EXPECT_NE(probe.find("duration=1.000000"), std::string::npos) << probe;
  EXPECT_EQ(probe.find("rror"), std::string::npos) << probe;
}

TEST(RecordingWaveWriterTest, StereoTakesAndEmptyTakesAreValidFiles) {
  const std::string path = test::TestFolder() + "/VXR2.tmp";
  CWaveWriter writer;
  ASSERT_TRUE(writer.Create(path, riff::WaveFormat::Pcm16(2, 44100)));
  ASSERT_TRUE(writer.Close());  // Done pressed before any sound
  EXPECT_EQ(writer.BytesWritten(), 0u);
  EXPECT_EQ(test::ReadFile(path), test::PcmWave({}, 2, 44100));

  // A new take starts counting from zero.
  const Bytes samples = Sine(17640 * 3);
  ASSERT_TRUE(writer.Create(path, riff::WaveFormat::Pcm16(2, 44100)));
  EXPECT_EQ(writer.Append(samples.data(), samples.size()), samples.size());
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(writer.BytesWritten(), samples.size());
  EXPECT_EQ(test::ReadFile(path), test::PcmWave(samples, 2, 44100));
}

TEST(RecordingWaveWriterTest, FailuresAreSeenByTheCallerNotHidden) {
  CWaveWriter writer;
  const std::string path = test::TestFolder() + "/missing/VXR3.tmp";
  EXPECT_FALSE(writer.Create(path, riff::WaveFormat::Pcm16(2, 44100)));
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_EQ(writer.Append("abcd", 4), 0u);  // buffers arriving afterwards are dropped
  EXPECT_EQ(writer.BytesWritten(), 0u);
  EXPECT_FALSE(writer.Close());  // there is no take to finish
  EXPECT_FALSE(std::filesystem::exists(path));

  // On a full disk the running total counts only what was taken, and Close says so.
  ASSERT_TRUE(writer.Create("/dev/full", riff::WaveFormat::Pcm16(2, 44100)));
  const Bytes block(riff::RiffFile::kBufferSize * 3, 0);
  EXPECT_LT(writer.Append(block.data(), block.size()), block.size());
  EXPECT_LT(writer.BytesWritten(), block.size());
  EXPECT_FALSE(writer.Close());
}

}  // namespace
}  // namespace vx
