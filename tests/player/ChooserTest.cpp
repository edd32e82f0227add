// The player's song chooser on a test library: titles, the type list, Find through the
// shared filter (quoted texts, refused tempo values), the like-the-other-deck search, the
// default button and the answer of OK.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <set>

#include "PanelTestKit.h"
#include "library/LibraryText.h"
#include "player/CSongChooserDlg.h"
#include "player/PlayerText.h"
#include "support/ScriptedUi.h"

namespace vx::player {
namespace {

using test::PanelLibrary;

QStringList Lines(const QListWidget& list) {
  QStringList lines;
  for (int row = 0; row < list.count(); ++row) lines << list.item(row)->text();
  return lines;
}

std::set<std::int32_t> ListedIds(CSongChooserDlg& dialog) {
  std::set<std::int32_t> ids;
  for (int row = 0; row < dialog.List()->count(); ++row) {
    dialog.List()->setCurrentRow(row);
    ids.insert(dialog.ChosenSongId());
  }
  return ids;
}

TEST(Chooser, TitlesAndTypeList) {
  PanelLibrary library;
  library.AddType("TECHNO");
  library.AddType("HOUSE");
  vx::test::ScriptedUi ui;

  CSongChooserDlg plain(library.Db(), {});
  EXPECT_EQ(plain.windowTitle(), "Find WAV Songs");
  ASSERT_EQ(plain.TypeList()->count(), 3);
  EXPECT_EQ(plain.TypeList()->itemText(0), "*ALL*");
  EXPECT_EQ(plain.TypeList()->itemText(1), "HOUSE");
  EXPECT_EQ(plain.TypeList()->itemText(2), "TECHNO");
  EXPECT_EQ(plain.TypeList()->currentIndex(), 0);
  EXPECT_EQ(plain.List()->count(), 0);
  EXPECT_FALSE(plain.OkButton()->isEnabled());
  EXPECT_TRUE(plain.FindButton()->isDefault());

  SongChooserRequest forDeck;
  forDeck.playerNumber = 2;
  forDeck.currentSongName = "SUNRISE";
  EXPECT_EQ(CSongChooserDlg(library.Db(), forDeck).windowTitle(), "WavPlayer 2 (SUNRISE)");
  EXPECT_TRUE(ui.messages.empty());
}

TEST(Chooser, ApostropheInATextIsFound) {
  PanelLibrary library;
  library.AddSong(1, "Irish Jig", "O'Brien", "FOLK", 98.5);
  library.AddSong(2, "Other Jig", "Brien", "FOLK", 98.5);
  library.AddSong(3, "Don't Stop", "Band", "ROCK", 130);
  vx::test::ScriptedUi ui;
  CSongChooserDlg dialog(library.Db(), {});

  dialog.ArtistField()->setText("O'BRIEN");
  dialog.OnFind();
  EXPECT_EQ(Lines(*dialog.List()), QStringList{"[098.50] Irish Jig (O'Brien)"});
  EXPECT_EQ(dialog.ChosenSongId(), 1);

  dialog.ArtistField()->clear();
  dialog.SongField()->setText("DON'T");
  dialog.OnFind();
  EXPECT_EQ(Lines(*dialog.List()), QStringList{"[130.00] Don't Stop (Band)"});
  EXPECT_TRUE(ui.messages.empty());
}

TEST(Chooser, TypedTextsAreCapitalised) {
  PanelLibrary library;
  vx::test::ScriptedUi ui;
  CSongChooserDlg dialog(library.Db(), {});
  dialog.SongField()->setFocus();
  dialog.SongField()->insert("o'brien");
  EXPECT_EQ(dialog.SongField()->text(), "O'BRIEN");
}

TEST(Chooser, LikeTheOtherDeckListsFileSongsOfTheTypeWithinFourBpm) {
  PanelLibrary library;
  library.AddSong(1, "TOO SLOW", "A", "HOUSE", 115.9);
  library.AddSong(2, "LOW EDGE", "A", "HOUSE", 116.0);
  library.AddSong(3, "MIDDLE", "A", "HOUSE", 120.0, 'A');
  library.AddSong(4, "HIGH EDGE", "A", "HOUSE", 124.0, 'M');
  library.AddSong(5, "TOO FAST", "A", "HOUSE", 124.1);
  library.AddSong(6, "ON CD", "A", "HOUSE", 120.0, 'C');
  library.AddSong(7, "OTHER TYPE", "A", "TECHNO", 120.0);
  library.AddSong(8, "APOSTROPHE TYPE", "A", "R'N'B", 120.0);
  vx::test::ScriptedUi ui;

  SongChooserRequest request;
  request.typeCode = "HOUSE";
  request.bpm = 120.0;
  request.playerNumber = 1;
  request.currentSongName = "NOW";
  CSongChooserDlg dialog(library.Db(), request);
  EXPECT_EQ(ListedIds(dialog), (std::set<std::int32_t>{2, 3, 4}));
  EXPECT_TRUE(dialog.OkButton()->isEnabled());
  EXPECT_TRUE(dialog.OkButton()->isDefault());
  EXPECT_FALSE(dialog.FindButton()->isDefault());

  // A type code with apostrophes is quoted like any typed text.
  request.typeCode = "R'N'B";
  CSongChooserDlg quoted(library.Db(), request);
  EXPECT_EQ(ListedIds(quoted), (std::set<std::int32_t>{8}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(Chooser, FindCombinesFieldsTypeModeAndTempo) {
  PanelLibrary library;
  library.AddType("HOUSE");
  library.AddType("TECHNO");
  library.AddSong(1, "BEAT ONE", "DJ X", "HOUSE", 118.0);
  library.AddSong(2, "BEAT TWO", "DJ X", "HOUSE", 120.0);
  library.AddSong(3, "BEAT THREE", "DJ X", "TECHNO", 120.0);
  library.AddSong(4, "BEAT ON CD", "DJ X", "HOUSE", 120.0, 'C');
  library.AddSong(5, "BEAT FAR", "DJ X", "HOUSE", 130.0);
  vx::test::ScriptedUi ui;
  CSongChooserDlg dialog(library.Db(), {});

  dialog.SongField()->setText("BEAT");
  dialog.OnFind();  // mode 2: files only
  EXPECT_EQ(ListedIds(dialog), (std::set<std::int32_t>{1, 2, 3, 5}));

  dialog.TypeList()->setCurrentText("HOUSE");
  dialog.BpmField()->setText("120");
  dialog.OnFind();
  EXPECT_EQ(ListedIds(dialog), (std::set<std::int32_t>{1, 2}));

  dialog.ExactBox()->setChecked(true);
  dialog.OnFind();
  EXPECT_EQ(Lines(*dialog.List()), QStringList{"[120.00] BEAT TWO (DJ X)"});

  dialog.AttributesField()->setText("NOT THERE");
  dialog.OnFind();
  EXPECT_EQ(dialog.List()->count(), 0);
  EXPECT_FALSE(dialog.OkButton()->isEnabled());
  EXPECT_TRUE(dialog.FindButton()->isDefault());
  EXPECT_EQ(dialog.ChosenSongId(), 0);

  SongChooserRequest cd;
  cd.mode = 1;
  CSongChooserDlg cdDialog(library.Db(), cd);
  cdDialog.OnFind();
  EXPECT_EQ(ListedIds(cdDialog), (std::set<std::int32_t>{4}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(Chooser, BpmThatIsNotANumberIsRefusedAndTheChooserStaysUsable) {
  PanelLibrary library;
  library.AddSong(1, "KEEP ME", "A", "HOUSE", 120.0);
  vx::test::ScriptedUi ui;
  CSongChooserDlg dialog(library.Db(), {});
  dialog.OnFind();
  ASSERT_EQ(dialog.List()->count(), 1);

  for (const char* bad : {"FAST", "120; DELETE FROM Songs", "1 OR 1=1"}) {
    ui.messages.clear();
    dialog.BpmField()->setText(bad);
    dialog.OnFind();
    ASSERT_EQ(ui.messages.size(), 1u) << bad;
    EXPECT_EQ(ui.messages[0].text, text::kBpmNotNumber);
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(dialog.List()->count(), 1) << "the last list stays";
  }

  ui.messages.clear();
  dialog.BpmField()->setText("121");
  dialog.OnFind();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Lines(*dialog.List()), QStringList{"[120.00] KEEP ME (A)"});
}

TEST(Chooser, DatabaseFailureIsReportedAndTheListIsEmptied) {
  PanelLibrary library;
  library.AddSong(1, "SONG", "A", "HOUSE", 120.0);
  vx::test::ScriptedUi ui;
  CSongChooserDlg dialog(library.Db(), {});
  dialog.OnFind();
  ASSERT_EQ(dialog.List()->count(), 1);

  library.Db().Execute("DROP TABLE Songs");
  dialog.OnFind();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Stop);
  EXPECT_EQ(dialog.List()->count(), 0);
  EXPECT_FALSE(dialog.OkButton()->isEnabled());
}

TEST(Chooser, AHundredThousandCharacterSearchFindsNothingAndKeepsRunning) {
  PanelLibrary library;
  library.AddSong(1, "SONG", "A", "HOUSE", 120.0);
  vx::test::ScriptedUi ui;
  CSongChooserDlg dialog(library.Db(), {});
  // The field keeps what its length allows; either way the statement runs to tens of
  // thousands of characters.
  dialog.SongField()->setText(QString(100000, QChar('X')));
  dialog.OnFind();
  EXPECT_EQ(dialog.List()->count(), 0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(Chooser, OkAnswersTheSelectedSongAndCancelNothing) {
  PanelLibrary library;
  library.AddSong(7, "FIRST", "A", "HOUSE", 100.0);
  library.AddSong(9, "SECOND", "B", "HOUSE", 101.0);
  vx::test::ScriptedUi ui;

  ui.modalDriver = [](QDialog& dialog) {
    auto& chooser = static_cast<CSongChooserDlg&>(dialog);
    chooser.ArtistField()->setText("B");
    chooser.FindButton()->click();
    EXPECT_EQ(chooser.List()->currentRow(), 0);
    chooser.OkButton()->click();
    return dialog.result();
  };
  EXPECT_EQ(ChooseSong(library.Db(), {}), std::optional<std::int32_t>(9));

  ui.modalDriver = [](QDialog& dialog) {
    static_cast<CSongChooserDlg&>(dialog).FindButton()->click();
    static_cast<CSongChooserDlg&>(dialog).OnCancel();
    return dialog.result();
  };
  EXPECT_EQ(ChooseSong(library.Db(), {}), std::nullopt);
  EXPECT_EQ(ui.dialogsRun.size(), 2u);
}

TEST(Chooser, TenThousandMatchesKeepTheirSongIds) {
  PanelLibrary library;
  library.Db().Execute(R"SQL(
    WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)
    INSERT INTO Songs (SongID, SongTypeCode, SongName, SongArtist, SongBPM, SongCompression)
    SELECT i * 3, 'HOUSE', 'LOVE ' || i, 'ARTIST', 100 + i % 40, ' ' FROM n;
  )SQL");
  vx::test::ScriptedUi ui;
  CSongChooserDlg dialog(library.Db(), {});
  dialog.SongField()->setText("LOVE");
  dialog.OnFind();
  ASSERT_EQ(dialog.List()->count(), 10000);
  dialog.List()->setCurrentRow(9999);
  EXPECT_EQ(dialog.List()->currentItem()->text(), "[100.00] LOVE 10000 (ARTIST)");
  EXPECT_EQ(dialog.ChosenSongId(), 30000);
}

}  // namespace
}  // namespace vx::player
