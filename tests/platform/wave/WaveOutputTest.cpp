// The virtual wave output: what it plays lands on its tape in order, positions follow the
// buffers, pause, reset and underruns behave as a sound card's would, and misuse answers
// the documented codes.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "platform/wave/virtual/VirtualWaveOut.h"
#include "platform/wave/WaveTestSupport.h"
#include "recording/ToolOutput.h"
#include "support/TestFolder.h"

namespace vx::wave {
namespace {

using test::CountingFrames;
using test::DoneLog;
using test::Eventually;
using test::ReadTape;
using test::TestBuffer;

const riff::WaveFormat kStereo = riff::WaveFormat::Pcm16(2, 44100);
constexpr double kFast = 20;

std::string TapePath(const char* name = "tape.wav") {
  return vx::test::TestFolder() + "/" + name;
}

// Buffers of counting frames, `frames` each, continuing from one to the next.
std::vector<std::unique_ptr<TestBuffer>> CountingBuffers(std::initializer_list<std::uint32_t> sizes,
                                                         std::uint32_t first = 0) {
  std::vector<std::unique_ptr<TestBuffer>> buffers;
  for (std::uint32_t frames : sizes) {
    buffers.push_back(std::make_unique<TestBuffer>(CountingFrames(first, frames)));
    first += frames;
  }
  return buffers;
}

std::vector<std::uint8_t> Concatenated(const std::vector<std::unique_ptr<TestBuffer>>& buffers) {
  std::vector<std::uint8_t> all;
  for (const auto& buffer : buffers) {
    all.insert(all.end(), buffer->data.begin(), buffer->data.end());
  }
  return all;
}

void PrepareAndWrite(WaveOut& device, std::vector<std::unique_ptr<TestBuffer>>& buffers) {
  for (auto& buffer : buffers) {
    ASSERT_EQ(device.Prepare(buffer->header), kOk);
    ASSERT_EQ(device.Write(buffer->header), kOk);
  }
}

// Plays buffers of several sizes (odd ones, smaller and larger than a period) and checks the
// tape sample by sample, the order of the callbacks and the positions seen on the way.
TEST(WaveOutputTest, TapeHoldsEverySampleInOrderAndPositionsFollowTheBuffers) {
  VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
  WaveOut* out = nullptr;
  DoneLog log;
  ASSERT_EQ(device.Open(kStereo, log.Callback(), ChannelRoute::kAll, out), kOk);
  EXPECT_EQ(log.Opened(), 1);
  auto buffers = CountingBuffers({1000, 1, 4410, 333, 2205, 17});
  std::uint64_t total = 0;
  for (const auto& buffer : buffers) total += buffer->data.size() / 4;
  PrepareAndWrite(*out, buffers);

  std::uint64_t last = 0;
  while (log.Done().size() < buffers.size()) {
    std::uint64_t position = 0;
    ASSERT_EQ(out->Position(position), kOk);
    EXPECT_GE(position, last);
    EXPECT_LE(position, total);
    last = position;
  }
  ASSERT_TRUE(log.WaitForDone(buffers.size()));
  std::uint64_t position = 0;
  ASSERT_EQ(out->Position(position), kOk);
  EXPECT_EQ(position, total);

  const auto done = log.Done();
  ASSERT_EQ(done.size(), buffers.size());
  for (std::size_t i = 0; i < done.size(); ++i) {
    EXPECT_EQ(done[i], &buffers[i]->header) << "buffer " << i;
    EXPECT_EQ(done[i]->flags & (kHeaderDone | kHeaderInQueue), kHeaderDone);
  }
  for (auto& buffer : buffers) EXPECT_EQ(out->Unprepare(buffer->header), kOk);
  ASSERT_EQ(out->Close(), kOk);
  EXPECT_EQ(log.Closed(), 1);

  const auto tape = ReadTape(TapePath());
  ASSERT_TRUE(tape);
  EXPECT_EQ(tape->format, kStereo);
  EXPECT_EQ(tape->samples, Concatenated(buffers));
}

// The first open in the process rewrites an old tape; reopening with the same format
// appends; another format starts the tape afresh in that format.
TEST(WaveOutputTest, TapeIsRewrittenFirstThenAppendedAcrossOpens) {
  test::WriteWaveFile(TapePath(), kStereo, CountingFrames(5000, 100));
  VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
  WaveOut* out = nullptr;
  auto first = CountingBuffers({700});
  auto second = CountingBuffers({300, 50}, 700);
  for (auto* session : {&first, &second}) {
    DoneLog log;
    ASSERT_EQ(device.Open(kStereo, log.Callback(), ChannelRoute::kAll, out), kOk);
    PrepareAndWrite(*out, *session);
    ASSERT_TRUE(log.WaitForDone(session->size()));
    ASSERT_EQ(out->Close(), kOk);
    const auto tape = ReadTape(TapePath());
    ASSERT_TRUE(tape);  // valid after every close
  }
  auto both = Concatenated(first);
  const auto more = Concatenated(second);
  both.insert(both.end(), more.begin(), more.end());
  EXPECT_EQ(ReadTape(TapePath())->samples, both);
  // An outside reader agrees on the length of the appended tape.
  EXPECT_EQ(vx::test::ToolOutput("soxi -s", TapePath()), "1050\n");

  const riff::WaveFormat mono = riff::WaveFormat::Pcm16(1, 22050);
  DoneLog log;
  ASSERT_EQ(device.Open(mono, log.Callback(), ChannelRoute::kAll, out), kOk);
  TestBuffer odd(std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6});
  ASSERT_EQ(out->Prepare(odd.header), kOk);
  ASSERT_EQ(out->Write(odd.header), kOk);
  ASSERT_TRUE(log.WaitForDone(1));
  ASSERT_EQ(out->Close(), kOk);
  const auto tape = ReadTape(TapePath());
  ASSERT_TRUE(tape);
  EXPECT_EQ(tape->format, mono);
  EXPECT_EQ(tape->samples, odd.data);
}

// Reset returns every queued buffer exactly once, even the one playing, and the position
// starts again at 0; the device then plays the next buffer from there.
TEST(WaveOutputTest, ResetReturnsEveryBufferOnceAndClearsThePosition) {
  VirtualWaveOut device("Virtual Output 1", TapePath(), 1);
  WaveOut* out = nullptr;
  DoneLog log;
  ASSERT_EQ(device.Open(kStereo, log.Callback(), ChannelRoute::kAll, out), kOk);
  auto buffers = CountingBuffers({44100, 44100, 44100, 44100});  // one second each
  PrepareAndWrite(*out, buffers);
  ASSERT_TRUE(Eventually([&] {
    std::uint64_t position = 0;
    return out->Position(position) == kOk && position > 0;
  }));
  EXPECT_EQ(out->Close(), kStillPlaying);
  EXPECT_EQ(out->Unprepare(buffers[2]->header), kStillPlaying);
  ASSERT_EQ(out->Reset(), kOk);

  const auto done = log.Done();  // all back before Reset returned
  ASSERT_EQ(done.size(), buffers.size());
  EXPECT_EQ(std::set<WaveHeader*>(done.begin(), done.end()).size(), buffers.size());
  for (auto* header : done) EXPECT_TRUE(header->flags & kHeaderDone);
  std::uint64_t position = 99;
  ASSERT_EQ(out->Position(position), kOk);
  EXPECT_EQ(position, 0u);

  TestBuffer again(CountingFrames(0, 10));
  ASSERT_EQ(out->Prepare(again.header), kOk);
  ASSERT_EQ(out->Write(again.header), kOk);
  ASSERT_TRUE(log.WaitForDone(buffers.size() + 1));
  ASSERT_EQ(out->Position(position), kOk);
  EXPECT_EQ(position, 10u);
  EXPECT_EQ(log.Done().size(), buffers.size() + 1);
  ASSERT_EQ(out->Close(), kOk);
}

// While paused nothing plays and the position holds; Restart plays the rest.
TEST(WaveOutputTest, PauseHoldsThePositionAndRestartContinues) {
  VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
  WaveOut* out = nullptr;
  DoneLog log;
  ASSERT_EQ(device.Open(kStereo, log.Callback(), ChannelRoute::kAll, out), kOk);
  ASSERT_EQ(out->Pause(), kOk);
  auto buffers = CountingBuffers({2000, 2000, 2000});
  PrepareAndWrite(*out, buffers);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  std::uint64_t position = 99;
  ASSERT_EQ(out->Position(position), kOk);
  EXPECT_EQ(position, 0u);

  ASSERT_EQ(out->Restart(), kOk);
  ASSERT_TRUE(log.WaitForDone(1));
  ASSERT_EQ(out->Pause(), kOk);
  std::uint64_t held = 0;
  ASSERT_EQ(out->Position(held), kOk);
  const std::size_t doneAtPause = log.Done().size();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));  // 0.6 s of device time
  ASSERT_EQ(out->Position(position), kOk);
  EXPECT_EQ(position, held);
  EXPECT_EQ(log.Done().size(), doneAtPause);

  ASSERT_EQ(out->Restart(), kOk);
  ASSERT_TRUE(log.WaitForDone(3));
  ASSERT_EQ(out->Position(position), kOk);
  EXPECT_EQ(position, 6000u);
  ASSERT_EQ(out->Close(), kOk);
  EXPECT_EQ(ReadTape(TapePath())->samples, Concatenated(buffers));
}

