#include "platform/midi/MidiOutDevices.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <regex>

#include "platform/midi/VirtualMidiOut.h"
#include "support/TestFolder.h"

namespace vx::midi {
namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

DeviceConfig VirtualMidiConfig(const std::string& log) {
  return DeviceConfig::Parse(("midi=" + log).c_str(), nullptr);
}

}  // namespace

TEST(MidiVirtualOut, LogsOneLinePerShortMessage) {
  const std::string log = test::TestFolder() + "/midi.log";
  const MidiOutDevices devices(VirtualMidiConfig(log));
  std::unique_ptr<MidiOut> out;
  ASSERT_EQ(devices.Open(0, out), kOk);
  EXPECT_EQ(out->ShortMessage(PackShortMessage(0xD9, 0x0A, 0x3F)), kOk);
  EXPECT_EQ(out->ShortMessage(0x00002589), kOk);
  EXPECT_EQ(out->ShortMessage(0x007F2599), kOk);
  std::uint32_t volume = 0;
  EXPECT_EQ(out->GetVolume(volume), kOk);
  EXPECT_EQ(volume, 0xFFFFFFFFu);
  EXPECT_EQ(out->SetVolume(0xFF00FF00), kOk);
  EXPECT_EQ(out->GetVolume(volume), kOk);
  EXPECT_EQ(volume, 0xFF00FF00u);
  EXPECT_EQ(out->Close(), kOk);

  const auto lines = ReadLines(log);
  ASSERT_EQ(lines.size(), 4u);
  const char* expected[] = {"003F0AD9", "00002589", "007F2599"};
  long previous = 0;
  for (int i = 0; i < 3; ++i) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[i], match, std::regex(R"((\d+) ([0-9A-F]{8}))")))
        << lines[i];
    EXPECT_EQ(match[2], expected[i]);
    EXPECT_GE(std::stol(match[1]), previous);
    previous = std::stol(match[1]);
  }
  EXPECT_TRUE(std::regex_match(lines[3], std::regex(R"(\d+ volume FF00FF00)"))) << lines[3];

  // A second open in the same run appends; the first open of a run started the log afresh.
  ASSERT_EQ(devices.Open(0, out), kOk);
  EXPECT_EQ(out->ShortMessage(0x00402599), kOk);
  out.reset();  // destroying an open device closes it
  EXPECT_EQ(ReadLines(log).size(), 5u);
}

TEST(MidiVirtualOut, ReturnCodes) {
  const std::string log = test::TestFolder() + "/midi.log";
  const MidiOutDevices devices(VirtualMidiConfig(log));
  std::unique_ptr<MidiOut> out;
  EXPECT_EQ(devices.Open(1, out), kBadDeviceId);
  EXPECT_EQ(out, nullptr);
  ASSERT_EQ(devices.Open(0, out), kOk);
  EXPECT_EQ(out->ShortMessage(0x00000025), kInvalidParam);  // no status byte
  EXPECT_EQ(out->ShortMessage(0x000000F0), kInvalidParam);  // system exclusive
  EXPECT_EQ(out->Close(), kOk);
  EXPECT_FALSE(out->IsOpen());
  EXPECT_EQ(out->ShortMessage(0x007F2599), kInvalidHandle);
  std::uint32_t volume;
  EXPECT_EQ(out->SetVolume(0), kInvalidHandle);
  EXPECT_EQ(out->GetVolume(volume), kInvalidHandle);
  EXPECT_EQ(out->Close(), kInvalidHandle);
  EXPECT_TRUE(ReadLines(log).empty());

  const MidiOutDevices unwritable(VirtualMidiConfig(test::TestFolder() + "/no/such/dir/m.log"));
  EXPECT_EQ(unwritable.Open(0, out), kError);
  EXPECT_EQ(out, nullptr);
}

