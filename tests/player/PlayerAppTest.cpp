// The player's start-up, key routing and exit, with virtual outputs and a scripted person.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QTest>

#include "engine/EngineTestKit.h"
#include "PlayerTestKit.h"
#include "library/LibraryText.h"
#include "platform/instance/InstanceLock.h"
#include "platform/settings/ProfileSettings.h"
#include "player/CPlayerApp.h"
#include "player/CPreferencesDlg.h"
#include "player/CWavPlayerDlg.h"
#include "player/PlayerColors.h"
#include "player/PlayerText.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx::player::test {
namespace {

// A link that refuses to start the first `failures` times.
class FailingStart : public NoServer {
 public:
  explicit FailingStart(int* failures) : failures_(failures) {}
  int Start(const std::string&, int) override { return (*failures_)-- > 0 ? 2 : 0; }

 private:
  int* failures_;
};

class PlayerAppTest : public testing::Test {
 protected:
  CPlayerApp::Environment Env(int outputs) {
    devices_ = VirtualOutputs(outputs, 20);
    CPlayerApp::Environment env;
    env.devices = devices_.get();
    env.makeServerLink = [this] { return std::make_unique<FailingStart>(&startFailures); };
    return env;
  }
  QStringList Texts() const {
    QStringList texts;
    for (const QString& text : ui.Texts()) {
      if (text != QString::fromUtf8(text::kLowResolution)) texts << text;  // depends on the screen
    }
    return texts;
  }

