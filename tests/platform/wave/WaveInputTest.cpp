// The virtual wave input: it delivers its file's samples in order, then silence; a stop
// returns the buffer being filled; a tone is a sine; formats it cannot deliver are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/wave/virtual/VirtualWaveIn.h"
#include "platform/wave/WaveTestSupport.h"
#include "support/TestFolder.h"

namespace vx::wave {
namespace {

using test::CountingFrames;
using test::DoneLog;
using test::Eventually;
using test::TestBuffer;

const riff::WaveFormat kStereo = riff::WaveFormat::Pcm16(2, 44100);
constexpr double kFast = 20;

std::string TakePath() { return vx::test::TestFolder() + "/take.wav"; }

std::vector<std::unique_ptr<TestBuffer>> EmptyBuffers(std::size_t count, std::size_t bytes) {
  std::vector<std::unique_ptr<TestBuffer>> buffers;
  for (std::size_t i = 0; i < count; ++i) {
    buffers.push_back(std::make_unique<TestBuffer>(std::vector<std::uint8_t>(bytes, 0xEE)));
  }
  return buffers;
}

void PrepareAndAdd(WaveIn& device, std::vector<std::unique_ptr<TestBuffer>>& buffers) {
  for (auto& buffer : buffers) {
    ASSERT_EQ(device.Prepare(buffer->header), kOk);
    ASSERT_EQ(device.AddBuffer(buffer->header), kOk);
  }
}

// Ten 100 ms buffers, as the recorder queues them, over a 0.25 s file: the first buffers
// carry the file's frames in order, the rest is silence.
TEST(WaveInputTest, DeliversTheFileInOrderThenSilence) {
  const auto file = CountingFrames(1, 11025);
  test::WriteWaveFile(TakePath(), kStereo, file);
  VirtualWaveIn device("Virtual Input", TakePath(), kFast);
  EXPECT_TRUE(device.Caps().Offers44k16Stereo());
  DoneLog log;
  ASSERT_EQ(device.Open(kStereo, log.Callback()), kOk);
  auto buffers = EmptyBuffers(10, kStereo.avgBytesPerSec / 10);
  PrepareAndAdd(device, buffers);
  ASSERT_EQ(device.Start(), kOk);
  ASSERT_TRUE(log.WaitForDone(buffers.size()));

  std::vector<std::uint8_t> heard;
  const auto done = log.Done();
  for (std::size_t i = 0; i < done.size(); ++i) {
    ASSERT_EQ(done[i], &buffers[i]->header);
    ASSERT_EQ(done[i]->bytesRecorded, done[i]->bufferLength);
    heard.insert(heard.end(), done[i]->data, done[i]->data + done[i]->bytesRecorded);
  }
  ASSERT_EQ(heard.size(), kStereo.avgBytesPerSec);
  EXPECT_TRUE(std::equal(file.begin(), file.end(), heard.begin()));
  EXPECT_TRUE(std::all_of(heard.begin() + file.size(), heard.end(),
                          [](std::uint8_t byte) { return byte == 0; }));
  std::uint64_t position = 0;
  ASSERT_EQ(device.Position(position), kOk);
  EXPECT_EQ(position, 44100u);
  ASSERT_EQ(device.Reset(), kOk);
  ASSERT_EQ(device.Close(), kOk);
}

// Stop hands back the partly filled buffer with what it holds; Reset returns the empty
// ones; a new Open starts the file again.
TEST(WaveInputTest, StopReturnsThePartBufferAndReopenStartsTheFileAgain) {
  const auto file = CountingFrames(1, 44100);
  test::WriteWaveFile(TakePath(), kStereo, file);
  VirtualWaveIn device("Virtual Input", TakePath(), 1);
  for (int session = 0; session < 2; ++session) {
    DoneLog log;
    ASSERT_EQ(device.Open(kStereo, log.Callback()), kOk);
    auto buffers = EmptyBuffers(2, file.size());  // a second each
    PrepareAndAdd(device, buffers);
    ASSERT_EQ(device.Start(), kOk);
    ASSERT_TRUE(Eventually([&] {
      std::uint64_t position = 0;
      return device.Position(position) == kOk && position > 0;
    }));
    ASSERT_EQ(device.Stop(), kOk);
    ASSERT_EQ(log.Done().size(), 1u);
    const WaveHeader& part = buffers[0]->header;
    std::uint64_t position = 0;
    ASSERT_EQ(device.Position(position), kOk);
    EXPECT_EQ(part.bytesRecorded, position * 4);
    EXPECT_GT(part.bytesRecorded, 0u);
    EXPECT_TRUE(std::equal(part.data, part.data + part.bytesRecorded, file.begin()));

    EXPECT_EQ(device.Close(), kStillPlaying);
    ASSERT_EQ(device.Reset(), kOk);
    EXPECT_EQ(log.Done().size(), 2u);
    EXPECT_EQ(buffers[1]->header.bytesRecorded, 0u);
    ASSERT_EQ(device.Close(), kOk);
  }
}

// A tone input makes a sine at half of full scale in the format asked for.
TEST(WaveInputTest, ToneIsASineInTheOpenedFormat) {
  VirtualWaveIn device("Virtual Input", 441.0, kFast);
  const riff::WaveFormat mono = riff::WaveFormat::Pcm16(1, 22050);
  DoneLog log;
  ASSERT_EQ(device.Open(mono, log.Callback()), kOk);
  TestBuffer buffer(std::vector<std::uint8_t>(mono.avgBytesPerSec / 10));  // 44.1 periods
  ASSERT_EQ(device.Prepare(buffer.header), kOk);
  ASSERT_EQ(device.AddBuffer(buffer.header), kOk);
  ASSERT_EQ(device.Start(), kOk);
  ASSERT_TRUE(log.WaitForDone(1));
  int peak = 0;
  int crossings = 0;
  int previous = 0;
  for (std::size_t i = 0; i + 1 < buffer.data.size(); i += 2) {
    const int sample = static_cast<std::int16_t>(buffer.data[i] | buffer.data[i + 1] << 8);
    peak = std::max(peak, std::abs(sample));
    if (i > 0 && (previous < 0) != (sample < 0)) ++crossings;
    previous = sample;
  }
  EXPECT_NEAR(peak, 16383, 80);  // the nearest sample to the crest
  EXPECT_NEAR(crossings, 88, 2);  // 441 Hz for 0.1 s: 44 periods, two crossings each
  ASSERT_EQ(device.Reset(), kOk);
  ASSERT_EQ(device.Close(), kOk);
}

// A file is delivered in its own format only; a tone in 8 or 16 bits; a missing file fails.
TEST(WaveInputTest, RefusesFormatsItCannotDeliver) {
  test::WriteWaveFile(TakePath(), kStereo, CountingFrames(0, 100));
  VirtualWaveIn file("Virtual Input", TakePath(), kFast);
  DoneLog log;
  EXPECT_EQ(file.Open(riff::WaveFormat::Pcm16(1, 44100), log.Callback()), kBadFormat);
  EXPECT_EQ(file.Open(riff::WaveFormat::Pcm16(2, 22050), log.Callback()), kBadFormat);

  VirtualWaveIn tone("Virtual Input", 440.0, kFast);
  riff::WaveFormat wide = kStereo;
  wide.bitsPerSample = 24;
  wide.blockAlign = 6;
  wide.avgBytesPerSec = 44100 * 6;
  EXPECT_EQ(tone.Open(wide, log.Callback()), kBadFormat);

  VirtualWaveIn missing("Virtual Input", vx::test::TestFolder() + "/none.wav", kFast);
  EXPECT_EQ(missing.Caps().formats, 0u);
  EXPECT_EQ(missing.Open(kStereo, log.Callback()), kError);
  EXPECT_EQ(log.Opened(), 0);
}

}  // namespace
}  // namespace vx::wave
