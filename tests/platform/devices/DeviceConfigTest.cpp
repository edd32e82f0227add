#include "platform/devices/DeviceConfig.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace vx {

using Strings = std::vector<std::string>;

TEST(DeviceConfig, ReadsEveryClauseIgnoringSpaces) {
  const DeviceConfig config = DeviceConfig::Parse(
      " out = /tmp/a.wav , /tmp/b.wav ; in=tone:440;midi= /tmp/midi.log ;cd=/tmp/tray1,/tmp/tray2",
      "10");
  EXPECT_TRUE(config.virtualOnly);
  EXPECT_EQ(config.waveOutputs, (Strings{"/tmp/a.wav", "/tmp/b.wav"}));
  EXPECT_EQ(config.waveInput, "tone:440");
  EXPECT_EQ(config.midiLog, "/tmp/midi.log");
  EXPECT_EQ(config.cdTrays, (Strings{"/tmp/tray1", "/tmp/tray2"}));
  EXPECT_DOUBLE_EQ(config.speed, 10.0);
  ASSERT_TRUE(config.WaveInputTone().has_value());
  EXPECT_DOUBLE_EQ(*config.WaveInputTone(), 440.0);

  const DeviceConfig file = DeviceConfig::Parse("in=/path/take.wav", nullptr);
  EXPECT_EQ(file.waveInput, "/path/take.wav");
  EXPECT_FALSE(file.WaveInputTone().has_value());
  EXPECT_FALSE(DeviceConfig::Parse("in=tone:loud", nullptr).WaveInputTone().has_value());
  EXPECT_FALSE(DeviceConfig::Parse("in=tone:-5", nullptr).WaveInputTone().has_value());
}

TEST(DeviceConfig, UnsetEmptyAndOddClauses) {
  const DeviceConfig unset = DeviceConfig::Parse(nullptr, nullptr);
  EXPECT_FALSE(unset.virtualOnly);
  EXPECT_TRUE(unset.waveOutputs.empty() && unset.cdTrays.empty());
  EXPECT_TRUE(unset.waveInput.empty() && unset.midiLog.empty());

  // Set but empty: virtual-only with no device at all.
  const DeviceConfig empty = DeviceConfig::Parse("", nullptr);
  EXPECT_TRUE(empty.virtualOnly);
  EXPECT_TRUE(empty.waveOutputs.empty() && empty.cdTrays.empty() && empty.midiLog.empty());

  // Empty items and clauses, unknown keys, clauses without '=', repeated keys.
  const DeviceConfig odd =
      DeviceConfig::Parse(";;cd=/a,, ,/b;;joystick=1;garbage;cd=/c;midi=/x;midi=/y;out=", "");
  EXPECT_EQ(odd.cdTrays, (Strings{"/a", "/b", "/c"}));
  EXPECT_EQ(odd.midiLog, "/y");
  EXPECT_TRUE(odd.waveOutputs.empty());
}

TEST(DeviceConfig, BadSpeedMeansRealTime) {
  EXPECT_DOUBLE_EQ(ParseSpeedFactor(nullptr), 1.0);
  EXPECT_DOUBLE_EQ(ParseSpeedFactor(" 2.5 "), 2.5);
  for (const char* bad : {"", "fast", "0", "-3", "10x", "nan", "inf", "1e999"}) {
    EXPECT_DOUBLE_EQ(ParseSpeedFactor(bad), 1.0) << bad;
  }
  EXPECT_DOUBLE_EQ(DeviceConfig::Parse("cd=/t", "abc").speed, 1.0);
}

TEST(DeviceConfig, ReadsTheEnvironment) {
  setenv("VELUMIX_DEVICES", "cd=/tmp/t1", 1);
  setenv("VELUMIX_SPEED", "20", 1);
  const DeviceConfig config = DeviceConfig::FromEnvironment();
  unsetenv("VELUMIX_DEVICES");
  unsetenv("VELUMIX_SPEED");
  EXPECT_TRUE(config.virtualOnly);
  EXPECT_EQ(config.cdTrays, (Strings{"/tmp/t1"}));
  EXPECT_DOUBLE_EQ(config.speed, 20.0);
  EXPECT_FALSE(DeviceConfig::FromEnvironment().virtualOnly);
}

// Without VELUMIX_DEVICES every kind of virtual device comes from the settings group
// "Devices", after the real devices; with it, the settings are not read.
TEST(DeviceConfig, SettingsNameEveryKindOfVirtualDevice) {
  unsetenv("VELUMIX_DEVICES");
  {
    QSettings store(QStringLiteral("QFL"), QStringLiteral("Velumix"));
    store.setValue(QStringLiteral("Devices/out"), QStringLiteral("/tmp/x.wav"));
    store.setValue(QStringLiteral("Devices/in"), QStringLiteral("tone:440"));
    store.setValue(QStringLiteral("Devices/midi"), QStringLiteral("/tmp/midi.log"));
    store.setValue(QStringLiteral("Devices/cd"), QStringList{"/tmp/tray1", "/tmp/tray2"});
  }
  const DeviceConfig config = DeviceConfig::Current();
  EXPECT_FALSE(config.virtualOnly);
  EXPECT_EQ(config.waveOutputs, (Strings{"/tmp/x.wav"}));
  EXPECT_EQ(config.waveInput, "tone:440");
  EXPECT_EQ(config.midiLog, "/tmp/midi.log");
  EXPECT_EQ(config.cdTrays, (Strings{"/tmp/tray1", "/tmp/tray2"}));

  setenv("VELUMIX_DEVICES", "out=/tmp/only.wav", 1);
  const DeviceConfig overridden = DeviceConfig::Current();
  unsetenv("VELUMIX_DEVICES");
  EXPECT_TRUE(overridden.virtualOnly);
  EXPECT_EQ(overridden.waveOutputs, (Strings{"/tmp/only.wav"}));
  EXPECT_TRUE(overridden.cdTrays.empty() && overridden.midiLog.empty());
}

}  // namespace vx
