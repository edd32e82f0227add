// WAV decks on virtual outputs, driven by key events as a DJ drives them.
#include "player/CWavPlayerDlg.h"

#include <QListWidget>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "PlayerTestKit.h"
#include "engine/EngineTestKit.h"
#include "platform/riff/WaveFile.h"
#include "player/CLevelMeter.h"
#include "player/engine/CWavPlayerThread.h"
#include "player/DeckEvents.h"
#include "player/DeckMath.h"
#include "player/MeterDelayRing.h"
#include "player/PlayerText.h"
#include "player/CSongChooserDlg.h"
#include "support/ScriptedUi.h"

namespace vx::player::test {
namespace {

constexpr std::uint32_t kBytesPerSecond = 176400;

QString Shown(const CWavPlayerDlg& deck, DeckControl id) { return deck.Control(id)->text(); }

// Long enough that nothing ends while a test looks at it.
constexpr double kLong = 60;

TEST(WavDeck, NotReadyAcceptsOnlyF4ThenLoadsTheChosenSong) {
  vx::test::ScriptedUi ui;
  DeckRig rig;
  rig.library.AddSong(1, 30, 120);
  rig.library.AddSong(2, 30, 99.5);
  CWavPlayerDlg& deck = rig.AddDeck();
  EXPECT_EQ(deck.windowTitle(), "WAV Player - F1 to Select");
  EXPECT_EQ(Shown(deck, kCtlState), "NO SONG");
  EXPECT_EQ(Shown(deck, kCtlSongName), "*No song selected*");
  EXPECT_EQ(Shown(deck, kCtlArtist), "*F4 to choose song*");
  EXPECT_EQ(Shown(deck, kCtlCurrentTime), "--:--");
  EXPECT_EQ(Shown(deck, kCtlTotalTime), "--:--");
  EXPECT_EQ(Shown(deck, kCtlLabelPitchBpm), "PITCH/BPM");

  for (int key : {Qt::Key_Space, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Delete, Qt::Key_Left,
                  Qt::Key_H, Qt::Key_1, Qt::Key_L, Qt::Key_Backspace}) {
    QTest::keyClick(&deck, static_cast<Qt::Key>(key));
  }
  QTest::keyClick(&deck, Qt::Key_Plus, kPad);
  QTest::keyClick(&deck, Qt::Key_3, kPad);
  QCoreApplication::processEvents();
  EXPECT_EQ(deck.State(), DeckState::NotReady);
  EXPECT_EQ(deck.PitchSlider()->value(), 120);
  EXPECT_FALSE(deck.BendActive());
  EXPECT_TRUE(rig.helpTitle.isEmpty());
  EXPECT_EQ(deck.ErrorCount(), 0);

  // F4 opens the song chooser; Find lists both songs and the second is chosen.
  ui.modalDriver = [](QDialog& dialog) {
    auto* chooser = dynamic_cast<CSongChooserDlg*>(&dialog);
    EXPECT_NE(chooser, nullptr);
    if (chooser == nullptr) return int(QDialog::Rejected);
    chooser->OnFind();
    auto* list = chooser->List();
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), "[120.00] SONG 1 (ARTIST 1)");
    list->setCurrentRow(1);
    return int(QDialog::Accepted);
  };
  QTest::keyClick(&deck, Qt::Key_F4);
  ASSERT_TRUE(ProcessUntil([&] { return deck.HasSong(); }));
  EXPECT_EQ(deck.SongId(), 2);
  EXPECT_EQ(deck.State(), DeckState::Playing);
  EXPECT_EQ(Shown(deck, kCtlState), "PLAYING");
  EXPECT_EQ(deck.Control(kCtlState)->Color(), QColor(0, 192, 0));
  EXPECT_EQ(Shown(deck, kCtlSongName), "SONG 2");
  EXPECT_EQ(Shown(deck, kCtlArtist), "ARTIST 2");
  EXPECT_EQ(Shown(deck, kCtlAttributes), "ATTR");
  EXPECT_EQ(Shown(deck, kCtlCurrentTime), "00:00");
  EXPECT_EQ(Shown(deck, kCtlTotalTime), "00:30");
  EXPECT_EQ(Shown(deck, kCtlBpm), "99.50");
  EXPECT_EQ(Shown(deck, kCtlPitch), "+0.0");
  EXPECT_EQ(deck.PositionSlider()->maximum(), 30);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(WavDeck, SpaceAndPadPlusToggleAndCtrlMovesTheLiveCue) {
  DeckRig rig;
  rig.library.AddSong(1, 2, 120);
  CWavPlayerDlg& deck = rig.AddDeck();
  ASSERT_TRUE(deck.LoadSong(1));
  QTest::keyClick(&deck, Qt::Key_Space);
  EXPECT_EQ(deck.State(), DeckState::Paused);
  EXPECT_EQ(Shown(deck, kCtlState), "PAUSED");
  EXPECT_EQ(deck.Control(kCtlState)->Color(), QColor(250, 250, 0));
  QTest::keyClick(&deck, Qt::Key_Plus, kPad);
  EXPECT_EQ(deck.State(), DeckState::Playing);
  QTest::keyClick(&deck, Qt::Key_Space);
  EXPECT_EQ(deck.State(), DeckState::Paused);

  // CTRL: the live cue walks in 100 ms steps, wraps past the song's 2 s, never goes below 0.
  for (int i = 0; i < 20; ++i) QTest::keyClick(&deck, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(deck.LiveCueMs(), 2000);
  QTest::keyClick(&deck, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(deck.LiveCueMs(), 0);
  QTest::keyClick(&deck, Qt::Key_Minus, Qt::ControlModifier | kPad);
  EXPECT_EQ(deck.LiveCueMs(), 0);
  QTest::keyClick(&deck, Qt::Key_Plus, Qt::ControlModifier | kPad);
  QTest::keyClick(&deck, Qt::Key_Plus, Qt::ControlModifier | kPad);
  QTest::keyClick(&deck, Qt::Key_Minus, Qt::ControlModifier | kPad);
  EXPECT_EQ(deck.LiveCueMs(), 100);
  EXPECT_EQ(deck.State(), DeckState::Paused);
  EXPECT_EQ(deck.ErrorCount(), 0);
}

TEST(WavDeck, TenSecondJumpsAndEndNearTheEndsOfTheSong) {
  DeckRig rig;
  rig.library.AddSong(1, 15, 120);
  rig.library.AddSong(2, 45, 120);
  CWavPlayerDlg& deck = rig.AddDeck();
  ASSERT_TRUE(LoadAndSettle(deck, 1));
  QTest::keyClick(&deck, Qt::Key_Space);  // paused: the jumps only seek
  QTest::keyClick(&deck, Qt::Key_PageUp);
  EXPECT_EQ(deck.PositionSlider()->value(), 0);
  QTest::keyClick(&deck, Qt::Key_PageDown);
  EXPECT_EQ(deck.PositionSlider()->value(), 10);
  // Once the display has seen the engine at 10 s, ten more seconds run past the end.
  const std::uint32_t start = deck.Song().dataStart;
  ASSERT_TRUE(ProcessUntil([&] {
    std::uint32_t end = 0;
    return deck.Engine()->GetReadPosition(end) >= long(start + 10 * kBytesPerSecond);
  }));
  deck.OnDisplayTimer();
  // The engine reads ahead of what is heard: the display shows its read position.
  EXPECT_TRUE(Shown(deck, kCtlCurrentTime).startsWith("00:1"))
      << Shown(deck, kCtlCurrentTime).toStdString();
  QTest::keyClick(&deck, Qt::Key_PageDown);
  EXPECT_EQ(deck.PositionSlider()->value(), 0);
  // End on a song shorter than 20 s goes to the start.
  deck.PositionSlider()->setValue(7);
  QTest::keyClick(&deck, Qt::Key_End);
  EXPECT_EQ(deck.PositionSlider()->value(), 0);
  EXPECT_EQ(Shown(deck, kCtlMessage), "End of Song");
  deck.OnMessageTimer();
  EXPECT_EQ(Shown(deck, kCtlMessage), "");

  ASSERT_TRUE(LoadAndSettle(deck, 2));
  QTest::keyClick(&deck, Qt::Key_End);
  EXPECT_EQ(deck.PositionSlider()->value(), 25);
  QTest::keyClick(&deck, Qt::Key_Home);
  EXPECT_EQ(deck.PositionSlider()->value(), 0);
  EXPECT_EQ(Shown(deck, kCtlMessage), "Start of Song");
  EXPECT_EQ(deck.ErrorCount(), 0);
}

TEST(WavDeck, InsertAndDeleteStepThePitchWithinTheSliderLimits) {
  DeckRig rig;
  rig.library.AddSong(1, kLong, 100);
  CWavPlayerDlg& deck = rig.AddDeck();
  ASSERT_TRUE(deck.LoadSong(1));
  for (int i = 0; i < 11; ++i) QTest::keyClick(&deck, Qt::Key_Delete);
  EXPECT_EQ(deck.PitchSlider()->value(), 230);
  for (int i = 0; i < 5; ++i) QTest::keyClick(&deck, Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(deck.PitchSlider()->value(), 235);
  QTest::keyClick(&deck, Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(deck.PitchSlider()->value(), 236);
  EXPECT_EQ(Shown(deck, kCtlPitch), "+11.6");
  QTest::keyClick(&deck, Qt::Key_Delete);
  EXPECT_EQ(deck.PitchSlider()->value(), 240);
  QTest::keyClick(&deck, Qt::Key_Delete);
  EXPECT_EQ(deck.PitchSlider()->value(), 240);
  EXPECT_DOUBLE_EQ(deck.Pitch(), 12.0);
  EXPECT_EQ(Shown(deck, kCtlBpm), "112.00");
  EXPECT_EQ(deck.Control(kCtlBpm)->Color(), deck.Control(kCtlMessage)->Color());  // highlight
  EXPECT_DOUBLE_EQ(deck.Engine()->Pitch(), 12.0);

  QTest::keyClick(&deck, Qt::Key_Backspace);
  EXPECT_EQ(deck.PitchSlider()->value(), 120);
  EXPECT_EQ(Shown(deck, kCtlPitch), "+0.0");
  EXPECT_EQ(Shown(deck, kCtlBpm), "100.00");
  EXPECT_EQ(deck.Control(kCtlBpm)->Color(), QColor(160, 80, 0));
  for (int i = 0; i < 13; ++i) QTest::keyClick(&deck, Qt::Key_Insert);
  EXPECT_EQ(deck.PitchSlider()->value(), 0);
  QTest::keyClick(&deck, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(deck.PitchSlider()->value(), 0);
  EXPECT_EQ(Shown(deck, kCtlPitch), "-12.0");
  QTest::keyClick(&deck, Qt::Key_Insert, Qt::ShiftModifier | kPad);  // pad 0 without NumLock
  EXPECT_EQ(deck.PitchSlider()->value(), 0);
  EXPECT_EQ(deck.ErrorCount(), 0);
}

TEST(WavDeck, EverySliderPositionIsItsOwnPitchInTheEngineAndOnTheDisplay) {
  DeckRig rig;
  rig.library.AddSong(1, kLong, 120);
  CWavPlayerDlg& deck = rig.AddDeck();
  ASSERT_TRUE(deck.LoadSong(1));
  for (int i = 0; i < 12; ++i) QTest::keyClick(&deck, Qt::Key_Delete);
  for (int position = 240; position >= 0; --position) {
    SCOPED_TRACE(position);
    ASSERT_EQ(deck.PitchSlider()->value(), position);
    const double tenths = position - 120;
    EXPECT_EQ(deck.Pitch(), tenths / 10);
    EXPECT_EQ(deck.Engine()->Pitch(), deck.Pitch());  // -0.1 is not taken for 0
    EXPECT_EQ(PitchToSlider(deck.Pitch()), position);
    EXPECT_EQ(Shown(deck, kCtlPitch),
              position == 120 ? QString("+0.0") : QString::asprintf("%+.1f", tenths / 10));
    EXPECT_DOUBLE_EQ(deck.CurrentBpm(), 120 * (1 + tenths / 1000));
    QTest::keyClick(&deck, Qt::Key_Insert, Qt::ShiftModifier);
  }
  EXPECT_EQ(deck.ErrorCount(), 0);
}

TEST(WavDeck, BendStartsOnTheFirstKeyDownAndIsUndoneOnKeyUp) {
  DeckRig rig;
  rig.library.AddSong(1, kLong, 120);
  CWavPlayerDlg& deck = rig.AddDeck();
  ASSERT_TRUE(deck.LoadSong(1));
  for (int i = 0; i < 11; ++i) QTest::keyClick(&deck, Qt::Key_Insert);
  ASSERT_DOUBLE_EQ(deck.Pitch(), -11.0);

  Press(deck, Qt::Key_Left);
  EXPECT_TRUE(deck.BendActive());
  EXPECT_DOUBLE_EQ(deck.Pitch(), -12.0);
  EXPECT_EQ(deck.PitchSlider()->value(), 0);
  // Auto-repeat of the held key and any other key change nothing during the bend.
  for (int i = 0; i < 5; ++i) {
    Release(deck, Qt::Key_Left, Qt::NoModifier, true);
    Press(deck, Qt::Key_Left, Qt::NoModifier, true);
  }
  Type(deck, Qt::Key_Backspace);
  Type(deck, Qt::Key_Space);
  EXPECT_DOUBLE_EQ(deck.Pitch(), -12.0);
  EXPECT_EQ(deck.State(), DeckState::Playing);
  Release(deck, Qt::Key_Left);
  EXPECT_FALSE(deck.BendActive());
  EXPECT_DOUBLE_EQ(deck.Pitch(), -11.0);
  EXPECT_EQ(deck.PitchSlider()->value(), 10);
  EXPECT_EQ(Shown(deck, kCtlPitch), "-11.0");
  EXPECT_DOUBLE_EQ(deck.Engine()->Pitch(), -11.0);

  // The other arrows, with and without SHIFT, limited at +12.
  QTest::keyClick(&deck, Qt::Key_Backspace);
  Press(deck, Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_DOUBLE_EQ(deck.Pitch(), 4.0);
  Release(deck, Qt::Key_Up, Qt::ShiftModifier);
  for (int i = 0; i < 10; ++i) QTest::keyClick(&deck, Qt::Key_Delete);
  Press(deck, Qt::Key_Up);
  EXPECT_DOUBLE_EQ(deck.Pitch(), 12.0);
  Release(deck, Qt::Key_Up);
  EXPECT_DOUBLE_EQ(deck.Pitch(), 10.0);
  Press(deck, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_DOUBLE_EQ(deck.Pitch(), 11.0);
  Release(deck, Qt::Key_Right);
  Press(deck, Qt::Key_Down);
  EXPECT_DOUBLE_EQ(deck.Pitch(), 2.0);
  // Losing the focus in the middle of a bend ends it: the key-up would go elsewhere.
  QWidget elsewhere;
  elsewhere.show();
  deck.show();
  deck.activateWindow();
  deck.setFocus();
  QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(&deck, &out);
  EXPECT_FALSE(deck.BendActive());
  EXPECT_DOUBLE_EQ(deck.Pitch(), 10.0);
}

TEST(WavDeck, SyncBpmMatchesTheOtherDeckWithinTwelvePercent) {
  DeckRig rig;
  rig.library.AddSong(1, kLong, 120);
  rig.library.AddSong(2, kLong, 126);
  rig.library.AddSong(3, kLong, 140);
  rig.library.AddSong(4, kLong, 130);
  CWavPlayerDlg& deck = rig.AddDeck();
  ASSERT_TRUE(deck.LoadSong(1));
  // No other deck: nothing happens.
  QTest::keyClick(&deck, Qt::Key_Minus, kPad);
  EXPECT_DOUBLE_EQ(deck.Pitch(), 0.0);
  EXPECT_EQ(Shown(deck, kCtlMessage), "");

  CWavPlayerDlg& other = rig.AddDeck();
  ASSERT_TRUE(other.LoadSong(2));
  QTest::keyClick(&deck, Qt::Key_Minus, kPad);
  EXPECT_NEAR(deck.Pitch(), 4.7619, 1e-4);
  EXPECT_EQ(Shown(deck, kCtlPitch), "+4.8");
  EXPECT_EQ(Shown(deck, kCtlMessage), "Sync BPM");
  EXPECT_EQ(deck.PitchSlider()->value(), 167);
  EXPECT_NEAR(deck.Engine()->Pitch(), 4.7619, 1e-4);

  ASSERT_TRUE(other.LoadSong(3));
  QTest::keyClick(&deck, Qt::Key_Backspace);
  QTest::keyClick(&deck, Qt::Key_Minus, kPad);
  EXPECT_DOUBLE_EQ(deck.Pitch(), 0.0);

  ASSERT_TRUE(other.LoadSong(4));
  QTest::keyClick(&deck, Qt::Key_Minus, kPad);
  EXPECT_EQ(Shown(deck, kCtlPitch), "+7.7");
  EXPECT_EQ(deck.ErrorCount(), 0);
}

// The other deck parked at 10 s of a song; the clock runs at a tenth of real time so that
// positions can be read closely.
class WavDeckChorus : public testing::Test {
 protected:
  WavDeckChorus() : rig(0.1) {
    rig.library.AddSong(1, kLong, 120);
    rig.library.AddSong(2, kLong, 120);
  }
  // Loads the song and waits until the engine plays it (a command given before the engine
  // took the previous one replaces it).
  static void LoadAndWait(CWavPlayerDlg& deck, std::int32_t song) {
    ASSERT_TRUE(LoadAndSettle(deck, song));
  }
  // Paused at the start.
  static void Rewind(CWavPlayerDlg& deck) {
    if (deck.State() == DeckState::Playing) QTest::keyClick(&deck, Qt::Key_Space);
    QTest::keyClick(&deck, Qt::Key_Home);
    ASSERT_TRUE(ProcessUntil([&] { return deck.HeardMs() == 0; }));
  }
  void Park(CWavPlayerDlg& other, std::int32_t song) {
    LoadAndWait(other, song);
    QTest::keyClick(&other, Qt::Key_Space);
    QTest::keyClick(&other, Qt::Key_PageDown);
    ASSERT_TRUE(ProcessUntil([&] { return other.HeardMs() == 10000; }));
  }
  // The first position heard after the jump away from the start lies within 400 ms after
  // target.
  static bool JumpedTo(CWavPlayerDlg& deck, long target) {
    long heard = 0;
    if (!ProcessUntil([&] { return (heard = deck.HeardMs()) >= 5000; })) return false;
    EXPECT_GE(heard, target);
    EXPECT_LT(heard, target + 400);
    return heard >= target && heard < target + 400;
  }
  DeckRig rig;
};

TEST_F(WavDeckChorus, StartsThisDeckAFractionOfABeatBehindTheOtherDeck) {
  CWavPlayerDlg& deck = rig.AddDeck();
  CWavPlayerDlg& other = rig.AddDeck();
  Park(other, 1);
  LoadAndWait(deck, 1);
  Rewind(deck);
  QTest::keyClick(&deck, Qt::Key_Slash, kPad);
  EXPECT_EQ(Shown(deck, kCtlMessage), "Full Beat Chorus");
  EXPECT_EQ(deck.State(), DeckState::Playing);
  EXPECT_TRUE(JumpedTo(deck, 9000));
  Rewind(deck);
  QTest::keyClick(&deck, Qt::Key_Slash, Qt::ShiftModifier | kPad);
  EXPECT_EQ(Shown(deck, kCtlMessage), "Quarter Beat Chorus");
  EXPECT_TRUE(JumpedTo(deck, 9750));
  Rewind(deck);
  QTest::keyClick(&deck, Qt::Key_Slash, Qt::ControlModifier | kPad);
  EXPECT_EQ(Shown(deck, kCtlMessage), "Half Beat Chorus");
  EXPECT_TRUE(JumpedTo(deck, 9500));
  Rewind(deck);
  QTest::keyClick(&deck, Qt::Key_Asterisk, kPad);
  EXPECT_EQ(Shown(deck, kCtlMessage), "Flange Chorus");
  EXPECT_TRUE(JumpedTo(deck, 10000));
  EXPECT_EQ(deck.ErrorCount(), 0);
}

TEST_F(WavDeckChorus, FlangeAndChorusNeedTheSameSongOnAnotherDeck) {
  CWavPlayerDlg& deck = rig.AddDeck();
  LoadAndWait(deck, 1);
  QTest::keyClick(&deck, Qt::Key_Asterisk, kPad);
  QTest::keyClick(&deck, Qt::Key_Slash, kPad);
  EXPECT_EQ(Shown(deck, kCtlMessage), "");  // no other deck: no BPM, no effect

  CWavPlayerDlg& other = rig.AddDeck();
  Park(other, 2);
  QTest::keyClick(&deck, Qt::Key_Asterisk, kPad);
  EXPECT_EQ(Shown(deck, kCtlMessage), "");
  QTest::keyClick(&deck, Qt::Key_Slash, kPad);
  // The chorus is announced but this deck stays where it was (far from 9 s).
  EXPECT_EQ(Shown(deck, kCtlMessage), "Full Beat Chorus");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_LT(deck.HeardMs(), 5000);
  EXPECT_EQ(deck.ErrorCount(), 0);
}

TEST(WavDeck, PresetCuesJumpOnlyToCuesTheSongHas) {
  DeckRig rig;
  rig.library.AddSong(1, kLong, 120, "HOUSE", " ",
                      {"00:01.000", "00:05.250", "00:12.500", "00:20.000", "01:30.000"});
  CWavPlayerDlg& deck = rig.AddDeck();
  ASSERT_TRUE(deck.LoadSong(1));
  ASSERT_EQ(deck.Song().cues.size(), 5u);
  EXPECT_EQ(deck.Song().cues[2].byteOffset, 12 * kBytesPerSecond + 176 * 500);
  QTest::keyClick(&deck, Qt::Key_7, kPad);
  EXPECT_EQ(deck.PositionSlider()->value(), 0);
  EXPECT_EQ(Shown(deck, kCtlMessage), "");
  QTest::keyClick(&deck, Qt::Key_3, kPad);
  EXPECT_EQ(deck.PositionSlider()->value(), 12);
  EXPECT_EQ(Shown(deck, kCtlMessage), "CUE 3");
  // A cue beyond the data puts the slider at 0.
  QTest::keyClick(&deck, Qt::Key_5, kPad);
  EXPECT_EQ(deck.PositionSlider()->value(), 0);
  EXPECT_EQ(Shown(deck, kCtlMessage), "CUE 5");
  EXPECT_EQ(deck.ErrorCount(), 0);
}

TEST(WavDeck, PadPeriodSetsTheLiveCuePadZeroPlaysItAndEnterSwitchesDecks) {
  DeckRig rig;
  rig.library.AddSong(1, kLong, 120);
  CWavPlayerDlg& deck = rig.AddDeck();
  ASSERT_TRUE(LoadAndSettle(deck, 1));
  // Paused at 10 s: what is heard there becomes the live cue.
  QTest::keyClick(&deck, Qt::Key_Space);
  QTest::keyClick(&deck, Qt::Key_PageDown);
  ASSERT_TRUE(ProcessUntil([&] { return deck.HeardMs() == 10000; }));
  QTest::keyClick(&deck, Qt::Key_Period, kPad);
  EXPECT_EQ(deck.LiveCueMs(), 10000);
  EXPECT_EQ(Shown(deck, kCtlMessage), "Set Live Cue");
  QTest::keyClick(&deck, Qt::Key_Home);
  ASSERT_TRUE(ProcessUntil([&] { return deck.HeardMs() == 0; }));
  QTest::keyClick(&deck, Qt::Key_0, kPad);
  EXPECT_EQ(deck.PositionSlider()->value(), 10);
  EXPECT_EQ(Shown(deck, kCtlMessage), "Live Cue");
  EXPECT_TRUE(ProcessUntil([&] { return deck.HeardMs() == 10000; }));
  // The main keyboard's 0 and period are not the pad's.
  QTest::keyClick(&deck, Qt::Key_Home);
  QTest::keyClick(&deck, Qt::Key_0);
  QTest::keyClick(&deck, Qt::Key_Period);
  EXPECT_EQ(deck.PositionSlider()->value(), 0);
  EXPECT_EQ(deck.LiveCueMs(), 10000);

  // Enter (either key) gives the other deck the focus; with no other deck nothing happens.
  rig.selected = nullptr;
  QTest::keyClick(&deck, Qt::Key_Return);
  EXPECT_EQ(rig.selected, nullptr);
  CWavPlayerDlg& other = rig.AddDeck();
  QTest::keyClick(&deck, Qt::Key_Return);
  EXPECT_EQ(rig.selected, &other);
  QTest::keyClick(&other, Qt::Key_Enter, kPad);  // not ready: only F4 works there
  EXPECT_EQ(rig.selected, &other);
  ASSERT_TRUE(other.LoadSong(1));
  QTest::keyClick(&other, Qt::Key_Enter, kPad);
  EXPECT_EQ(rig.selected, &deck);
  EXPECT_EQ(deck.ErrorCount(), 0);
}

// A turn of the mouse wheel over a slider.
void Wheel(QWidget& widget, int notches) {
  const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
  QWheelEvent wheel(at, widget.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&widget, &wheel);
}

TEST(WavDeck, WheelTrackClicksAndDragEndsOnTheSlidersSeekAndSetThePitch) {
  DeckRig rig;
  rig.library.AddSong(1, kLong, 120);
  CWavPlayerDlg& deck = rig.AddDeck();
  deck.show();
  ASSERT_TRUE(LoadAndSettle(deck, 1));
  QTest::keyClick(&deck, Qt::Key_Space);

  // The pitch slider: the wheel moves it, and the pitch follows in the engine.
  QSlider& pitch = *deck.PitchSlider();
  Wheel(pitch, 1);
  ASSERT_GT(pitch.value(), 120);
  EXPECT_EQ(deck.Pitch(), SliderToPitch(pitch.value()));
  EXPECT_EQ(deck.Engine()->Pitch(), deck.Pitch());
  EXPECT_EQ(Shown(deck, kCtlPitch), QString::asprintf("%+.1f", deck.Pitch()));
  const int moved = pitch.value();
  QTest::keyClick(&deck, Qt::Key_Insert, Qt::ShiftModifier);  // steps from where it is
  EXPECT_EQ(pitch.value(), moved - 1);
  // A click on the track pages it (what a click there does depends on the style).
  pitch.triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(pitch.value(), moved - 1 - pitch.pageStep());
  EXPECT_EQ(deck.Pitch(), SliderToPitch(pitch.value()));
  EXPECT_EQ(deck.Engine()->Pitch(), deck.Pitch());

  // The position slider: a page step on its track seeks a page on, the wheel a few seconds.
  QSlider& position = *deck.PositionSlider();
  position.triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(position.value(), position.pageStep());
  EXPECT_TRUE(ProcessUntil([&] { return deck.HeardMs() == 1000L * position.value(); }));
  Wheel(position, 1);
  EXPECT_GT(position.value(), position.pageStep());
  EXPECT_TRUE(ProcessUntil([&] { return deck.HeardMs() == 1000L * position.value(); }));

  // A drag acts once, when it ends: nothing moves while the thumb is held.
  const long heard = deck.HeardMs();
  position.setSliderDown(true);
  position.setSliderPosition(25);
  pitch.setSliderDown(true);
  pitch.setSliderPosition(130);
  QTest::qWait(50);
  EXPECT_EQ(deck.HeardMs(), heard);
  EXPECT_NE(deck.Pitch(), 1.0);
  position.setSliderDown(false);
  pitch.setSliderDown(false);
  EXPECT_EQ(deck.Pitch(), 1.0);
  EXPECT_EQ(deck.Engine()->Pitch(), 1.0);
  EXPECT_TRUE(ProcessUntil([&] { return deck.HeardMs() == 25000; }));
  EXPECT_EQ(deck.ErrorCount(), 0);
}

TEST(WavDeck, MeterShowsLevelsMeasuredDelayTicksEarlier) {
  MeterDelayRing ring(7);
  for (int tick = 0; tick < 30; ++tick) {
    const auto shown = ring.Push(tick + 1, 100 - tick);
    if (tick < 7) {
      EXPECT_EQ(shown, std::make_pair(0, 0)) << tick;
    } else {
      EXPECT_EQ(shown, std::make_pair(tick + 1 - 7, 100 - (tick - 7))) << tick;
    }
  }
  MeterDelayRing none(0);
  EXPECT_EQ(none.Push(40, 50), std::make_pair(40, 50));
  EXPECT_EQ(MeterDelayRing(61).Delay(), 60);
  EXPECT_EQ(MeterDelayRing(-1).Delay(), 60);

  EXPECT_EQ(MeterValue(32767), 100);
  EXPECT_EQ(MeterValue(3277), 20);
  EXPECT_EQ(MeterValue(100), 0);
  EXPECT_EQ(MeterValue(0), 0);
  EXPECT_EQ(MeterValue(40000), 100);

  // On a deck: silence while paused, and a delay of 99 becomes 60.
  DeckRig rig;
  rig.library.AddSong(1, kLong, 120);
  CWavPlayerDlg& deck = rig.AddDeck(99);
  EXPECT_EQ(deck.MeterDelay(), 60);
  ASSERT_TRUE(deck.LoadSong(1));
  QTest::keyClick(&deck, Qt::Key_Space);
  for (int i = 0; i < 130; ++i) deck.OnMeterTimer();
  EXPECT_EQ(deck.Meter()->Left(), 0);
  EXPECT_EQ(deck.Meter()->Right(), 0);
}

// Counts the song-ended messages a control panel receives.
class PanelProbe : public QObject {
 public:
  std::vector<int> ended;
  void customEvent(QEvent* event) override {
    if (event->type() == DeckEventType(kSongEndedMessage)) {
      ended.push_back(static_cast<DeckEvent*>(event)->DeckIndex());
    }
  }
};

TEST(WavDeck, EndOfSongIsReportedOnceAndTheDeckTurnsPaused) {
  PanelProbe panel;
  DeckRig rig(4);
  rig.controlPanel = &panel;
  rig.library.AddSong(1, 1, 120);
  CWavPlayerDlg& deck = rig.AddDeck();
  ASSERT_TRUE(LoadAndSettle(deck, 1));
  ASSERT_TRUE(ProcessUntil([&] {
    std::uint32_t end = 0;
    deck.Engine()->GetReadPosition(end);
    return end == 1;
  }));
  deck.OnDisplayTimer();
  deck.OnDisplayTimer();
  QCoreApplication::sendPostedEvents(&panel);
  EXPECT_EQ(panel.ended, std::vector<int>{0});
  EXPECT_EQ(deck.State(), DeckState::Paused);
  EXPECT_EQ(Shown(deck, kCtlState), "PAUSED");
  // Played again to its end, it is reported again.
  QTest::keyClick(&deck, Qt::Key_Space);
  deck.OnDisplayTimer();  // the end flag is cleared by Play
  ASSERT_TRUE(ProcessUntil([&] {
    std::uint32_t end = 0;
    deck.Engine()->GetReadPosition(end);
    return end == 1;
  }));
  deck.OnDisplayTimer();
  QCoreApplication::sendPostedEvents(&panel);
  EXPECT_EQ(panel.ended, (std::vector<int>{0, 0}));
}

TEST(WavDeck, FailuresAreCountedWithoutAMessageBox) {
  vx::test::ScriptedUi ui;
  DeckRig rig;
  rig.library.AddSong(1, kLong, 120);
  rig.library.AddSong(2, kLong, 120, "HOUSE", "C");  // a CD song has no file
  CWavPlayerDlg& deck = rig.AddDeck();
  EXPECT_FALSE(deck.LoadSong(2));
  EXPECT_FALSE(deck.LoadSong(77));
  EXPECT_EQ(deck.ErrorCount(), 2);
  EXPECT_EQ(Shown(deck, kCtlErrorCount), "2");
  EXPECT_EQ(deck.State(), DeckState::NotReady);
  ASSERT_TRUE(deck.LoadSong(1));
  EXPECT_FALSE(deck.LoadSong(77));
  EXPECT_EQ(deck.SongId(), 1);  // the song that plays stays
  EXPECT_EQ(Shown(deck, kCtlSongName), "SONG 1");
  EXPECT_TRUE(ui.messages.empty());
}

TEST(WavDeck, HotListOtherDeckSongAndKeyHelp) {
  vx::test::ScriptedUi ui;
  DeckRig rig;
  rig.library.AddSong(1, kLong, 120);
  rig.library.AddSong(2, kLong, 124);
  CWavPlayerDlg& deck = rig.AddDeck();
  CWavPlayerDlg& other = rig.AddDeck();
  rig.hotList[2] = 2;
  ASSERT_TRUE(other.LoadSong(1));
  // SHIFT+F4 asks for songs like the other deck's; the person cancels.
  QTest::keyClick(&deck, Qt::Key_F4, Qt::ShiftModifier);
  ASSERT_TRUE(ProcessUntil([&] { return ui.dialogsRun.size() == 1; }));
  EXPECT_EQ(deck.SongId(), 0);
  ASSERT_TRUE(deck.LoadSong(2));
  QTest::keyClick(&deck, Qt::Key_L);
  EXPECT_EQ(deck.SongId(), 1);
  QTest::keyClick(&deck, Qt::Key_L);  // the same song already: nothing
  EXPECT_EQ(deck.SongId(), 1);
  QTest::keyClick(&deck, Qt::Key_2);  // empty entry
  EXPECT_EQ(deck.SongId(), 1);
  QTest::keyClick(&deck, Qt::Key_3);
  EXPECT_EQ(deck.SongId(), 2);
  QTest::keyClick(&deck, Qt::Key_3, kPad);  // the pad's 3 is a cue, not the hot list
  EXPECT_EQ(deck.SongId(), 2);
  QTest::keyClick(&deck, Qt::Key_I);
  EXPECT_EQ(Shown(deck, kCtlMessage), "Virtual Output 1");
  QTest::keyClick(&deck, Qt::Key_H);
  ASSERT_TRUE(ProcessUntil([&] { return !rig.helpTitle.isEmpty(); }));
  EXPECT_EQ(rig.helpTitle, "WAVPlayer Help");
  EXPECT_EQ(deck.ErrorCount(), 0);
}

// A server that takes a song only when let: until then the engine is stuck in its load,
// holding its command lock, as it is with a hung server.
class StallingServer : public NoServer {
 public:
  struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool open = false;
    void Open() {
      {
        std::lock_guard lock(mutex);
        open = true;
      }
      changed.notify_all();
    }
  };
  explicit StallingServer(Gate& gate) : gate_(gate) {}
  bool IsBound() const override { return true; }
  bool SetChunkSize(std::uint32_t) override { return true; }
  bool OpenSong(const std::vector<std::uint8_t>&) override {
    std::unique_lock lock(gate_.mutex);
    gate_.entered = true;
    gate_.changed.notify_all();
    gate_.changed.wait(lock, [this] { return gate_.open; });
    return false;
  }

 private:
  Gate& gate_;
};

TEST(WavDeck, AHungServerDoesNotFreezeTheDeckWindow) {
  StallingServer::Gate gate;
  DeckRig rig;
  rig.makeServerLink = [&] { return std::make_unique<StallingServer>(gate); };
  rig.library.AddSong(1, kLong, 120, "HOUSE", "A");
  // An MS ADPCM format record over the song's bytes: the engine hands it to the server.
  riff::WaveFormat adpcm{riff::kFormatMsAdpcm, 2, 44100, 44359, 2048, 4, {}};
  const std::string path = rig.library.SongsFolder() + "/Song0000000001.Wav";
  riff::WaveFileWriter writer;
  ASSERT_TRUE(writer.Create(path, adpcm));
  ASSERT_TRUE(writer.Append(std::vector<std::uint8_t>(44359).data(), 44359));
  ASSERT_TRUE(writer.Close());
  CWavPlayerDlg& deck = rig.AddDeck();
  ASSERT_TRUE(deck.LoadSong(1));
  {
    std::unique_lock lock(gate.mutex);
    ASSERT_TRUE(gate.changed.wait_for(lock, std::chrono::seconds(30), [&] { return gate.entered; }));
  }
  // The meter and the display skip their turn instead of waiting for the engine; a watchdog
  // lets the server go after a while, so a window that waits would notice it only then.
  std::atomic<bool> watchdogFired{false};
  std::thread watchdog([&] {
    std::unique_lock lock(gate.mutex);
    if (!gate.changed.wait_for(lock, std::chrono::seconds(10), [&] { return gate.open; })) {
      watchdogFired = true;
      lock.unlock();
      gate.Open();
    }
  });
  for (int i = 0; i < 5; ++i) deck.OnMeterTimer();
  deck.OnDisplayTimer();
  EXPECT_FALSE(watchdogFired);
  gate.Open();
  watchdog.join();
  EXPECT_EQ(deck.State(), DeckState::Playing);
}

TEST(WavDeck, MousePitchFollowsThePointerAcrossTheSliderAndRestoresOnToggle) {
  DeckRig rig;
  rig.library.AddSong(1, kLong, 120);
  CWavPlayerDlg& deck = rig.AddDeck();
  deck.show();
  ASSERT_TRUE(deck.LoadSong(1));
  QTest::keyClick(&deck, Qt::Key_Delete);
  QTest::keyClick(&deck, Qt::Key_P);
  ASSERT_TRUE(deck.MousePitchActive());
  const QRect slider = deck.PitchSlider()->geometry();
  QTest::mouseMove(&deck, QPoint(slider.left() + slider.width() / 4, slider.center().y()));
  EXPECT_EQ(deck.PitchSlider()->value(), 60);
  EXPECT_DOUBLE_EQ(deck.Pitch(), -6.0);
  // Beyond the right edge counts as the edge.
  QTest::mouseMove(&deck, QPoint(slider.right() + 6, slider.bottom() + 20));
  EXPECT_EQ(deck.PitchSlider()->value(), 240);
  QTest::keyClick(&deck, Qt::Key_P);
  EXPECT_FALSE(deck.MousePitchActive());
  EXPECT_DOUBLE_EQ(deck.Pitch(), 1.0);
  EXPECT_EQ(deck.PitchSlider()->value(), 130);
}

}  // namespace
}  // namespace vx::player::test
