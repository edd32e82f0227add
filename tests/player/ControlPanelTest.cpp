// The control panel with stand-in decks: playlists and their entries, F5 / F6, the
// automatic mode alternating between the decks, the keys H, X and numeric-pad ., the clock.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "PanelTestKit.h"
#include "player/CControlPanelDlg.h"
#include "player/PlayerText.h"
#include "support/ScriptedUi.h"

namespace vx::player {
namespace {

using test::FakeDecks;
using test::PanelLibrary;
using Loads = std::vector<std::pair<int, std::int32_t>>;

QStringList Lines(const QListWidget& list) {
  QStringList lines;
  for (int row = 0; row < list.count(); ++row) lines << list.item(row)->text();
  return lines;
}

class ControlPanel : public testing::Test {
 protected:
  ControlPanel() {
    library.AddSong(1, "ONE", "ARTIST A", "HOUSE", 120);
    library.AddSong(2, "TWO", "ARTIST B", "HOUSE", 121);
    library.AddSong(3, "THREE", "ARTIST C", "HOUSE", 122);
    library.AddPlaylist("SET B", {1, 2, 3});
    library.AddPlaylist("SET A", {3, 99, 1});  // song 99 was deleted
  }

  std::unique_ptr<CControlPanelDlg> MakePanel(DeckAccess& decks) {
    ControlPanelHooks hooks;
    hooks.openPreferences = [this] { ++preferences; };
    hooks.showHelp = [this](QWidget* caller, const QString& title, const QString& text) {
      helpCaller = caller;
      helpTitle = title;
      helpText = text;
    };
    hooks.endPlayer = [this] { ++ended; };
    hooks.clock = [this] { return now; };
    return std::make_unique<CControlPanelDlg>(library.Db(), decks, PlayerColors{}, hooks);
  }

  static void SongEnded(CControlPanelDlg& panel, int deck) {
    ReportSongEnded(&panel, deck);
    QCoreApplication::sendPostedEvents(&panel);
  }

