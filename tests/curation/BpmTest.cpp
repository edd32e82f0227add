// The BPM counter on the virtual MIDI output: tempo handling, the click's messages and
// timing, the volume, and failures to open.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QSlider>
#include <algorithm>
#include <thread>

#include "curation/CBpmDlg.h"
#include "curation/CurationTestKit.h"
#include "curation/CurationText.h"
#include "curation/Metronome.h"
#include "platform/midi/MidiOut.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/wave/WaveDeviceList.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

constexpr std::uint32_t kNoteOn = 0x007F2599;
constexpr std::uint32_t kNoteOff = 0x00002589;
constexpr std::uint32_t kSetUp = 0x003F0AD9;

class Bpm : public testing::Test {
 protected:
  explicit Bpm(const char* speed = "20") : machine_(speed) {
    song_.filePath = test::TestFolder() + "/song.wav";
    song_.name = "SONG";
    test::WriteSilentSong(song_.filePath, 600000);
  }

  std::unique_ptr<CBpmDlg> Open(double tempo, int device = 0, std::uint8_t note = 37) {
    return std::make_unique<CBpmDlg>(tempo, device, note, song_);
  }

  std::vector<test::MidiLine> Log() { return test::ReadMidiLog(machine_.MidiLog()); }

  // Waits until the log holds `count` note-on messages at or after line `from`.
  void WaitForClicks(std::size_t from, std::size_t count) {
    ASSERT_TRUE(wave::test::Eventually([&] { return NoteOns(from).size() >= count; }));
  }
  std::vector<long long> NoteOns(std::size_t from) {
    const std::vector<test::MidiLine> log = Log();
    std::vector<long long> times;
    for (std::size_t i = from; i < log.size(); ++i) {
      if (!log[i].volume && log[i].value == kNoteOn) times.push_back(log[i].ms);
    }
    return times;
  }

  static QString Field(CBpmDlg& dialog) { return dialog.findChild<QLineEdit*>("bpmField")->text(); }
  static void Type(CBpmDlg& dialog, const char* text) {
    dialog.findChild<QLineEdit*>("bpmField")->setText(QString::fromLatin1(text));
  }

  test::ScriptedUi ui_;
  test::CurationMachine machine_;
  CBpmDlg::Song song_;
};

// The beat of a run of clicks: the median of the slopes between every two clicks, which late
// clicks (a busy machine) barely move.
double BeatOf(const std::vector<long long>& times) {
  std::vector<double> slopes;
  for (std::size_t i = 0; i < times.size(); ++i) {
    for (std::size_t j = i + 5; j < times.size(); ++j) {
      slopes.push_back(static_cast<double>(times[j] - times[i]) / static_cast<double>(j - i));
    }
  }
  std::nth_element(slopes.begin(), slopes.begin() + slopes.size() / 2, slopes.end());
  return slopes[slopes.size() / 2];
}

TEST_F(Bpm, OpensAtTheDefaultTempoAndClicksOnChannelTen) {
  auto dialog = Open(0);
  EXPECT_EQ(dialog->windowTitle(), "Set Beats Per Minute");
  EXPECT_EQ(Field(*dialog), "100.00");
  WaitForClicks(0, 12);
  dialog.reset();

  const std::vector<test::MidiLine> log = Log();
  ASSERT_GE(log.size(), 4u);
  EXPECT_TRUE(log[0].volume);
  EXPECT_EQ(log[0].value, 0xFFFFFFFFu);
  EXPECT_EQ(log[1].value, kSetUp);
  // Then note off and note on on every beat, nothing else.
  for (std::size_t i = 2; i + 1 < log.size(); i += 2) {
    EXPECT_EQ(log[i].value, kNoteOff);
    EXPECT_EQ(log[i + 1].value, kNoteOn);
  }
  // The first click comes a beat after the set-up, never before; then one every 600 ms.
  const std::vector<long long> clicks = NoteOns(0);
  EXPECT_GE(clicks[0] - log[1].ms, 595);
  EXPECT_NEAR(BeatOf(clicks), 600, 40);
}

TEST_F(Bpm, ArrowsAndTypedTempos) {
  auto dialog = Open(1.02);
  EXPECT_EQ(Field(*dialog), "1.02");
  dialog->OnStep(-1);
  dialog->OnStep(-1);
  dialog->OnStep(-1);
  EXPECT_EQ(Field(*dialog), "1.00");
  dialog.reset();

  dialog = Open(249.99);
  dialog->OnStep(1);
  dialog->OnStep(1);
  EXPECT_EQ(Field(*dialog), "250.00");
  EXPECT_DOUBLE_EQ(dialog->Tempo(), 250.0);

  // A tempo out of range is not taken: the field shows the tempo in force again.
  Type(*dialog, "300");
  dialog->OnRestart();
  EXPECT_EQ(Field(*dialog), "250.00");
  Type(*dialog, "128.5x");
  dialog->OnSet();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_DOUBLE_EQ(dialog->Tempo(), 128.5);
}