TEST(MidiDevices, ListFollowsTheConfiguration) {
  const std::vector<AlsaPortAddress> real = {{20, 0, "USB Keys: MIDI 1", kMidiPort}};
  MidiOutCaps caps;

  const MidiOutDevices virtualOnly(VirtualMidiConfig("/tmp/m.log"), real);
  ASSERT_EQ(virtualOnly.Count(), 1u);  // the real port is not listed
  ASSERT_TRUE(virtualOnly.Caps(0, caps));
  EXPECT_EQ(caps.name, "Virtual MIDI Output");
  EXPECT_EQ(caps.technology, kFmSynth);
  EXPECT_FALSE(virtualOnly.Caps(1, caps));

  EXPECT_EQ(MidiOutDevices(DeviceConfig::Parse("cd=/tray", nullptr), real).Count(), 0u);

  const MidiOutDevices machine(DeviceConfig{}, real);
  ASSERT_EQ(machine.Count(), 1u);
  ASSERT_TRUE(machine.Caps(0, caps));
  EXPECT_EQ(caps.name, "USB Keys: MIDI 1");
  EXPECT_EQ(caps.technology, kMidiPort);
}

TEST(MidiDevices, NoSequencerMeansAnEmptyList) {
  const auto ports = ListAlsaOutputPorts();  // must not fail or crash, sequencer or not
  if (access("/dev/snd/seq", F_OK) != 0) {
    EXPECT_TRUE(ports.empty());
  }
  const MidiOutDevices devices(DeviceConfig{});
  EXPECT_EQ(devices.Count(), ports.size());
}

TEST(MidiDevices, TechnologyFromPortType) {
  EXPECT_EQ(PortTechnology(SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE |
                               SND_SEQ_PORT_TYPE_PORT,
                           "USB Keys: MIDI 1"),
            kMidiPort);
  EXPECT_EQ(PortTechnology(SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SYNTH |
                               SND_SEQ_PORT_TYPE_HARDWARE,
                           "OPL3 FM synth: OPL3 FM Port"),
            kFmSynth);
  EXPECT_EQ(PortTechnology(SND_SEQ_PORT_TYPE_SYNTHESIZER | SND_SEQ_PORT_TYPE_HARDWARE,
                           "Card: Synth"),
            kSynthesizer);
  EXPECT_EQ(PortTechnology(SND_SEQ_PORT_TYPE_SYNTH | SND_SEQ_PORT_TYPE_HARDWARE,
                           "Beeper: Square wave"),
            kSquareWaveSynth);
  EXPECT_EQ(PortTechnology(SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SYNTH |
                               SND_SEQ_PORT_TYPE_DIRECT_SAMPLE | SND_SEQ_PORT_TYPE_HARDWARE,
                           "Emu10k1: WaveTable"),
            kWavetable);
  EXPECT_EQ(PortTechnology(SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SYNTHESIZER |
                               SND_SEQ_PORT_TYPE_SOFTWARE | SND_SEQ_PORT_TYPE_APPLICATION,
                           "FLUID Synth: Synth input port"),
            kSoftwareSynth);
  EXPECT_EQ(PortTechnology(SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SOFTWARE,
                           "Midi Through: Midi Through Port-0"),
            kMapper);
}

TEST(MidiMessages, LengthsFollowTheStatusByte) {
  EXPECT_EQ(PackShortMessage(0x99, 0x25, 0x7F), 0x007F2599u);
  EXPECT_EQ(ShortMessageLength(0x99), 3u);
  EXPECT_EQ(ShortMessageLength(0x89), 3u);
  EXPECT_EQ(ShortMessageLength(0xB0), 3u);
  EXPECT_EQ(ShortMessageLength(0xC5), 2u);
  EXPECT_EQ(ShortMessageLength(0xD9), 2u);
  EXPECT_EQ(ShortMessageLength(0xE0), 3u);
  EXPECT_EQ(ShortMessageLength(0xF1), 2u);
  EXPECT_EQ(ShortMessageLength(0xF2), 3u);
  EXPECT_EQ(ShortMessageLength(0xF8), 1u);
  EXPECT_EQ(ShortMessageLength(0xF0), 0u);
  EXPECT_EQ(ShortMessageLength(0x7F), 0u);
}

}  // namespace vx::midi
