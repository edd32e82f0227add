// The CD deck on a virtual tray with a disc of three tone tracks and a data track (8 s, 8 s,
// 6 s, 2 s: track starts 150, 750, 1350, 1800 in CD frames), driven by keys as a DJ would.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSlider>

#include "cd/CdDeckKit.h"
#include "player/PlayerText.h"
#include "player/cd/CCdPlayerDlg.h"

namespace vx::player::test {
namespace {

constexpr long kTrack1 = 150, kTrack2 = 750, kTrack3 = 1350, kData = 1800;

class CdDeckTest : public testing::Test {
 protected:
  std::unique_ptr<CCdPlayerDlg> MakeDeck() {
    CdDeckSetup setup;
    setup.deckNumber = 1;
    setup.database = &library.Db();
    setup.host = &host;
    setup.tickCount = [this] { return ticks += tickStep; };
    auto deck = std::make_unique<CCdPlayerDlg>(std::move(setup));
    EXPECT_EQ(deck->StartUp(), CCdPlayerDlg::kReady);
    return deck;
  }
  QString Shown(const CCdPlayerDlg& deck, CdControl id) { return deck.Control(id)->text(); }

  CdMachine machine{1, "1"};
  TestLibrary library;
  HelpHost host;
  vx::test::ScriptedUi ui;
  long ticks = 1000;
  long tickStep = 1;
};

TEST_F(CdDeckTest, ADiscWithoutLoggedTracksStartsAtTrackOneWithPlaceholderTitles) {
  auto deck = MakeDeck();
  EXPECT_EQ(deck->windowTitle(), "CD Player - F2 to Select");
  const CdTrackList& tracks = deck->Tracks();
  ASSERT_EQ(tracks.Count(), 4);
  EXPECT_EQ(tracks.current, 1);
  EXPECT_EQ(tracks.loggedCount, 0);
  for (int t = 1; t <= 4; ++t) {
    EXPECT_EQ(tracks.Track(t).title, "Track " + std::to_string(t));
    EXPECT_EQ(tracks.Track(t).artist, t < 4 ? "Unknown Artist" : "No Audio");
  }
  EXPECT_EQ(tracks.Track(2).start, kTrack2);
  EXPECT_EQ(tracks.Track(2).End(), kTrack3);
  EXPECT_EQ(Shown(*deck, kCdCtlTitle), "Track 1");
  EXPECT_EQ(Shown(*deck, kCdCtlArtist), "Unknown Artist");
  EXPECT_EQ(Shown(*deck, kCdCtlTrack), "01 of 04");
  EXPECT_EQ(Shown(*deck, kCdCtlPosition), "00:00");
  EXPECT_EQ(Shown(*deck, kCdCtlLength), "00:08");
  EXPECT_EQ(Shown(*deck, kCdCtlBpm), "0.00");
  EXPECT_EQ(Shown(*deck, kCdCtlMode), "STOPPED");
  EXPECT_EQ(deck->TrackSlider()->maximum(), 4);
  EXPECT_EQ(deck->PositionSlider()->maximum(), 60);
  EXPECT_EQ(DevicePosition(*deck), kTrack1);

  // Space plays, pauses, and plays on from the pause (the device reports "paused").
  Type(*deck, Qt::Key_Space);
  EXPECT_EQ(Shown(*deck, kCdCtlMode), "PLAYING");
  EXPECT_EQ(DeviceMode(*deck), "playing");
  ASSERT_TRUE(ProcessUntil([&] { return DevicePosition(*deck) > kTrack1 + 10; }));
  Type(*deck, Qt::Key_Space);
  EXPECT_EQ(Shown(*deck, kCdCtlMode), "STOPPED");
  deck->OnStatusTimer();
  EXPECT_EQ(Shown(*deck, kCdCtlMode), "PAUSED");
  const long paused = DevicePosition(*deck);
  Type(*deck, Qt::Key_Space);
  EXPECT_EQ(DeviceMode(*deck), "playing");
  EXPECT_GE(DevicePosition(*deck), paused);
  EXPECT_LT(DevicePosition(*deck), kTrack2);

  // Delete goes to the next track and plays it from its start.
  Type(*deck, Qt::Key_Delete);
  EXPECT_EQ(deck->Tracks().current, 2);
  EXPECT_EQ(deck->TrackSlider()->value(), 2);
  EXPECT_EQ(deck->LiveCue(), kTrack2);
  EXPECT_EQ(Shown(*deck, kCdCtlTitle), "Track 2");
  EXPECT_GE(DevicePosition(*deck), kTrack2);
  EXPECT_EQ(DeviceMode(*deck), "playing");

  Type(*deck, Qt::Key_I);
  EXPECT_EQ(Shown(*deck, kCdCtlMessage), "CD-ROM Drive D");
  deck->OnMessageTimer();
  EXPECT_EQ(Shown(*deck, kCdCtlMessage), "");
  Type(*deck, Qt::Key_H);
  QCoreApplication::processEvents();
  EXPECT_EQ(host.helpTitle, "CDPlayer Help");
  EXPECT_EQ(host.helpText, QString::fromUtf8(text::kCdHelpText));
  EXPECT_EQ(deck->ErrorCount(), 0);
  EXPECT_EQ(Shown(*deck, kCdCtlErrorCount), "0");
}

TEST_F(CdDeckTest, LoggedTracksAreNamedAndCuedFromTheLibrary) {
  const std::string identity = machine.DiscIdentity();
  LogTrack(library, identity, 2, 20, "SONG TWO", {"00:01:00", "0:1:00", "00:02:30"});
  LogTrack(library, identity, 3, 30, "SONG THREE");
  LogTrack(library, "another disc", 1, 40, "ELSEWHERE");
  auto deck = MakeDeck();
  const CdTrackList& tracks = deck->Tracks();
  EXPECT_EQ(tracks.loggedCount, 2);
  EXPECT_EQ(tracks.current, 2);  // the first logged track
  EXPECT_EQ(tracks.Track(1).title, "Track 1");
  EXPECT_EQ(Shown(*deck, kCdCtlTitle), "SONG TWO");
  EXPECT_EQ(Shown(*deck, kCdCtlArtist), "ARTIST 20");
  EXPECT_EQ(Shown(*deck, kCdCtlThird), "ATTR");
  EXPECT_EQ(Shown(*deck, kCdCtlBpm), "128.00");
  EXPECT_EQ(Shown(*deck, kCdCtlTrack), "02 of 04");
  EXPECT_EQ(DevicePosition(*deck), kTrack2);
  // The cue that cannot be read is left out; the others keep their order.
  ASSERT_EQ(tracks.Track(2).cues.size(), 2u);
  EXPECT_EQ(tracks.Track(2).cues[0].offset, 75);
  EXPECT_EQ(tracks.Track(2).cues[1].offset, 180);
  EXPECT_EQ(tracks.Track(2).cues[1].description, "CUE 3");

  // A cue while stopped moves there; a cue the track does not have does nothing.
  Type(*deck, Qt::Key_2, kPad);
  EXPECT_EQ(DevicePosition(*deck), kTrack2 + 180);
  EXPECT_EQ(Shown(*deck, kCdCtlMessage), "CUE 3");
  Type(*deck, Qt::Key_3, kPad);
  EXPECT_EQ(DevicePosition(*deck), kTrack2 + 180);
  // The live cue: set where the deck is, played from anywhere.
  Type(*deck, Qt::Key_Period, kPad);
  EXPECT_EQ(deck->LiveCue(), kTrack2 + 180);
  EXPECT_EQ(Shown(*deck, kCdCtlMessage), "Set Live Cue");
  Type(*deck, Qt::Key_Home);
  Type(*deck, Qt::Key_0, kPad);
  EXPECT_EQ(DevicePosition(*deck), kTrack2 + 180);
  EXPECT_EQ(Shown(*deck, kCdCtlMessage), "Live Cue");

  // SHIFT moves between logged tracks only; the last logged track has none after it.
  Type(*deck, Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(deck->Tracks().current, 3);
  EXPECT_EQ(DevicePosition(*deck), kTrack3);
  Type(*deck, Qt::Key_End);
  Type(*deck, Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(deck->Tracks().current, 3);
  EXPECT_EQ(DevicePosition(*deck), kData - 1);
  Type(*deck, Qt::Key_Delete);
  EXPECT_EQ(deck->Tracks().current, 4);
  Type(*deck, Qt::Key_Delete);  // the last track
  EXPECT_EQ(deck->Tracks().current, 4);
  Type(*deck, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(deck->Tracks().current, 3);
  Type(*deck, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(deck->Tracks().current, 2);
  Type(*deck, Qt::Key_Insert, Qt::ShiftModifier);  // no logged track before it
  EXPECT_EQ(deck->Tracks().current, 2);
  Type(*deck, Qt::Key_Insert);
  EXPECT_EQ(deck->Tracks().current, 1);
  EXPECT_EQ(Shown(*deck, kCdCtlTitle), "Track 1");
  Type(*deck, Qt::Key_Insert);  // track 1
  EXPECT_EQ(deck->Tracks().current, 1);
  EXPECT_EQ(deck->ErrorCount(), 0);
}

TEST_F(CdDeckTest, MovesStayInsideTheTrackThatHoldsThePosition) {
  auto deck = MakeDeck();
  Type(*deck, Qt::Key_Delete);  // track 2: 750 to 1349
  const auto after = [&](int key) {
    Type(*deck, key);
    return DevicePosition(*deck);
  };
  EXPECT_EQ(after(Qt::Key_End), kTrack3 - 1);
  EXPECT_EQ(after(Qt::Key_Up), kTrack3 - 2);
  EXPECT_EQ(after(Qt::Key_Down), kTrack3 - 1);  // past the end: its last frame
  EXPECT_EQ(after(Qt::Key_PageDown), kTrack3 - 1);
  EXPECT_EQ(after(Qt::Key_Right), kTrack3 - 1);
  EXPECT_EQ(after(Qt::Key_Left), kTrack3 - 1 - 150);
  EXPECT_EQ(after(Qt::Key_PageUp), kTrack2);  // not before the start
  EXPECT_EQ(after(Qt::Key_Right), kTrack2 + 150);
  EXPECT_EQ(after(Qt::Key_PageDown), kTrack3 - 1);  // 10 s on would leave the track
  EXPECT_EQ(after(Qt::Key_Home), kTrack2);
  EXPECT_EQ(after(Qt::Key_Down), kTrack2 + 75);
  EXPECT_EQ(after(Qt::Key_Left), kTrack2);

  // Page Down within ten seconds of the end while playing: the end, not the next track.
  Type(*deck, Qt::Key_Space);
  Type(*deck, Qt::Key_PageDown);
  EXPECT_GE(DevicePosition(*deck), kTrack3 - 1);
  EXPECT_LT(DevicePosition(*deck), kTrack3 + 75);
  EXPECT_EQ(deck->ErrorCount(), 0);
}

TEST_F(CdDeckTest, AnOpenedTrayAsksForADiscAndAClosedOneIsRebuiltAndPlayed) {
  auto deck = MakeDeck();
  const QString firstAlias = deck->Alias();
  machine.SetTrayOpen(true);
  deck->OnStatusTimer();
  EXPECT_EQ(Shown(*deck, kCdCtlTitle), "Insert audio CD");
  EXPECT_EQ(Shown(*deck, kCdCtlArtist), "");
  EXPECT_EQ(Shown(*deck, kCdCtlPosition), "--:--");
  EXPECT_EQ(Shown(*deck, kCdCtlLength), "--:--");
  EXPECT_EQ(Shown(*deck, kCdCtlTrack), "--/--");
  EXPECT_EQ(Shown(*deck, kCdCtlMode), "OPEN");
  EXPECT_TRUE(deck->DiscChanged());
  Type(*deck, Qt::Key_Space);  // keys wait for a disc
  EXPECT_EQ(Shown(*deck, kCdCtlMode), "OPEN");

  machine.SetTrayOpen(false);
  deck->OnStatusTimer();
  EXPECT_FALSE(deck->DiscChanged());
  EXPECT_EQ(Shown(*deck, kCdCtlTitle), "Track 1");
  EXPECT_EQ(Shown(*deck, kCdCtlTrack), "01 of 04");
  EXPECT_EQ(Shown(*deck, kCdCtlMode), "PLAYING");
  EXPECT_EQ(DeviceMode(*deck), "playing");
  // The device was opened afresh and the old alias let go.
  EXPECT_NE(deck->Alias(), firstAlias);
  EXPECT_EQ(mci::MciSession::System().DeviceId(firstAlias.toStdString()), 0u);
  EXPECT_EQ(deck->ErrorCount(), 0);
}

TEST_F(CdDeckTest, ADeckStartedWithoutADiscTakesTheFirstOneInserted) {
  machine.SetTrayOpen(true);
  auto deck = MakeDeck();
  EXPECT_EQ(Shown(*deck, kCdCtlTitle), "Insert audio CD");
  EXPECT_EQ(Shown(*deck, kCdCtlMode), "OPEN");
  machine.SetTrayOpen(false);
  deck->OnStatusTimer();
  EXPECT_EQ(deck->Tracks().Count(), 4);
  EXPECT_EQ(DeviceMode(*deck), "playing");
}

TEST_F(CdDeckTest, TenCompensatedCuePlaysFoldIntoOneEntryOfWeightTen) {
  LogTrack(library, machine.DiscIdentity(), 1, 10, "SONG ONE", {"00:02:00"});
  tickStep = 130;  // every tick read is 130 ms on: the play command takes 10 frames
  auto deck = MakeDeck();
  Type(*deck, Qt::Key_Space);
  Type(*deck, Qt::Key_Enter);
  EXPECT_TRUE(deck->LagCompensation());
  for (int play = 1; play <= 9; ++play) {
    Type(*deck, Qt::Key_1, kPad);
    EXPECT_EQ(deck->LagHistory().Count(), play);
  }
  Type(*deck, Qt::Key_1, kPad);
  ASSERT_EQ(deck->LagHistory().Count(), 1);
  EXPECT_EQ(deck->LagHistory().At(0).weight, 10);
  EXPECT_EQ(deck->LagHistory().At(0).value, deck->LagHistory().Lag());
  EXPECT_GT(deck->LagHistory().Lag(), 0);
  EXPECT_LE(deck->LagHistory().Lag(), 10);
  // Compensated plays start the lag ahead of the cue.
  EXPECT_GE(DevicePosition(*deck), kTrack1 + 150);

  // Without compensation the cue plays exactly; Enter toggles back.
  Type(*deck, Qt::Key_Return);
  EXPECT_FALSE(deck->LagCompensation());
  Type(*deck, Qt::Key_1, kPad);
  EXPECT_EQ(deck->LagHistory().Count(), 1);
  EXPECT_EQ(deck->ErrorCount(), 0);
}

TEST_F(CdDeckTest, ADriveThatCannotBeOpenedIsReportedAndTheDeckGoes) {
  CdDeckSetup setup;
  setup.driveLetter = 'E';
  CCdPlayerDlg deck(std::move(setup));
  EXPECT_EQ(deck.StartUp(), CCdPlayerDlg::kNotOpened);
  EXPECT_EQ(ui.Texts(), std::vector<QString>{"Couldn't open CD Player E. The error code was 1. Please "
                                    "record this error code and contact Tech Support."});
}

}  // namespace
}  // namespace vx::player::test