  vx::test::ScriptedUi ui;
  int startFailures = 0;
  std::unique_ptr<wave::WaveDeviceList> devices_;
};

TEST_F(PlayerAppTest, MakesAtMostTwoDecksAndReadsTheSettings) {
  TestLibrary library;
  library.AddSong(1, 5, 120);
  library.AddSong(2, 5, 120, "HOUSE", "C");
  library.AddSong(3, 5, 120, "HOUSE", "A");
  ProfileSettings::Set(settings::kPlayerDlgBkColor, "255 000 000");
  ProfileSettings::Set(settings::kPlayerDlgTextColor, "12");
  ProfileSettings::Set(settings::kPlayerDlgLabelColor, "");
  for (int i = 1; i <= 5; ++i) {
    const int ids[] = {1, 2, 3, 99, -4};
    ProfileSettings::SetInt("Player", QStringLiteral("Hot%1").arg(i), ids[i - 1]);
  }
  ASSERT_EQ(ProfileSettings::GetString("Player", "SyncOffset", "absent"), "absent");

  CPlayerApp app(Env(3));
  ASSERT_TRUE(app.StartUp());
  EXPECT_TRUE(Texts().isEmpty()) << Texts().join("\n").toStdString();
  EXPECT_EQ(app.Frame()->windowTitle(), "Velumix Player");
  ASSERT_EQ(app.WavDeckCount(), 2);
  EXPECT_EQ(app.WavDeck(0)->DeviceName(), "Virtual Output 1");
  EXPECT_EQ(app.WavDeck(1)->windowTitle(), "WAV Player - F2 to Select");
  EXPECT_EQ(app.WavDeck(2), nullptr);

  EXPECT_EQ(app.Colors().background, QColor(255, 0, 0));
  EXPECT_EQ(app.Colors().text, QColor(12, 0, 0));
  EXPECT_EQ(app.Colors().highlight, QColor(255, 128, 0));  // absent: default
  EXPECT_EQ(app.Colors().label, QColor(140, 140, 140));    // empty: default
  EXPECT_EQ(ProfileSettings::GetString("Player", "SyncOffset", "absent"), "0.10");
  EXPECT_FLOAT_EQ(app.SyncOffset(), 0.1f);
  EXPECT_EQ(app.MeterDelay(), 7);
  // Only songs stored as files stay on the hot list.
  EXPECT_EQ(app.HotList(), (std::array<std::int32_t, 5>{1, 0, 3, 0, 0}));

  EXPECT_DOUBLE_EQ(app.DeckBpm(0), 0.0);
  ASSERT_TRUE(app.WavDeck(0)->LoadSong(1));
  EXPECT_DOUBLE_EQ(app.DeckBpm(0), 120.0);
  EXPECT_EQ(app.DeckSongType(0), "HOUSE");
  EXPECT_EQ(app.DeckSongAndHeardMs(0).first, 1);
  EXPECT_EQ(app.DeckSongAndHeardMs(5), (std::pair<std::int32_t, long>{0, 0}));

  app.ExitInstance();
  InstanceLock probe(text::kGlobalMutexName);
  EXPECT_TRUE(probe.TryAcquire());  // released at exit
}

TEST_F(PlayerAppTest, ADeckThatCannotStartGivesItsPlaceToTheNextDevice) {
  TestLibrary library;
  ProfileSettings::Set(settings::kSyncOffset, "0.25");
  startFailures = 1;
  CPlayerApp app(Env(3));
  ASSERT_TRUE(app.StartUp());
  EXPECT_EQ(Texts(), QStringList{"Couldn't start the WavPlayer thread for player 1. The error "
                                 "code was 2. Please record this error code and contact Tech "
                                 "Support."});
  ASSERT_EQ(app.WavDeckCount(), 2);
  EXPECT_EQ(app.WavDeck(0)->DeviceName(), "Virtual Output 2");
  EXPECT_EQ(app.WavDeck(0)->Index(), 0);
  EXPECT_EQ(app.WavDeck(1)->DeviceName(), "Virtual Output 3");
  EXPECT_FLOAT_EQ(app.SyncOffset(), 0.25f);
  EXPECT_EQ(ProfileSettings::Get(settings::kSyncOffset), "0.25");
}

TEST_F(PlayerAppTest, FunctionKeysSelectTheWindowsAndEscapeIsSwallowed) {
  TestLibrary library;
  QWidget* cdDeck = nullptr;
  CPlayerApp::Environment env = Env(1);
  env.cdDriveLetters = [] { return std::string("DE"); };
  env.makeCdDeck = [&](CPlayerApp&, const CPlayerApp::CdDeckPlace& place) {
    EXPECT_EQ(place.deckNumber, 1);
    EXPECT_EQ(place.driveLetter, 'D');
    cdDeck = new QWidget;
    cdDeck->setFocusPolicy(Qt::StrongFocus);
    return cdDeck;
  };
  CPlayerApp app(std::move(env));
  ASSERT_TRUE(app.StartUp());
  ASSERT_EQ(app.WavDeckCount(), 1);
  app.Frame()->activateWindow();
  QWidget* deck = app.WavDeck(0);
  QWidget* frame = app.Frame();

  QTest::keyClick(frame, Qt::Key_F2);
  EXPECT_EQ(frame->focusWidget(), cdDeck);
  QTest::keyClick(frame, Qt::Key_F1);
  EXPECT_EQ(frame->focusWidget(), deck);
  QTest::keyClick(frame, Qt::Key_F3);  // no third deck
  EXPECT_EQ(frame->focusWidget(), deck);
  QTest::keyClick(frame, Qt::Key_F12);  // no control panel yet
  EXPECT_EQ(frame->focusWidget(), deck);

  // Escape never reaches a window (a dialog would close on it).
  bool escaped = false;
  QObject::connect(app.WavDeck(0), &QDialog::rejected, [&] { escaped = true; });
  QTest::keyClick(deck, Qt::Key_Escape);
  EXPECT_FALSE(escaped);
  EXPECT_TRUE(deck->isVisible());
}

TEST_F(PlayerAppTest, RefusesASecondProgramAMissingLibraryAndAWrongVersion) {
  {
    InstanceLock running(text::kGlobalMutexName);
    ASSERT_TRUE(running.TryAcquire());
    CPlayerApp app(Env(1));
    EXPECT_FALSE(app.StartUp());
    EXPECT_EQ(Texts(), QStringList{QString::fromUtf8(text::kAnotherProgramRunning)});
    EXPECT_EQ(app.Frame(), nullptr);
  }
  ui.messages.clear();
  {
    CPlayerApp app(Env(1));
    EXPECT_FALSE(app.StartUp());  // no SongDbPath
    EXPECT_EQ(Texts(), QStringList{QString::fromUtf8(text::kPlayerNoDatabase)});
    EXPECT_EQ(app.WavDeckCount(), 0);
  }
  ui.messages.clear();
  {
    TestLibrary library;
    library.Db().Execute(
        "UPDATE VeluParms SET ParmValue = '1.0' WHERE ParmName = 'DatabaseVersion'");
    CPlayerApp app(Env(1));
    EXPECT_FALSE(app.StartUp());
    EXPECT_EQ(Texts(), QStringList{QString::fromUtf8(text::kPlayerDbVersion)});
    EXPECT_EQ(app.WavDeckCount(), 0);
  }
}

// The DJ names the outputs: deck 1 and deck 2 may both play on one output (mixed), the
// named ones come before the automatic order, and an unknown name falls away.
TEST_F(PlayerAppTest, NamedOutputsGiveTheDecksTheirPlacesAndMayBeShared) {
  TestLibrary library;
  library.AddSong(1, 5, 120);
  library.AddSong(2, 5, 120);
  ProfileSettings::Set(settings::kPlayerOutputs, "Virtual Output 3, nowhere");
  {
    CPlayerApp app(Env(3));
    ASSERT_TRUE(app.StartUp());
    ASSERT_EQ(app.WavDeckCount(), 2);
    EXPECT_EQ(app.WavDeck(0)->DeviceName(), "Virtual Output 3");
    EXPECT_EQ(app.WavDeck(1)->DeviceName(), "Virtual Output 1");
    app.ExitInstance();
  }
  ProfileSettings::Set(settings::kPlayerOutputs, "Virtual Output 2,Virtual Output 2");
  CPlayerApp app(Env(3));
  ASSERT_TRUE(app.StartUp());
  ASSERT_EQ(app.WavDeckCount(), 2);
  EXPECT_EQ(app.WavDeck(0)->DeviceName(), "Virtual Output 2");
  EXPECT_EQ(app.WavDeck(1)->DeviceName(), "Virtual Output 2");
  ASSERT_TRUE(LoadAndSettle(*app.WavDeck(0), 1));
  ASSERT_TRUE(LoadAndSettle(*app.WavDeck(1), 2));
  wave::WaveOutDevice& shared = *devices_->Output(1);
  std::uint64_t first = 0;
  std::uint64_t second = 0;
  // The decks open their output as they start to play, so wait for both openers.
  ASSERT_TRUE(ProcessUntil([&] {
    return shared.OpenCount() == 2 && shared.OpenerHandle(0)->Position(first) == wave::kOk &&
           first > 4410 && shared.OpenerHandle(1)->Position(second) == wave::kOk &&
           second > 4410;
  }));
  EXPECT_EQ(shared.PlayingFormat(), riff::WaveFormat::Pcm16(2, 44100));
  EXPECT_EQ(devices_->Output(0)->OpenCount(), 0u);
  EXPECT_EQ(app.WavDeck(0)->ErrorCount() + app.WavDeck(1)->ErrorCount(), 0);
}

// Split mode: deck 1 on the left channel, deck 2 on the right of the first output, each in
// mono. A song on deck 1 alone leaves its left+right mix on the left and silence on the right.
TEST_F(PlayerAppTest, SplitModePlaysDeckOneLeftAndDeckTwoRightInMono) {
  TestLibrary library;
  library.AddSong(1, 2, 120);
  ProfileSettings::Set(settings::kSplitOutput, 1);
  CPlayerApp app(Env(2));
  ASSERT_TRUE(app.StartUp());
  ASSERT_EQ(app.WavDeckCount(), 2);
  EXPECT_EQ(app.WavDeck(0)->DeviceName(), "Virtual Output 1 (left)");
  EXPECT_EQ(app.WavDeck(1)->DeviceName(), "Virtual Output 1 (right)");
  ASSERT_TRUE(LoadAndSettle(*app.WavDeck(0), 1));
  ASSERT_TRUE(ProcessUntil([&] { return app.WavDeck(0)->State() == DeckState::Paused; }));
  app.ExitInstance();

  const auto song = ReadSamples(library.SongsFolder() + "/Song0000000001.Wav");
  const auto tape = ReadSamples(vx::test::TestFolder() + "/tape0.wav");
  ASSERT_GE(tape.size(), song.size());
  for (std::size_t i = 0; i + 1 < song.size(); i += 2) {
    const int mix = (song[i] + song[i + 1]) / 2;
    ASSERT_EQ(tape[i], mix) << "frame " << i / 2;
    ASSERT_EQ(tape[i + 1], 0) << "frame " << i / 2;
  }
}

// Preferences: each deck's output is "Automatic" or one of the outputs; OK stores the
// choice for the next start, an automatic deck 1 before a named deck 2 as an empty name.
TEST_F(PlayerAppTest, PreferencesChooseEachDecksOutputForTheNextStart) {
  TestLibrary library;
  ProfileSettings::Set(settings::kPlayerOutputs, "Virtual Output 2");
  CPlayerApp app(Env(3));
  ASSERT_TRUE(app.StartUp());
  QStringList offered;
  QString deck1;
  ui.modalDriver = [&](QDialog& dialog) {
    auto& prefs = static_cast<CPreferencesDlg&>(dialog);
    auto* first = prefs.findChild<QComboBox*>(QStringLiteral("output1"));
    auto* second = prefs.findChild<QComboBox*>(QStringLiteral("output2"));
    if (!first || !second) return int(QDialog::Rejected);
    for (int i = 0; i < second->count(); ++i) offered << second->itemText(i);
    deck1 = first->currentText();
    first->setCurrentIndex(0);
    second->setCurrentText(QStringLiteral("Virtual Output 3"));
    prefs.OnOK();
    return prefs.result();
  };
  app.OnPreferences();
  EXPECT_EQ(offered, (QStringList{"Automatic", "Virtual Output 1", "Virtual Output 2",
                                  "Virtual Output 3"}));
  EXPECT_EQ(deck1, "Virtual Output 2");
  EXPECT_EQ(ProfileSettings::Get(settings::kPlayerOutputs), ",Virtual Output 3");
  EXPECT_EQ(app.WavDeck(0)->DeviceName(), "Virtual Output 2");  // from the next start on
}

// The kind of speed change: read at start (a value that is none of the kinds plays Classic),
// offered in the preferences behind its mnemonic, stored by OK and given to both decks,
// heard from their next load on.
TEST_F(PlayerAppTest, PitchQualityIsReadAtStartChosenInThePreferencesAndGivenToBothDecks) {
  TestLibrary library;
  library.AddSong(1, 2, 120);
  const auto playing = [](CPlayerApp& app, int deck, PitchQuality quality) {
    return EngineRig::WaitFor(
        [&] { return app.WavDeck(deck)->Engine()->PlayingQuality() == quality; });
  };
  ProfileSettings::Set(settings::kPitchQuality, 7);
  {
    CPlayerApp app(Env(2));
    ASSERT_TRUE(app.StartUp());
    ASSERT_EQ(app.WavDeckCount(), 2);
    QStringList offered;
    ui.modalDriver = [&](QDialog& dialog) {
      auto& prefs = static_cast<CPreferencesDlg&>(dialog);
      auto* kinds = prefs.findChild<QComboBox*>(QStringLiteral("pitchQuality"));
      if (kinds == nullptr) return int(QDialog::Rejected);
      for (int i = 0; i < kinds->count(); ++i) offered << kinds->itemText(i);
      offered << kinds->currentText();
      for (QLabel* label : prefs.findChildren<QLabel*>()) {
        if (label->text() == "&Pitch quality:" && label->buddy() == kinds) offered << "buddy";
      }
      kinds->setCurrentIndex(1);
      prefs.OnOK();
      return prefs.result();
    };
    app.OnPreferences();
    EXPECT_EQ(offered, (QStringList{"Classic", "Smooth", "Key lock", "Classic", "buddy"}));
    EXPECT_EQ(ProfileSettings::Get(settings::kPitchQuality), 1);
    for (int deck = 0; deck < 2; ++deck) {
      ASSERT_TRUE(app.WavDeck(deck)->LoadSong(1));
      EXPECT_TRUE(playing(app, deck, PitchQuality::kSmooth)) << deck;
    }
    // Cancel keeps the kind chosen.
    ui.modalDriver = [](QDialog& dialog) {
      dialog.findChild<QComboBox*>(QStringLiteral("pitchQuality"))->setCurrentIndex(0);
      return int(QDialog::Rejected);
    };
    app.OnPreferences();
    EXPECT_EQ(ProfileSettings::Get(settings::kPitchQuality), 1);
    ASSERT_TRUE(app.WavDeck(0)->LoadSong(1));
    EXPECT_TRUE(playing(app, 0, PitchQuality::kSmooth));
    app.ExitInstance();
  }
  // The next start reads it.
  CPlayerApp app(Env(2));
  ASSERT_TRUE(app.StartUp());
  ASSERT_TRUE(app.WavDeck(1)->LoadSong(1));
  EXPECT_TRUE(playing(app, 1, PitchQuality::kSmooth));
  EXPECT_EQ(app.WavDeck(1)->ErrorCount(), 0);
}

TEST(PlayerAppColors, StoredFormReadsFieldsAndWritesZeroPadded) {
  EXPECT_EQ(ParseColorString("255 000 000", Qt::blue), QColor(255, 0, 0));
  EXPECT_EQ(ParseColorString("12", Qt::blue), QColor(12, 0, 0));
  EXPECT_EQ(ParseColorString("", Qt::blue), QColor(Qt::blue));
  EXPECT_EQ(ParseColorString("999 abc 7", Qt::blue), QColor(255, 0, 7));
  EXPECT_EQ(ColorString(QColor(5, 80, 255)), "005 080 255");
}

}  // namespace
}  // namespace vx::player::test
