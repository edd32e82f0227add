// A song recorded from the virtual input, stored in the library and played on a deck.
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "curation/CSongInfoDlg.h"
#include "library/SongStore.h"
#include "platform/devices/DeviceConfig.h"
#include "player/PlayerTestKit.h"
#include "player/engine/EngineTestKit.h"
#include "recorder/CRecorderMainWindow.h"
#include "recording/CRecordNewSongDlg.h"
#include "recording/ToolOutput.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

using player::test::DeckRig;
using player::test::ProcessUntil;
using player::test::ReadSamples;

constexpr std::uint32_t kStereoBytesPerSecond = 176400;

// Zero crossings of the left channel, upwards, per second of stereo samples.
double LeftFrequency(const std::vector<std::int16_t>& samples) {
  int crossings = 0;
  for (std::size_t i = 2; i < samples.size(); i += 2) {
    if (samples[i - 2] < 0 && samples[i] >= 0) ++crossings;
  }
  return crossings / (static_cast<double>(samples.size() / 2) / 44100.0);
}

// The position of `part` inside `whole`, or -1.
long Find(const std::vector<std::int16_t>& whole, const std::vector<std::int16_t>& part) {
  const auto found = std::search(whole.begin(), whole.end(), part.begin(), part.end());
  return found == whole.end() ? -1 : static_cast<long>(found - whole.begin());
}

TEST(RecordSongEndToEnd, AToneFromTheVirtualInputIsStoredAndPlaysOnADeck) {
  test::ScriptedUi ui;
  std::vector<std::int16_t> song;
  {
    DeckRig rig(20, 1);
    DeviceConfig input;
    input.virtualOnly = true;
    input.waveInput = "tone:440";
    input.speed = 10;
    wave::WaveDeviceList::InstallSystem(wave::WaveDeviceList::Build(input, {}));

    RecorderState state;
    state.libraryFolder = QString::fromStdString(rig.library.Folder());
    state.database = &rig.library.Db();
    state.inventory.waveInputs = 1;
    CRecorderMainWindow::Environment env;
    env.diskSpace = [](const std::string&) { return DiskFigures{1, 2}; };
    CRecorderMainWindow window(std::move(state), std::move(env));

    ui.modalDriver = [](QDialog& dialog) {
      if (auto* recorder = qobject_cast<CRecordNewSongDlg*>(&dialog)) {
        recorder->findChild<QPushButton*>(QStringLiteral("recordButton"))->click();
        EXPECT_TRUE(ProcessUntil(
            [&] { return recorder->BytesWritten() >= 5 * kStereoBytesPerSecond; }));
        recorder->findChild<QPushButton*>(QStringLiteral("doneButton"))->click();
      } else if (qobject_cast<CSongInfoDlg*>(&dialog) != nullptr) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit")), "a440");
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("artistEdit")), "tuner");
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      }
      return dialog.result();
    };
    window.RunFlow(RecorderFlow::RecordNewSong);
    wave::WaveDeviceList::InstallSystem(nullptr);

    const std::string file = SongFileName(rig.library.Folder(), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Information);

    // Outside readers take the file as 44.1 kHz 16-bit stereo of five seconds and a little.
    const std::string sox = test::SoxInfo(file);
    EXPECT_NE(sox.find("Channels       : 2"), std::string::npos) << sox;
    EXPECT_NE(sox.find("Sample Rate    : 44100"), std::string::npos) << sox;
    EXPECT_NE(sox.find("Precision      : 16-bit"), std::string::npos) << sox;
    EXPECT_NE(sox.find("Duration       : 00:00:05."), std::string::npos) << sox;
    const std::string probe = test::FfprobeInfo(file);
    EXPECT_NE(probe.find("codec_name=pcm_s16le"), std::string::npos) << probe;
    EXPECT_NE(probe.find("sample_rate=44100"), std::string::npos) << probe;
    EXPECT_NE(probe.find("channels=2"), std::string::npos) << probe;
    EXPECT_EQ(probe.find("rror"), std::string::npos) << probe;

    song = ReadSamples(file);
    EXPECT_GE(song.size(), 5u * 88200);
    EXPECT_NEAR(LeftFrequency(song), 440.0, 2.0);

    // The deck plays the new song to its end.
    player::CWavPlayerDlg& deck = rig.AddDeck();
    ASSERT_TRUE(deck.LoadSong(1));
    EXPECT_EQ(deck.State(), player::DeckState::Playing);
    ASSERT_TRUE(ProcessUntil([&] { return deck.State() != player::DeckState::Playing; }, 60000));
    EXPECT_EQ(deck.ErrorCount(), 0);
  }
  // The decks are closed: the tape holds the song, sample for sample.
  const std::vector<std::int16_t> tape = ReadSamples(test::TestFolder() + "/tape0.wav");
  const std::vector<std::int16_t> start(song.begin(), song.begin() + 88200);
  const long at = Find(tape, start);
  ASSERT_GE(at, 0);
  ASSERT_GE(tape.size(), static_cast<std::size_t>(at) + song.size());
  EXPECT_TRUE(std::equal(song.begin(), song.end(), tape.begin() + at));
}

}  // namespace
}  // namespace vx
