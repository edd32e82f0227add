// The CD deck in the player: made for the first drive after the WAV decks, reached by its
// function key, given the preferences' colours, and heard on an output of its own (or on the
// chosen shared one) while the WAV decks play.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTest>

#include <algorithm>

#include "cd/CdDeckKit.h"
#include "engine/EngineTestKit.h"
#include "platform/settings/ProfileSettings.h"
#include "player/CPlayerApp.h"
#include "player/cd/CdDeckHook.h"

namespace vx::player::test {
namespace {

CPlayerApp::Environment PlayerEnvironment() {
  CPlayerApp::Environment env;
  env.makeServerLink = [] { return std::make_unique<NoServer>(); };
  env.makeCdDeck = MakeCdDeck;
  return env;
}

CCdPlayerDlg* CdDeckOf(const CPlayerApp& app) { return qobject_cast<CCdPlayerDlg*>(app.CdDeck()); }

TEST(CdDeckInPlayer, FollowsOneWavDeckOnF2AndTakesTheNewColours) {
  CdMachine machine(1, "20");
  TestLibrary library;
  vx::test::ScriptedUi ui;
  CPlayerApp app(PlayerEnvironment());
  ASSERT_TRUE(app.StartUp());
  ASSERT_EQ(app.WavDeckCount(), 1);
  CCdPlayerDlg* deck = CdDeckOf(app);
  ASSERT_NE(deck, nullptr);
  EXPECT_EQ(deck->windowTitle(), "CD Player - F2 to Select");
  EXPECT_EQ(deck->Output(), 0u);  // the only output, held by the WAV deck

  app.Frame()->activateWindow();
  QTest::keyClick(app.Frame(), Qt::Key_F2);
  EXPECT_EQ(app.Frame()->focusWidget(), deck);
  QTest::keyClick(app.Frame(), Qt::Key_F3);
  EXPECT_EQ(app.Frame()->focusWidget(), deck);
  QTest::keyClick(app.Frame(), Qt::Key_F1);
  EXPECT_EQ(app.Frame()->focusWidget(), app.WavDeck(0));

  PlayerColors colors = SchemeColors(ColorScheme::Day);
  colors.background = QColor(10, 20, 30);
  app.ApplyColors(colors);
  EXPECT_EQ(deck->Background(), QColor(10, 20, 30));
  EXPECT_EQ(deck->Control(kCdCtlTitle)->Color(), colors.text);
  EXPECT_EQ(deck->Control(kCdCtlMessage)->Color(), colors.highlight);
  app.ExitInstance();
}

TEST(CdDeckInPlayer, SharesTheChosenOutputWhenTheWavDecksHoldThemAll) {
  CdMachine machine(2, "20");
  TestLibrary library;
  vx::test::ScriptedUi ui;
  ProfileSettings::Set(settings::kCdOutput, 1);
  {
    CPlayerApp app(PlayerEnvironment());
    ASSERT_TRUE(app.StartUp());
    ASSERT_EQ(app.WavDeckCount(), 2);
    ASSERT_NE(CdDeckOf(app), nullptr);
    EXPECT_EQ(CdDeckOf(app)->Output(), 1u);
    EXPECT_EQ(CdDeckOf(app)->windowTitle(), "CD Player - F3 to Select");
    app.ExitInstance();
  }
  ProfileSettings::Set(settings::kCdOutput, 7);  // no such output: the first
  CPlayerApp app(PlayerEnvironment());
  ASSERT_TRUE(app.StartUp());
  EXPECT_EQ(CdDeckOf(app)->Output(), 0u);
}

TEST(CdDeckInPlayer, PlaysTheRightTrackOnItsOwnOutputWhileAWavDeckPlays) {
  CdMachine machine(3, "4");
  TestLibrary library;
  library.AddSong(1, 8, 120);
  vx::test::ScriptedUi ui;
  {
    CPlayerApp app(PlayerEnvironment());
    ASSERT_TRUE(app.StartUp());
    ASSERT_EQ(app.WavDeckCount(), 2);
    CCdPlayerDlg* deck = CdDeckOf(app);
    ASSERT_NE(deck, nullptr);
    EXPECT_EQ(deck->Output(), 2u);
    ASSERT_TRUE(LoadAndSettle(*app.WavDeck(0), 1));
    Type(*deck, Qt::Key_Delete);
    Type(*deck, Qt::Key_Space);
    EXPECT_EQ(DeviceMode(*deck), "playing");
    // Two seconds of the track, in device time.
    ASSERT_TRUE(ProcessUntil([&] { return DevicePosition(*deck) >= 750 + 150; }));
    EXPECT_EQ(app.WavDeck(0)->State(), DeckState::Playing);
    EXPECT_EQ(deck->ErrorCount(), 0);
    EXPECT_EQ(app.WavDeck(0)->ErrorCount(), 0);
    app.ExitInstance();
  }
  const auto cdTape = wave::test::ReadTape(machine.Tape(2));
  ASSERT_TRUE(cdTape);
  ASSERT_GE(cdTape->samples.size(), 44100u * 4);
  EXPECT_NEAR(ToneFrequency(cdTape->samples, 4410, 22050), ToneOfTrack(2), 10);
  // The WAV deck's song went to its own tape (mixed in, the tone above would not hold).
  const auto wavTape = wave::test::ReadTape(machine.Tape(0));
  ASSERT_TRUE(wavTape);
  EXPECT_TRUE(std::any_of(wavTape->samples.begin(), wavTape->samples.end(),
                          [](std::uint8_t byte) { return byte != 0; }));
}

}  // namespace
}  // namespace vx::player::test
