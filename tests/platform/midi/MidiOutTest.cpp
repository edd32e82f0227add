#include "platform/midi/MidiOutDevices.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <regex>

#include "platform/midi/SoftwareClickOut.h"
#include "platform/midi/VirtualMidiOut.h"
#include "platform/wave/WaveDeviceList.h"
#include "platform/wave/WaveTestSupport.h"
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

  // The software click needs a wave output to play on.
  EXPECT_EQ(MidiOutDevices(DeviceConfig::Parse("cd=/tray", nullptr), real).Count(), 0u);
  const MidiOutDevices withOutput(DeviceConfig::Parse("out=/tmp/t.wav;midi=/tmp/m.log", nullptr));
  ASSERT_EQ(withOutput.Count(), 2u);
  ASSERT_TRUE(withOutput.Caps(1, caps));
  EXPECT_EQ(caps.name, "Software Click");
  EXPECT_EQ(caps.technology, kSoftwareSynth);

  const MidiOutDevices machine(DeviceConfig{}, real);
  ASSERT_EQ(machine.Count(), 2u);
  ASSERT_TRUE(machine.Caps(0, caps));
  EXPECT_EQ(caps.name, "USB Keys: MIDI 1");
  EXPECT_EQ(caps.technology, kMidiPort);
  ASSERT_TRUE(machine.Caps(1, caps));
  EXPECT_EQ(caps.name, "Software Click");
}

TEST(MidiDevices, NoSequencerMeansAnEmptyList) {
  const auto ports = ListAlsaOutputPorts();  // must not fail or crash, sequencer or not
  if (access("/dev/snd/seq", F_OK) != 0) {
    EXPECT_TRUE(ports.empty());
  }
  const MidiOutDevices devices(DeviceConfig{});
  EXPECT_EQ(devices.Count(), ports.size() + 1);  // and the software click
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

TEST(SoftwareClick, NoteOnsClickOnTheFirstOutputMixedWithWhatPlaysThere) {
  const std::string tape = test::TestFolder() + "/tape.wav";
  wave::test::ScopedEnv devices("VELUMIX_DEVICES", ("out=" + tape).c_str());
  wave::test::ScopedEnv speed("VELUMIX_SPEED", "10");
  wave::WaveDeviceList::InstallSystem(nullptr);
  const MidiOutDevices list(DeviceConfig::FromEnvironment());
  ASSERT_EQ(list.Count(), 1u);

  // A song plays a steady level on the output; the click comes on top of it.
  constexpr std::int16_t kLevel = 1000;
  std::vector<std::uint8_t> steady;
  for (int i = 0; i < 44100 * 2; ++i) {
    steady.push_back(static_cast<std::uint8_t>(kLevel & 0xFF));
    steady.push_back(static_cast<std::uint8_t>(kLevel >> 8));
  }
  wave::test::TestBuffer song(steady);
  wave::test::DoneLog played;
  wave::WaveOut* songOut = nullptr;
  ASSERT_EQ(wave::WaveDeviceList::System().OpenOutput(0, riff::WaveFormat::Pcm16(2, 44100),
                                                      played.Callback(), songOut),
            wave::kOk);
  songOut->Prepare(song.header);
  songOut->Write(song.header);

  std::unique_ptr<MidiOut> click;
  ASSERT_EQ(list.Open(0, click), kOk);
  EXPECT_EQ(click->SetVolume(0x80008000), kOk);
  EXPECT_EQ(click->ShortMessage(0x00002589), kOk);  // note off: silent
  EXPECT_EQ(click->ShortMessage(0x00002599), kOk);  // velocity 0: silent
  EXPECT_EQ(click->ShortMessage(0x007F07B9), kOk);  // a controller: taken, no sound
  EXPECT_EQ(click->ShortMessage(0x007F2599), kOk);
  ASSERT_TRUE(played.WaitForDone(1));
  click.reset();
  songOut->Unprepare(song.header);
  songOut->Close();
  wave::WaveDeviceList::InstallSystem(nullptr);

  const auto contents = wave::test::ReadTape(tape);
  ASSERT_TRUE(contents);
  const auto sample = [&](std::size_t frame, int channel) {
    const std::size_t at = frame * 4 + static_cast<std::size_t>(channel) * 2;
    return static_cast<std::int16_t>(contents->samples[at] | contents->samples[at + 1] << 8);
  };
  const std::size_t frames = contents->samples.size() / 4;
  std::size_t first = 0;
  while (first < frames && sample(first, 0) == kLevel) ++first;
  ASSERT_LT(first, frames);
  // The click starts at a zero crossing, so its first differing frame is its second.
  const std::size_t start = first - 1;
  const std::vector<std::int16_t>& shape = SoftwareClickOut::ClickShape();
  ASSERT_LE(start + shape.size(), frames);
  const double gain = 0x80 / 255.0;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const int expected = kLevel + static_cast<int>(std::lround(shape[i] * gain));
    ASSERT_EQ(sample(start + i, 0), expected) << i;
    ASSERT_EQ(sample(start + i, 1), expected) << i;
  }
  // One click only, and the song's level around it.
  for (std::size_t frame = start + shape.size(); frame < 44100; ++frame) {
    ASSERT_EQ(sample(frame, 0), kLevel) << frame;
  }
}

}  // namespace vx::midi
