// The recorder's media control wrapper: commands and error texts, the inventory of a
// described machine, the MIDI output, and the shared aliases.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "cd/CMciDevice.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/MciTestSupport.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

// A machine of the test's own: CD letters and MIDI outputs by device number (nothing where
// the capabilities cannot be read); opening a MIDI output answers openResult.
struct DescribedMachine {
  std::string letters;
  std::vector<std::optional<midi::MidiOutCaps>> midi;
  unsigned openResult = midi::kOk;

  CMciDevice::Platform Platform(mci::MciSession& session) {
    CMciDevice::Platform platform;
    platform.session = &session;
    platform.cdDriveLetters = [this] { return letters; };
    platform.midiOutCount = [this] { return static_cast<unsigned>(midi.size()); };
    platform.midiOutCaps = [this](unsigned device, midi::MidiOutCaps& caps) {
      if (device >= midi.size() || !midi[device]) return false;
      caps = *midi[device];
      return true;
    };
    platform.openMidiOut = [this](unsigned, std::unique_ptr<midi::MidiOut>&) {
      return openResult;
    };
    return platform;
  }
};

TEST(CMciDevice, InventoryOfADescribedMachine) {
  mci::MciSession session;
  DescribedMachine machine;
  machine.letters = "DF";
  machine.midi = {midi::MidiOutCaps{"Port A", midi::kMidiPort},
                  midi::MidiOutCaps{"Synth", midi::kSynthesizer},
                  std::nullopt,
                  midi::MidiOutCaps{"Square", midi::kSquareWaveSynth},
                  midi::MidiOutCaps{"OPL3", midi::kFmSynth},
                  midi::MidiOutCaps{"Wavetable", midi::kWavetable},
                  midi::MidiOutCaps{"Mapper", midi::kMapper}};
  CMciDevice device(machine.Platform(session));
  EXPECT_EQ(device.NumCdDrives(), 0u);
  device.TakeInventory();
  EXPECT_EQ(device.NumCdDrives(), 2u);
  EXPECT_EQ(device.CdDriveLetters(), "DF");
  EXPECT_EQ(device.NumMidiOutputs(), 6u);
  EXPECT_EQ(device.MidiOutputs(),
            (std::vector<std::string>{"0, Hardware Port, Port A", "1, Synthesizer, Synth",
                                      "3, Sq. Wave Synth, Square", "4, FM Synth, OPL3",
                                      "5, ??Unknown??, Wavetable", "6, ??Unknown??, Mapper"}));
  EXPECT_EQ(device.MidiTechnologies(), (std::vector<int>{1, 2, -1, 3, 4, 6, 5}));

  machine.letters.clear();
  machine.midi.clear();
  device.TakeInventory();
  EXPECT_EQ(device.NumCdDrives(), 0u);
  EXPECT_EQ(device.CdDriveLetters(), "");
  EXPECT_EQ(device.NumMidiOutputs(), 0u);
  EXPECT_TRUE(device.MidiOutputs().empty());
}

TEST(CMciDevice, FailuresKeepTheErrorTextAndTheCommand) {
  mci::MciSession session;
  DescribedMachine machine;
  CMciDevice device(machine.Platform(session));
  const std::string missing = test::TestFolder() + "/no such.wav";
  EXPECT_FALSE(device.OpenWaveFile(missing));
  std::string text;
  ASSERT_TRUE(mci::MciErrorText(mci::kFileNotFound, text));
  EXPECT_EQ(device.GetLastErrorText(),
            text + " CMD: open \"waveaudio!" + missing + "\" alias waverec");
  EXPECT_EQ(device.GetLastErrorCode(), mci::kFileNotFound);

  // The length items: of a track when the track is 0 or more, of the medium otherwise.
  std::string reply = "untouched";
  EXPECT_FALSE(device.GetLength(reply, CMciDevice::kCd, 3));
  EXPECT_EQ(reply, "untouched");
  EXPECT_TRUE(device.GetLastErrorText().ends_with(" CMD: status cdplay length track 3"));
  EXPECT_FALSE(device.GetLength(reply, CMciDevice::kWave, -1));
  EXPECT_TRUE(device.GetLastErrorText().ends_with(" CMD: status waverec length"));

  test::ScriptedUi ui;
  device.ShowLastError();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.toStdString(), device.GetLastErrorText());
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
}

TEST(CMciDevice, MidiFailuresLeaveTheLastMciCode) {
  mci::MciSession session;
  DescribedMachine machine;
  machine.openResult = midi::kBadDeviceId;
  CMciDevice device(machine.Platform(session));
  EXPECT_FALSE(device.PlayDevice(CMciDevice::kCd));
  EXPECT_EQ(device.GetLastErrorCode(), mci::kUnknownAlias);

  EXPECT_FALSE(device.OpenMidiOut(7));
  EXPECT_EQ(device.GetLastErrorText(), "MIDI ERROR Opening device: 7 rc=2");
  EXPECT_EQ(device.GetLastErrorCode(), mci::kUnknownAlias);
  EXPECT_EQ(device.MidiOutHandle(), nullptr);
  EXPECT_FALSE(device.CloseMidiOut());
  EXPECT_EQ(device.GetLastErrorText(), "MIDI ERROR Closing device: rc=5");
  EXPECT_EQ(device.GetLastErrorCode(), mci::kUnknownAlias);
}

TEST(CMciDevice, PlaysTheVirtualDiscAndSharesTheAliases) {
  mci::test::VirtualMachine machine;
  CMciDevice first;
  first.TakeInventory();
  EXPECT_EQ(first.CdDriveLetters(), "D");
  EXPECT_EQ(first.NumWaveDevices(), 0u);  // the machine has no wave input

  ASSERT_TRUE(first.OpenCd('D')) << first.GetLastErrorText();
  EXPECT_NE(first.GetCdDeviceId(), 0u);
  CMciDevice second;
  EXPECT_FALSE(second.OpenCd('D'));
  EXPECT_EQ(second.GetLastErrorCode(), mci::kAliasInUse);
  EXPECT_EQ(second.GetLastErrorText(),
            "The alias is already in use. CMD: open D: type cdaudio alias cdplay shareable");

  ASSERT_TRUE(first.SetTimeFormat("tmsf", CMciDevice::kCd));
  std::string reply;
  ASSERT_TRUE(first.GetLength(reply, CMciDevice::kCd, 3));
  EXPECT_EQ(reply, "00:02:17");
  ASSERT_TRUE(first.GetLength(reply, CMciDevice::kCd, -1));
  EXPECT_EQ(reply, "00:09:17");
  ASSERT_TRUE(first.SeekDevice("2", CMciDevice::kCd));
  ASSERT_TRUE(first.GetPosition(reply, CMciDevice::kCd));
  EXPECT_EQ(reply, "02:00:00:00");
  ASSERT_TRUE(first.QueryStatus("mode", reply, CMciDevice::kCd));
  EXPECT_EQ(reply, "stopped");
  ASSERT_TRUE(first.SetDoor(false));
  ASSERT_TRUE(first.QueryStatus("mode", reply, CMciDevice::kCd));
  EXPECT_EQ(reply, "open");
  ASSERT_TRUE(first.SetDoor(true));
  ASSERT_TRUE(first.GetIdentity(reply));
  EXPECT_EQ(reply.size(), 26u);
  ASSERT_TRUE(first.CloseDevice(CMciDevice::kCd));
  EXPECT_EQ(first.GetCdDeviceId(), 0u);
  ASSERT_TRUE(second.OpenCd('D'));
  ASSERT_TRUE(second.CloseDevice(CMciDevice::kCd));
}

}  // namespace
}  // namespace vx