  PanelLibrary library;
  vx::test::ScriptedUi ui;
  int preferences = 0;
  int ended = 0;
  QWidget* helpCaller = nullptr;
  QString helpTitle;
  QString helpText;
  QTime now{13, 2, 3};
};

TEST_F(ControlPanel, ListsPlaylistsInNameOrderAndEntriesInSequence) {
  FakeDecks decks(2, {1, 2, 3});
  auto panel = MakePanel(decks);
  EXPECT_EQ(panel->windowTitle(), "Velumix Control - F12 to Select");
  ASSERT_EQ(panel->Playlists()->count(), 2);
  EXPECT_EQ(panel->Playlists()->itemText(0), "SET A");
  EXPECT_EQ(panel->Playlists()->currentIndex(), 0);
  EXPECT_EQ(Lines(*panel->Entries()),
            (QStringList{"01: THREE (ARTIST C)", "02: NO SONG INFO", "03: ONE (ARTIST A)"}));
  EXPECT_EQ(panel->Entries()->currentRow(), 0);

  panel->Playlists()->setCurrentIndex(1);
  EXPECT_EQ(Lines(*panel->Entries()),
            (QStringList{"01: ONE (ARTIST A)", "02: TWO (ARTIST B)", "03: THREE (ARTIST C)"}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ControlPanel, PlaylistNameWithApostropheListsItsEntries) {
  library.AddPlaylist("DJ'S CHOICE", {2});
  FakeDecks decks(2, {2});
  auto panel = MakePanel(decks);
  ASSERT_EQ(panel->Playlists()->itemText(0), "DJ'S CHOICE");
  EXPECT_EQ(Lines(*panel->Entries()), QStringList{"01: TWO (ARTIST B)"});
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ControlPanel, DeletedSongLoadsNothingAndCountsAFailure) {
  FakeDecks decks(2, {1, 2, 3});
  auto panel = MakePanel(decks);
  panel->Entries()->setCurrentRow(1);  // "02: NO SONG INFO"
  QTest::keyClick(panel->Entries(), Qt::Key_F6);
  EXPECT_EQ(decks.loads, (Loads{{1, 99}}));
  EXPECT_EQ(decks.failures[1], 1);
  EXPECT_EQ(panel->Entries()->currentRow(), 2);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ControlPanel, F5AndF6LoadTheSelectedEntryAndMoveOn) {
  FakeDecks decks(2, {1, 2, 3});
  auto panel = MakePanel(decks);
  panel->Playlists()->setCurrentIndex(1);
  QTest::keyClick(panel->Entries(), Qt::Key_F5);
  QTest::keyClick(panel->Entries(), Qt::Key_F6);
  EXPECT_EQ(decks.loads, (Loads{{0, 1}, {1, 2}}));
  EXPECT_EQ(panel->LastLoadedDeck(), 1);
  EXPECT_EQ(panel->Entries()->currentRow(), 2);
  QTest::keyClick(panel->Entries(), Qt::Key_F5);
  EXPECT_EQ(panel->Entries()->currentRow(), 2) << "the last entry stays selected";

  // Each playlist remembers its next entry.
  panel->Playlists()->setCurrentIndex(0);
  EXPECT_EQ(panel->Entries()->currentRow(), 0);
  panel->Playlists()->setCurrentIndex(1);
  EXPECT_EQ(panel->Entries()->currentRow(), 2);
}

TEST_F(ControlPanel, F6WithOneDeckLoadsNothingAndKeepsTheSelection) {
  FakeDecks decks(1, {1, 2, 3});
  auto panel = MakePanel(decks);
  QTest::keyClick(panel->Entries(), Qt::Key_F6);
  EXPECT_TRUE(decks.loads.empty());
  EXPECT_EQ(panel->Entries()->currentRow(), 0);
  EXPECT_EQ(panel->LastLoadedDeck(), 1);
}

TEST_F(ControlPanel, AutoPlaysThePlaylistThroughAlternatingDecks) {
  FakeDecks decks(2, {1, 2, 3});
  auto panel = MakePanel(decks);
  panel->Playlists()->setCurrentIndex(1);
  SongEnded(*panel, 0);
  EXPECT_TRUE(decks.loads.empty()) << "nothing happens while Auto is clear";

  panel->AutoBox()->setChecked(true);
  panel->OnLoadDeck(0);
  SongEnded(*panel, 0);
  SongEnded(*panel, 1);
  EXPECT_EQ(decks.loads, (Loads{{0, 1}, {1, 2}, {0, 3}}));
  SongEnded(*panel, 0);
  EXPECT_EQ(decks.loads.size(), 3u) << "the last song is not repeated";

  // Choosing an entry again starts from there.
  panel->Entries()->setCurrentRow(0);
  SongEnded(*panel, 0);
  EXPECT_EQ(decks.loads.back(), (std::pair<int, std::int32_t>{1, 1}));
}

TEST_F(ControlPanel, AutoWithOneDeckUsesItForEverySong) {
  FakeDecks decks(1, {1, 2, 3});
  auto panel = MakePanel(decks);
  panel->Playlists()->setCurrentIndex(1);
  panel->AutoBox()->setChecked(true);
  panel->OnLoadDeck(0);
  SongEnded(*panel, 0);
  SongEnded(*panel, 0);
  EXPECT_EQ(decks.loads, (Loads{{0, 1}, {0, 2}, {0, 3}}));
}

TEST_F(ControlPanel, AutoPassesOverASongThatCannotBeLoaded) {
  FakeDecks decks(2, {1, 3});
  auto panel = MakePanel(decks);  // SET A: 3, 99 (deleted), 1
  panel->AutoBox()->setChecked(true);
  panel->OnLoadDeck(0);
  SongEnded(*panel, 0);
  EXPECT_EQ(decks.loads, (Loads{{0, 3}, {1, 99}, {1, 1}}));
  EXPECT_EQ(decks.failures[1], 1);
}

TEST_F(ControlPanel, KeysHelpPreferencesEnterAndExit) {
  FakeDecks decks(2, {1, 2, 3});
  auto panel = MakePanel(decks);
  QTest::keyClick(panel->Entries(), Qt::Key_H);
  EXPECT_EQ(helpCaller, panel.get());
  EXPECT_EQ(helpTitle, "Control Panel Help");
  EXPECT_EQ(helpText, "H = Display Key Help\nNUM PAD \".\" = Set Preferences\nX = Exit Application");

  QTest::keyClick(panel->Playlists(), Qt::Key_Period, Qt::KeypadModifier);
  EXPECT_EQ(preferences, 1);
  QTest::keyClick(panel->Entries(), Qt::Key_Period);
  EXPECT_EQ(preferences, 1) << "only the numeric pad's point";

  // Enter is swallowed: the panel does not close and nothing is loaded.
  bool closed = false;
  QObject::connect(panel.get(), &QDialog::finished, [&] { closed = true; });
  QTest::keyClick(panel->Entries(), Qt::Key_Return);
  EXPECT_FALSE(closed);
  EXPECT_TRUE(decks.loads.empty());

  ui.answers = {MsgAnswer::No, MsgAnswer::Yes};
  QTest::keyClick(panel->Entries(), Qt::Key_X);
  EXPECT_EQ(ended, 0);
  QTest::keyClick(panel->Entries(), Qt::Key_X);
  EXPECT_EQ(ended, 1);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, text::kPanelExitQuestion);
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Question);
  EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(ui.messages[0].defaultButton, 1);
}

TEST_F(ControlPanel, ClockShowsTwelveHourTime) {
  FakeDecks decks(0, {});
  auto panel = MakePanel(decks);
  EXPECT_EQ(panel->Clock(), "01:02:03 PM");
  now = QTime(0, 5, 9);
  panel->OnTimer();
  EXPECT_EQ(panel->Clock(), "12:05:09 AM");
  EXPECT_EQ(ClockText(QTime(12, 0, 0)), "12:00:00 PM");
  EXPECT_EQ(ClockText(QTime(11, 59, 59)), "11:59:59 AM");
}

TEST_F(ControlPanel, TakesNewColours) {
  FakeDecks decks(2, {});
  auto panel = MakePanel(decks);
  PlayerColors day{{0, 0, 0}, {160, 96, 0}, {255, 0, 0}, {150, 150, 150}};
  day.background = QColor(10, 20, 30);
  panel->ApplyColors(day);
  EXPECT_EQ(panel->Background(), QColor(10, 20, 30));
  EXPECT_EQ(panel->AutoBox()->palette().color(QPalette::WindowText), QColor(150, 150, 150));
}

TEST_F(ControlPanel, EmptyLibraryShowsEmptyLists) {
  library.Db().Execute("DELETE FROM PlaylistDetail; DELETE FROM Playlist");
  FakeDecks decks(2, {});
  auto panel = MakePanel(decks);
  EXPECT_EQ(panel->Playlists()->count(), 0);
  EXPECT_EQ(panel->Entries()->count(), 0);
  panel->AutoBox()->setChecked(true);
  panel->OnLoadDeck(0);
  SongEnded(*panel, 0);
  EXPECT_TRUE(decks.loads.empty());
}

}  // namespace
}  // namespace vx::player