TEST_F(Bpm, VolumeSliderIsLoudAtTheTopAndIsRemembered) {
  ProfileSettings::Set(settings::kMidiVolume, 0x40004000);
  auto dialog = Open(120);
  auto* slider = dialog->findChild<QSlider*>("volumeSlider");
  EXPECT_EQ(slider->value(), 255 - 0x40);
  slider->setValue(slider->maximum());
  EXPECT_EQ(dialog->Volume(), 0u);
  slider->setValue(slider->minimum());
  EXPECT_EQ(dialog->Volume(), 0xFF00FF00u);
  dialog.reset();
  EXPECT_EQ(static_cast<std::uint32_t>(ProfileSettings::Get(settings::kMidiVolume)), 0xFF00FF00u);
  std::vector<std::uint32_t> volumes;
  for (const test::MidiLine& line : Log()) {
    if (line.volume) volumes.push_back(line.value);
  }
  EXPECT_EQ(volumes, (std::vector<std::uint32_t>{0x40004000, 0, 0xFF00FF00}));
}

TEST_F(Bpm, AMissingMidiOutputEndsTheCounter) {
  auto dialog = Open(120, 3);
  EXPECT_EQ(ui_.Texts(), std::vector<QString>{text::kMidiOpenFailed});
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(Bpm, SoftwareClickSoundsOnTheSongsOutput) {
  // Device 1 of this machine is the software click: it plays beside the song on output 0.
  auto dialog = Open(120, 1);
  ASSERT_TRUE(wave::test::Eventually([&] {
    const auto tape = wave::test::ReadTape(machine_.Tape());
    return tape && tape->samples.size() >= 44100u * 4 * 3;
  }));
  dialog.reset();
  wave::WaveDeviceList::InstallSystem(nullptr);

  const auto tape = wave::test::ReadTape(machine_.Tape());
  ASSERT_TRUE(tape);
  ASSERT_EQ(tape->format.samplesPerSec, 44100u);
  // Click onsets: the first sound after at least 100 ms of silence (the song is silent).
  std::vector<std::size_t> onsets;
  std::size_t quiet = 44100;
  for (std::size_t frame = 0; frame * 4 + 1 < tape->samples.size(); ++frame) {
    const auto left = static_cast<std::int16_t>(tape->samples[frame * 4] |
                                                tape->samples[frame * 4 + 1] << 8);
    if (left == 0) {
      ++quiet;
      continue;
    }
    if (quiet >= 4410) onsets.push_back(frame);
    quiet = 0;
  }
  ASSERT_GE(onsets.size(), 4u);
  std::vector<std::size_t> gaps;
  for (std::size_t i = 1; i < onsets.size(); ++i) gaps.push_back(onsets[i] - onsets[i - 1]);
  std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
  EXPECT_NEAR(static_cast<double>(gaps[gaps.size() / 2]), 22050, 2205);  // 120 BPM: 0.5 s
  EXPECT_TRUE(ui_.messages.empty());
}

// The click's timing, at a speed where a millisecond of device time is still well resolved.
class BpmTiming : public Bpm {
 protected:
  BpmTiming() : Bpm("4") {}
};

TEST_F(BpmTiming, RestartClicksAtOnceThenOnTheExactBeat) {
  auto dialog = Open(100);
  WaitForClicks(0, 1);
  Type(*dialog, "120.5");
  const std::size_t before = Log().size();
  dialog->OnRestart();
  EXPECT_DOUBLE_EQ(dialog->Tempo(), 120.5);
  WaitForClicks(before, 41);
  dialog.reset();

  const std::vector<test::MidiLine> log = Log();
  // Restart sends a lone note on (no note off before it); the beats follow as off/on pairs.
  std::size_t restart = before;
  while (restart < log.size() &&
         !(log[restart].value == kNoteOn && log[restart - 1].value == kNoteOn)) {
    ++restart;
  }
  ASSERT_LT(restart + 1, log.size());
  EXPECT_EQ(log[restart + 1].value, kNoteOff);
  for (std::size_t i = restart + 1; i + 1 < log.size(); i += 2) {
    EXPECT_EQ(log[i].value, kNoteOff);
    EXPECT_EQ(log[i + 1].value, kNoteOn);
  }
  const std::vector<long long> clicks = NoteOns(restart);
  ASSERT_GE(clicks.size(), 30u);
  // 60000 / 120.5 = 497.93 ms; a beat rounded to whole milliseconds would be 497.
  EXPECT_NEAR(BeatOf(clicks), 497.93, 0.3);
  EXPECT_NEAR(static_cast<double>(clicks[1] - clicks[0]), 497.93, 100);
}

// A device without a volume of its own: what an outside synthesizer would receive.
class SilentPort : public midi::MidiOut {
 public:
  ~SilentPort() override { Close(); }
  std::vector<std::uint32_t> sent;

 protected:
  unsigned Send(const std::uint8_t*, std::size_t, std::uint32_t message) override {
    sent.push_back(message);
    return midi::kOk;
  }
  void Release() override {}
};

TEST(Metronome, MessagesForTheNoteAndChannelVolumeWhereTheDeviceHasNoVolume) {
  const MetronomeMessages messages = MetronomeMessages::ForNote(42);
  EXPECT_EQ(messages.noteOn, 0x007F2A99u);
  EXPECT_EQ(messages.noteOff, 0x00002A89u);
  EXPECT_EQ(messages.setUp, 0x003F0AD9u);
  EXPECT_EQ(Metronome::BeatPeriod(128).count(), 468750000);
  EXPECT_EQ(Metronome::BeatPeriod(120.5).count(), 497925311);

  SilentPort port;
  {
    Metronome metronome(port, 37);
    metronome.SetVolume(0xFF00FF00);
    metronome.SetVolume(0x80008000);
    metronome.SetVolume(0);
  }
  EXPECT_EQ(port.sent, (std::vector<std::uint32_t>{0x007F07B9, 0x004007B9, 0x000007B9}));
}

}  // namespace
}  // namespace vx
