// The real backend (PortAudio over ALSA) against ALSA's file plugin: the devices a test
// home defines are listed with their host API, what an output plays lands in its file
// sample for sample (routed openers on their channel), and a capture through the
// recorder's input choice equals the input file.
#include <gtest/gtest.h>

#include <QSettings>

#include <algorithm>

#include "platform/settings/ProfileSettings.h"
#include "platform/wave/DeviceOrder.h"
#include "platform/wave/WaveDeviceList.h"
#include "platform/wave/WaveTestSupport.h"
#include "support/AlsaFileHome.h"
#include "support/TestFolder.h"

namespace vx::wave {
namespace {

using test::CountingFrames;
using test::DoneLog;
using test::TestBuffer;
using vx::test::AlsaFileHome;

const riff::WaveFormat kStereo = riff::WaveFormat::Pcm16(2, 44100);

#define SKIP_WITHOUT_ALSA()                                                              \
  if (!AlsaFileHome::AlsaAvailable()) GTEST_SKIP() << "PortAudio finds no ALSA host API, " \
                                                      "so the real backend cannot run here"

std::size_t OutputNamed(const WaveDeviceList& list, const std::string& name) {
  const auto caps = OutputCapsOf(list);
  return static_cast<std::size_t>(
      std::find_if(caps.begin(), caps.end(), [&](const auto& c) { return c.name == name; }) -
      caps.begin());
}

// Writes `bytes` to a file.
std::string WriteRaw(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const std::string path = vx::test::TestFolder() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return path;
}

TEST(RealBackendTest, TheHomesPcmsAreListedAndTheRecorderTakesTheNamedInput) {
  AlsaFileHome home({{"deckA", ""}, {"deckB", WriteRaw("in.raw", CountingFrames(0, 10))}});
  SKIP_WITHOUT_ALSA();
  const WaveDeviceList& list = WaveDeviceList::System();
  for (const char* name : {"deckA", "deckB"}) {
    const std::size_t id = OutputNamed(list, name);
    ASSERT_LT(id, list.OutputCount()) << name;
    WaveCaps caps;
    ASSERT_EQ(list.OutputCaps(id, caps), kOk);
    EXPECT_EQ(caps.hostApi, kAlsaHostApi);
    EXPECT_TRUE(caps.Offers44k16Stereo()) << name;
    // Devices the user defined are used only when named.
    const auto order = OutputOrder(OutputCapsOf(list), {});
    EXPECT_EQ(std::count(order.begin(), order.end(), id), 0) << name;
  }
  ProfileSettings::Set(settings::kRecorderInput, QStringLiteral("deckB"));
  const auto input = RecorderInput(list);
  ASSERT_TRUE(input);
  WaveCaps caps;
  ASSERT_EQ(list.InputCaps(*input, caps), kOk);
  EXPECT_EQ(caps.name, "deckB");
  // Outputs likewise: deck 1's output is the one a user of one output takes.
  ProfileSettings::Set(settings::kPlayerOutputs, QStringLiteral("deckB,deckA"));
  EXPECT_EQ(PreferredOutput(list), OutputNamed(list, "deckB"));
}

// The recorder's way of capturing: ten 100 ms buffers, handed back as they fill.
TEST(RealBackendTest, CaptureThroughTheRecorderInputEqualsTheInputFile) {
  const std::vector<std::uint8_t> take = CountingFrames(0, 44100);  // one second
  AlsaFileHome home({{"deckA", ""}, {"deckB", WriteRaw("in.raw", take)}});
  SKIP_WITHOUT_ALSA();
  ProfileSettings::Set(settings::kRecorderInput, QStringLiteral("deckB"));
  const WaveDeviceList& list = WaveDeviceList::System();
  const auto input = RecorderInput(list);
  ASSERT_TRUE(input);
  DoneLog log;
  WaveIn* device = nullptr;
  ASSERT_EQ(list.OpenInput(*input, kStereo, log.Callback(), device), kOk);
  std::vector<std::unique_ptr<TestBuffer>> buffers;
  for (int i = 0; i < 10; ++i) {
    buffers.push_back(std::make_unique<TestBuffer>(std::vector<std::uint8_t>(take.size() / 10)));
    ASSERT_EQ(device->Prepare(buffers.back()->header), kOk);
    ASSERT_EQ(device->AddBuffer(buffers.back()->header), kOk);
  }
  ASSERT_EQ(device->Start(), kOk);
  ASSERT_TRUE(log.WaitForDone(10));
  ASSERT_EQ(device->Reset(), kOk);
  ASSERT_EQ(device->Close(), kOk);

  std::vector<std::uint8_t> captured;
  for (WaveHeader* header : log.Done()) {
    captured.insert(captured.end(), header->data, header->data + header->bytesRecorded);
  }
  ASSERT_EQ(captured.size(), take.size());
  EXPECT_TRUE(captured == take) << "the capture differs from the input file";
}

// One opener's samples reach the file exactly, with no silence between its buffers; then
// two openers routed to the left and right channel, one after the other.
TEST(RealBackendTest, PlayedSamplesLandInThePcmsFileExactly) {
  AlsaFileHome home({{"deckA", ""}});
  SKIP_WITHOUT_ALSA();
  const WaveDeviceList& list = WaveDeviceList::System();
  const std::size_t id = OutputNamed(list, "deckA");
  ASSERT_LT(id, list.OutputCount());

  DoneLog log;
  WaveOut* out = nullptr;
  ASSERT_EQ(list.OpenOutput(id, kStereo, log.Callback(), out), kOk);
  std::vector<std::unique_ptr<TestBuffer>> buffers;
  std::vector<std::uint8_t> expected;
  std::uint32_t first = 0;
  for (std::uint32_t frames : {4410u, 1u, 333u, 22050u}) {
    buffers.push_back(std::make_unique<TestBuffer>(CountingFrames(first, frames)));
    first += frames;
    expected.insert(expected.end(), buffers.back()->data.begin(), buffers.back()->data.end());
    ASSERT_EQ(out->Prepare(buffers.back()->header), kOk);
    ASSERT_EQ(out->Write(buffers.back()->header), kOk);
  }
  ASSERT_TRUE(log.WaitForDone(buffers.size()));
  ASSERT_EQ(out->Close(), kOk);
  EXPECT_TRUE(home.Played("deckA") == expected) << "the file differs from what was played";

  // Split use: the left opener's frames fold to the left channel, then the right one's.
  WaveOut* left = nullptr;
  WaveOut* right = nullptr;
  DoneLog leftLog;
  DoneLog rightLog;
  ASSERT_EQ(list.OpenOutput(id, kStereo, leftLog.Callback(), ChannelRoute::kLeft, left), kOk);
  ASSERT_EQ(list.OpenOutput(id, kStereo, rightLog.Callback(), ChannelRoute::kRight, right), kOk);
  TestBuffer leftSound(std::vector<std::uint8_t>{10, 0, 20, 0, 10, 0, 20, 0});  // (10+20)/2
  TestBuffer rightSound(std::vector<std::uint8_t>{7, 0, 7, 0});
  ASSERT_EQ(left->Prepare(leftSound.header), kOk);
  ASSERT_EQ(left->Write(leftSound.header), kOk);
  ASSERT_TRUE(leftLog.WaitForDone(1));
  ASSERT_EQ(right->Prepare(rightSound.header), kOk);
  ASSERT_EQ(right->Write(rightSound.header), kOk);
  ASSERT_TRUE(rightLog.WaitForDone(1));
  ASSERT_EQ(left->Close(), kOk);
  ASSERT_EQ(right->Close(), kOk);
  EXPECT_EQ(home.Played("deckA"),
            (std::vector<std::uint8_t>{15, 0, 0, 0, 15, 0, 0, 0, 0, 0, 7, 0}));
}

}  // namespace
}  // namespace vx::wave