// An underrun is counted once when the playing device runs dry, not while it was never
// written to, and again after the next buffer runs out.
TEST(WaveOutputTest, UnderrunsAreCountedOncePerDryRun) {
  VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
  WaveOut* out = nullptr;
  DoneLog log;
  ASSERT_EQ(device.Open(kStereo, log.Callback(), ChannelRoute::kAll, out), kOk);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(out->Underruns(), 0u);  // opened, never written: not playing

  ASSERT_EQ(out->Pause(), kOk);
  auto buffers = CountingBuffers({1000, 1000});
  PrepareAndWrite(*out, buffers);
  ASSERT_EQ(out->Restart(), kOk);
  ASSERT_TRUE(log.WaitForDone(2));
  ASSERT_TRUE(Eventually([&] { return out->Underruns() >= 1; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // many more dry periods
  EXPECT_EQ(out->Underruns(), 1u);

  TestBuffer third(CountingFrames(2000, 500));
  ASSERT_EQ(out->Prepare(third.header), kOk);
  ASSERT_EQ(out->Write(third.header), kOk);
  ASSERT_TRUE(log.WaitForDone(3));
  ASSERT_TRUE(Eventually([&] { return out->Underruns() >= 2; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(out->Underruns(), 2u);
  ASSERT_EQ(out->Close(), kOk);
}

// While the device plays, the tape's sizes follow within a second or so, never counting
// more than the file holds, so a killed program leaves a readable tape; a paused device's
// tape counts everything played.
TEST(WaveOutputTest, TapeSizesFollowWhileTheDevicePlays) {
  VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
  WaveOut* out = nullptr;
  DoneLog log;
  ASSERT_EQ(device.Open(kStereo, log.Callback(), ChannelRoute::kAll, out), kOk);
  TestBuffer minute(std::vector<std::uint8_t>(60 * 44100 * 4, 1));
  ASSERT_EQ(out->Prepare(minute.header), kOk);
  ASSERT_EQ(out->Write(minute.header), kOk);

  auto stated = [] {
    riff::WaveLayout layout;
    if (riff::ReadWaveLayout(TapePath(), layout) != riff::WaveError::kNone) return -1.0;
    EXPECT_LE(layout.dataOffset + layout.dataSize, layout.fileSize);
    return static_cast<double>(layout.dataSize);
  };
  ASSERT_TRUE(Eventually([&] { return stated() > 0; }));
  EXPECT_TRUE(log.Done().empty());  // still playing

  ASSERT_EQ(out->Pause(), kOk);
  std::uint64_t position = 0;
  ASSERT_TRUE(Eventually([&] {
    return out->Position(position) == kOk && stated() == static_cast<double>(position * 4);
  }));
  ASSERT_EQ(out->Reset(), kOk);
  ASSERT_EQ(out->Close(), kOk);
}

// Every misuse answers its own code and changes nothing; a closed handle answers
// kInvalidHandle.
TEST(WaveOutputTest, MisuseAnswersTheDocumentedCodes) {
  VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
  WaveOut* out = nullptr;
  TestBuffer buffer(CountingFrames(0, 10));
  std::uint64_t position = 0;

  riff::WaveFormat adpcm = kStereo;
  adpcm.formatTag = riff::kFormatMsAdpcm;
  DoneLog log;
  EXPECT_EQ(device.Open(adpcm, log.Callback(), ChannelRoute::kAll, out), kBadFormat);
  riff::WaveFormat inconsistent = kStereo;
  inconsistent.blockAlign = 3;
  EXPECT_EQ(device.Open(inconsistent, log.Callback(), ChannelRoute::kAll, out), kBadFormat);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(device.OpenCount(), 0u);

  ASSERT_EQ(device.Open(kStereo, log.Callback(), ChannelRoute::kAll, out), kOk);
  // A later opener with a format no device plays is refused too.
  WaveOut* second = nullptr;
  EXPECT_EQ(device.Open(adpcm, nullptr, ChannelRoute::kAll, second), kBadFormat);
  EXPECT_EQ(device.OpenCount(), 1u);
  EXPECT_EQ(out->Write(buffer.header), kUnprepared);
  WaveHeader noData;
  noData.bufferLength = 4;
  EXPECT_EQ(out->Prepare(noData), kInvalidParam);
  ASSERT_EQ(out->Pause(), kOk);
  ASSERT_EQ(out->Prepare(buffer.header), kOk);
  ASSERT_EQ(out->Write(buffer.header), kOk);
  EXPECT_EQ(out->Write(buffer.header), kStillPlaying);
  EXPECT_EQ(out->Prepare(buffer.header), kStillPlaying);
  ASSERT_EQ(out->Reset(), kOk);
  EXPECT_EQ(log.Done().size(), 1u);  // returned once, not twice
  EXPECT_EQ(out->Close(), kOk);
  EXPECT_EQ(log.Closed(), 1);

  EXPECT_EQ(out->Prepare(buffer.header), kInvalidHandle);
  EXPECT_EQ(out->Write(buffer.header), kInvalidHandle);
  EXPECT_EQ(out->Position(position), kInvalidHandle);
  EXPECT_EQ(out->Reset(), kInvalidHandle);
  EXPECT_EQ(out->Close(), kInvalidHandle);
}

// The device takes as many openers as it has handles, then answers kAllocated.
TEST(WaveOutputTest, OpenersBeyondTheDevicesPlacesAreRefused) {
  VirtualWaveOut device("Virtual Output 1", TapePath(), kFast);
  std::vector<WaveOut*> handles(StreamWaveOut::kMaxOpeners, nullptr);
  for (WaveOut*& handle : handles) {
    ASSERT_EQ(device.Open(kStereo, nullptr, ChannelRoute::kAll, handle), kOk);
  }
  EXPECT_EQ(std::set<WaveOut*>(handles.begin(), handles.end()).size(), handles.size());
  WaveOut* extra = nullptr;
  EXPECT_EQ(device.Open(kStereo, nullptr, ChannelRoute::kAll, extra), kAllocated);
  for (WaveOut* handle : handles) ASSERT_EQ(handle->Close(), kOk);
  EXPECT_EQ(device.OpenCount(), 0u);
}

}  // namespace
}  // namespace vx::wave
