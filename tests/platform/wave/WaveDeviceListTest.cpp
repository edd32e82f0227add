// The device list: VELUMIX_DEVICES alone decides which devices exist, the settings group
// "Devices" names them otherwise, and device numbers outside the list are refused.
#include <gtest/gtest.h>

#include <QSettings>

#include "platform/wave/virtual/VirtualWaveOut.h"
#include "platform/wave/WaveDeviceList.h"
#include "platform/wave/WaveTestSupport.h"
#include "support/TestFolder.h"

namespace vx::wave {
namespace {

using test::ScopedEnv;

// The tape of the stand-in for a sound card.
std::string CardTape() { return vx::test::TestFolder() + "/card.wav"; }

// Restores the process's list to "build on next use" at the end of a test.
struct SystemListGuard {
  SystemListGuard() { WaveDeviceList::InstallSystem(nullptr); }
  ~SystemListGuard() { WaveDeviceList::InstallSystem(nullptr); }
};

TEST(WaveDeviceListTest, EnvironmentNamesExactlyTheDevicesThatExist) {
  const std::string folder = vx::test::TestFolder();
  const std::string devices = "out= " + folder + "/a.wav , " + folder + "/b.wav ;in=tone:440";
  ScopedEnv env("VELUMIX_DEVICES", devices.c_str());
  ScopedEnv speed("VELUMIX_SPEED", "20");
  SystemListGuard guard;
  WaveDeviceList& list = WaveDeviceList::System();

  ASSERT_EQ(list.OutputCount(), 2u);
  WaveCaps caps;
  ASSERT_EQ(list.OutputCaps(0, caps), kOk);
  EXPECT_EQ(caps.name, "Virtual Output 1");
  EXPECT_TRUE(caps.Offers44k16Stereo());
  ASSERT_EQ(list.OutputCaps(1, caps), kOk);
  EXPECT_EQ(caps.name, "Virtual Output 2");
  ASSERT_EQ(list.InputCount(), 1u);
  ASSERT_EQ(list.InputCaps(0, caps), kOk);
  EXPECT_EQ(caps.name, "Virtual Input");

  EXPECT_EQ(list.OutputCaps(2, caps), kBadDeviceId);
  EXPECT_EQ(list.InputCaps(1, caps), kBadDeviceId);
  WaveOut* out = nullptr;
  WaveIn* in = nullptr;
  const auto format = riff::WaveFormat::Pcm16(2, 44100);
  EXPECT_EQ(list.OpenOutput(7, format, nullptr, out), kBadDeviceId);
  EXPECT_EQ(list.OpenInput(1, format, nullptr, in), kBadDeviceId);
  EXPECT_EQ(out, nullptr);

  // The second tape is the second device's: opening it makes b.wav, not a.wav.
  ASSERT_EQ(list.OpenOutput(1, format, nullptr, out), kOk);
  EXPECT_EQ(list.Output(1)->OpenCount(), 1u);
  ASSERT_EQ(out->Close(), kOk);
  EXPECT_TRUE(test::ReadTape(folder + "/b.wav"));
  EXPECT_FALSE(test::ReadTape(folder + "/a.wav"));
}

TEST(WaveDeviceListTest, EmptyEnvironmentMeansNoDevices) {
  ScopedEnv env("VELUMIX_DEVICES", "");
  SystemListGuard guard;
  EXPECT_EQ(WaveDeviceList::System().OutputCount(), 0u);
  EXPECT_EQ(WaveDeviceList::System().InputCount(), 0u);
}

// Without VELUMIX_DEVICES the virtual devices come from the settings group "Devices",
// after the real devices (here an injected stand-in for a sound card).
TEST(WaveDeviceListTest, SettingsNameVirtualDevicesAfterTheRealOnes) {
  ScopedEnv env("VELUMIX_DEVICES", nullptr);
  ScopedEnv speed("VELUMIX_SPEED", "bad");
  {
    QSettings store(QStringLiteral("QFL"), QStringLiteral("Velumix"));
    store.setValue(QStringLiteral("Devices/out"), QStringLiteral("/tmp/x.wav,/tmp/y.wav"));
    store.setValue(QStringLiteral("Devices/in"), QStringLiteral("tone:440"));
  }
  const DeviceConfig config = DeviceConfig::Current();
  EXPECT_FALSE(config.virtualOnly);
  EXPECT_EQ(config.waveOutputs, (std::vector<std::string>{"/tmp/x.wav", "/tmp/y.wav"}));
  EXPECT_EQ(config.WaveInputTone(), 440.0);
  EXPECT_EQ(config.speed, 1.0);

  WaveDeviceSet real;
  real.outputs.push_back(std::make_unique<VirtualWaveOut>("Card", CardTape(), 1));
  const auto list = WaveDeviceList::Build(config, std::move(real));
  ASSERT_EQ(list->OutputCount(), 3u);
  WaveCaps caps;
  ASSERT_EQ(list->OutputCaps(0, caps), kOk);
  EXPECT_EQ(caps.name, "Card");
  ASSERT_EQ(list->OutputCaps(2, caps), kOk);
  EXPECT_EQ(caps.name, "Virtual Output 2");

  DeviceConfig virtualOnly = config;
  virtualOnly.virtualOnly = true;
  WaveDeviceSet ignored;
  ignored.outputs.push_back(std::make_unique<VirtualWaveOut>("Card", CardTape(), 1));
  EXPECT_EQ(WaveDeviceList::Build(virtualOnly, std::move(ignored))->OutputCount(), 2u);
}

}  // namespace
}  // namespace vx::wave
