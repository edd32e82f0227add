// The cue point editors on the virtual machine: names, offsets, renumbering, reordering, and
// the CD variant's disc check.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include "curation/CCdCuePointDlg.h"
#include "curation/CCuePointDlg.h"
#include "curation/CPlaybackPanel.h"
#include "curation/CurationTestKit.h"
#include "curation/CurationText.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

using test::Cue;
using test::CuesOf;

constexpr std::int32_t kSong = 7;
constexpr long kSongMs = 90000;

class CueEditor : public testing::Test {
 protected:
  CueEditor() : song_(test::TestFolder() + "/song.wav") {
    test::WriteSilentSong(song_, kSongMs);
    test::AddSong(machine_.Db(), kSong, 'A');
  }

  std::unique_ptr<CCuePointDlg> Open() {
    return std::make_unique<CCuePointDlg>(machine_.Db(), kSong, "SONG", song_);
  }

  // Holds the song at a known place, as if the user had stopped it there.
  void Park(long ms) {
    machine_.Mci("stop waverec");
    machine_.Mci("seek waverec to " + std::to_string(ms));
  }

  // Types the name into the name box, key by key, and presses New.
  static void AddNamed(CCueEditorDlg& dialog, const QString& typed) {
    QLineEdit* edit = dialog.findChild<QComboBox*>("nameBox")->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, typed);
    dialog.OnNew();
  }

  static void Select(CCueEditorDlg& dialog, int row) {
    auto* list = dialog.findChild<QTreeWidget*>("cueList");
    list->setCurrentItem(list->topLevelItem(row));
    list->topLevelItem(row)->setSelected(true);
  }

  static void TypeOffset(CCueEditorDlg& dialog, const char* minutes, const char* seconds,
                         const char* last) {
    for (auto [name, typed] : {std::pair{"minutes", minutes}, std::pair{"seconds", seconds},
                               std::pair{"fraction", last}}) {
      auto* field = dialog.findChild<QSpinBox*>(name);
      field->selectAll();
      QTest::keyClicks(field, QString::fromLatin1(typed));
    }
  }

  static QStringList Column(CCueEditorDlg& dialog, int column) {
    auto* list = dialog.findChild<QTreeWidget*>("cueList");
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      texts << list->topLevelItem(i)->text(column);
    }
    return texts;
  }

  static QString Hint(CCueEditorDlg& dialog) {
    return dialog.findChild<QLineEdit*>("hint")->text();
  }

  test::ScriptedUi ui_;
  test::CurationMachine machine_;
  std::string song_;
};

TEST_F(CueEditor, NewCuesAreNamedNumberedAndPlacedAtThePosition) {
  auto dialog = Open();
  EXPECT_EQ(dialog->windowTitle(), "Set Cue Points");
  EXPECT_EQ(Hint(*dialog), text::kCueHintOpen);
  auto* box = dialog->findChild<QComboBox*>("nameBox");
  QStringList offered;
  for (int i = 0; i < box->count(); ++i) offered << box->itemText(i);
  EXPECT_EQ(offered, (QStringList{"1 BEAT", "2 BEAT", "DRUM INTRO", "SONG START", "VOCAL HOOK",
                                  "VOCAL START"}));
  EXPECT_EQ(box->currentText(), "1 BEAT");

  Park(83456);
  AddNamed(*dialog, "Vocal (hook)?");
  Park(1000);
  AddNamed(*dialog, QString(40, QLatin1Char('X')));
  EXPECT_EQ(CuesOf(machine_.Db(), kSong),
            (std::vector<Cue>{{"VOCAL _HOOK__", 1, "01:23.456"},
                              {std::string(32, 'X'), 2, "00:01.000"}}));
  EXPECT_EQ(Column(*dialog, 2), (QStringList{"1", "2"}));

  // A name the song has already is refused; another song may use it.
  AddNamed(*dialog, "VOCAL _HOOK__");
  EXPECT_EQ(ui_.Texts(), std::vector<QString>{text::kCueNameTaken});
  EXPECT_EQ(CuesOf(machine_.Db(), kSong).size(), 2u);
  test::AddSong(machine_.Db(), kSong + 1, 'A');
  dialog.reset();
  CCuePointDlg other(machine_.Db(), kSong + 1, "OTHER", song_);
  Park(0);
  AddNamed(other, "VOCAL _HOOK__");
  EXPECT_EQ(CuesOf(machine_.Db(), kSong + 1),
            (std::vector<Cue>{{"VOCAL _HOOK__", 1, "00:00.000"}}));
}

TEST_F(CueEditor, SaveAcceptsOffsetsWithinTheSongAndRefusesThoseBeyond) {
  test::AddCue(machine_.Db(), kSong, "DROP", 1, "00:30.000");
  test::AddCue(machine_.Db(), kSong, "BROKEN", 2, "0:30");
  auto dialog = Open();
  ASSERT_EQ(dialog->SongEnd(), kSongMs);
  auto* save = dialog->findChild<QPushButton*>("saveButton");
  EXPECT_FALSE(save->isEnabled());

  Select(*dialog, 0);
  dialog->OnEdit();
  EXPECT_EQ(dialog->EditingIndex(), 0);
  EXPECT_EQ(dialog->CuePosition(), 30000);
  EXPECT_EQ(Hint(*dialog), text::kCueHintEdit);
  EXPECT_FALSE(save->isEnabled());

  TypeOffset(*dialog, "1", "2", "3");
  EXPECT_TRUE(dialog->Unsaved());
  EXPECT_TRUE(save->isEnabled());
  dialog->OnSave();
  EXPECT_EQ(CuesOf(machine_.Db(), kSong)[0].offset, "01:02.003");
  EXPECT_FALSE(dialog->Unsaved());
  EXPECT_FALSE(save->isEnabled());

  // The start and the very end are places of the song; one millisecond more is not.
  TypeOffset(*dialog, "00", "00", "000");
  dialog->OnSave();
  EXPECT_EQ(CuesOf(machine_.Db(), kSong)[0].offset, "00:00.000");
  TypeOffset(*dialog, "01", "30", "000");
  dialog->OnSave();
  EXPECT_EQ(CuesOf(machine_.Db(), kSong)[0].offset, "01:30.000");
  TypeOffset(*dialog, "01", "30", "001");
  dialog->OnSave();
  EXPECT_EQ(CuesOf(machine_.Db(), kSong)[0].offset, "01:30.000");
  EXPECT_EQ(dialog->findChild<QSpinBox*>("minutes")->text(), "01");
  EXPECT_EQ(dialog->findChild<QSpinBox*>("seconds")->text(), "30");
  EXPECT_EQ(dialog->findChild<QSpinBox*>("fraction")->text(), "000");

  // A stored text that cannot be read edits from the start of the song.
  Select(*dialog, 1);
  dialog->OnEdit();
  EXPECT_EQ(Column(*dialog, 1)[1], "00:00.000");
  EXPECT_EQ(dialog->CuePosition(), 0);
}

TEST_F(CueEditor, SetCurrentPosAndPlayQFollowTheSong) {
  test::AddCue(machine_.Db(), kSong, "DROP", 1, "00:30.000");
  auto dialog = Open();
  Select(*dialog, 0);
  dialog->OnEdit();
  Park(45250);
  dialog->OnSetCurrentPos();
  EXPECT_EQ(dialog->CuePosition(), 45250);
  EXPECT_EQ(dialog->findChild<QSpinBox*>("seconds")->text(), "45");
  EXPECT_TRUE(dialog->Unsaved());

  // Play Q takes changed fields and plays from there; the change is still unsaved.
  TypeOffset(*dialog, "00", "10", "500");
  dialog->OnPlayQ();
  EXPECT_EQ(dialog->CuePosition(), 10500);
  EXPECT_TRUE(dialog->Unsaved());
  EXPECT_EQ(machine_.Mci("status waverec mode"), "playing");

  // Leaving with an unsaved offset asks first; Yes saves it.
  ui_.answers = {MsgAnswer::Yes};
  dialog->OnClose();
  EXPECT_EQ(ui_.Texts(), std::vector<QString>{text::kCueUnsaved});
  EXPECT_EQ(CuesOf(machine_.Db(), kSong)[0].offset, "00:10.500");
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(CueEditor, EscapeClosesWithoutAskingAndTheEditIsLost) {
  test::AddCue(machine_.Db(), kSong, "DROP", 1, "00:30.000");
  auto dialog = Open();
  Select(*dialog, 0);
  dialog->OnEdit();
  TypeOffset(*dialog, "00", "40", "000");
  QTest::keyClick(dialog.get(), Qt::Key_Escape);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(CuesOf(machine_.Db(), kSong)[0].offset, "00:30.000");
}

TEST_F(CueEditor, DeletingRenumbersTheRest) {
  for (auto [name, number] : {std::pair{"A", 1}, std::pair{"B", 2}, std::pair{"C", 3}}) {
    test::AddCue(machine_.Db(), kSong, name, static_cast<std::int16_t>(number), "00:01.000");
  }
  auto dialog = Open();
  Select(*dialog, 1);
  ui_.answers = {MsgAnswer::No};
  dialog->OnDelete();
  EXPECT_EQ(ui_.Texts(), std::vector<QString>{"Are you sure you want to delete cue point B?"});
  EXPECT_EQ(CuesOf(machine_.Db(), kSong).size(), 3u);

  Select(*dialog, 1);
  dialog->OnDelete();  // the default answer is Yes
  EXPECT_EQ(CuesOf(machine_.Db(), kSong),
            (std::vector<Cue>{{"A", 1, "00:01.000"}, {"C", 2, "00:01.000"}}));
  EXPECT_EQ(Column(*dialog, 0), (QStringList{"A", "C"}));
  EXPECT_EQ(Column(*dialog, 2), (QStringList{"1", "2"}));
  EXPECT_EQ(dialog->EditingIndex(), -1);

  // A new cue follows the last one.
  Park(2000);
  AddNamed(*dialog, "D");
  EXPECT_EQ(CuesOf(machine_.Db(), kSong).back(), (Cue{"D", 3, "00:02.000"}));
}

TEST_F(CueEditor, UpAndDownSwapNeighboursAndTheEditFollowsItsCue) {
  test::AddCue(machine_.Db(), kSong, "A", 1, "00:01.000");
  test::AddCue(machine_.Db(), kSong, "B", 2, "00:02.000");
  test::AddCue(machine_.Db(), kSong, "C", 3, "00:03.000");
  auto dialog = Open();

  Select(*dialog, 0);
  dialog->OnUp();
  Select(*dialog, 2);
  dialog->OnDown();
  EXPECT_EQ(Column(*dialog, 0), (QStringList{"A", "B", "C"}));

  // Edit C, then move it up: B's row must not receive C's offset.
  Select(*dialog, 2);
  dialog->OnEdit();
  dialog->OnUp();
  EXPECT_EQ(Column(*dialog, 0), (QStringList{"A", "C", "B"}));
  EXPECT_EQ(Column(*dialog, 2), (QStringList{"1", "2", "3"}));
  EXPECT_EQ(dialog->EditingIndex(), 1);
  TypeOffset(*dialog, "00", "05", "000");
  dialog->OnSave();
  EXPECT_EQ(
      CuesOf(machine_.Db(), kSong),
      (std::vector<Cue>{{"A", 1, "00:01.000"}, {"C", 2, "00:05.000"}, {"B", 3, "00:02.000"}}));

  // Saving reloads the list; the cue is picked again to move it back down.
  Select(*dialog, 1);
  dialog->OnDown();
  EXPECT_EQ(
      CuesOf(machine_.Db(), kSong),
      (std::vector<Cue>{{"A", 1, "00:01.000"}, {"B", 2, "00:02.000"}, {"C", 3, "00:05.000"}}));
}

TEST_F(CueEditor, APositionPastNinetyNineMinutesIsRefused) {
  const std::string longSong = test::TestFolder() + "/long.wav";
  test::WriteSilentSong(longSong, 101 * 60000);
  CCuePointDlg dialog(machine_.Db(), kSong, "LONG", longSong);
  Park(100 * 60000 + 500);
  AddNamed(dialog, "LATE");
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_TRUE(ui_.messages[0].text.contains("100:00.500"));
  EXPECT_TRUE(CuesOf(machine_.Db(), kSong).empty());
  Park(99 * 60000 + 59999);
  AddNamed(dialog, "LAST");
  EXPECT_EQ(CuesOf(machine_.Db(), kSong), (std::vector<Cue>{{"LAST", 1, "99:59.999"}}));
}

TEST_F(CueEditor, FailedDeviceCommandsAreShownAndTheEditorGoesOn) {
  CCuePointDlg dialog(machine_.Db(), kSong, "GONE", test::TestFolder() + "/missing.wav");
  EXPECT_TRUE(Hint(dialog).startsWith("MCI ERROR: "));
  AddNamed(dialog, "START");
  EXPECT_EQ(CuesOf(machine_.Db(), kSong), (std::vector<Cue>{{"START", 1, "00:00.000"}}));
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog.result(), 0);
  EXPECT_TRUE(ui_.messages.empty());
}

// ---- the CD variant ----

class CdCueEditor : public CueEditor {
 protected:
  CCdCuePointDlg::Track Track2() {
    CCdCuePointDlg::Track track;
    track.discIdentity = identity_;
    track.songName = "TRACK TWO";
    track.albumName = "ALBUM";
    track.trackNumber = 2;
    track.driveLetter = 'D';
    return track;
  }
  void ParkCd(long frames) {
    machine_.Mci("stop cdplay");
    machine_.Mci("seek cdplay to " + FormatCueOffset(CueMedium::kCd, frames));
  }

  std::string identity_ = machine_.DiscIdentity();
};

TEST_F(CdCueEditor, CuesCountFramesFromTheTrackAndStayInsideIt) {
  ASSERT_FALSE(identity_.empty());
  CCdCuePointDlg dialog(machine_.Db(), kSong, Track2());
  EXPECT_EQ(dialog.windowTitle(), "Set Cue Points for CD Track");
  const long start = dialog.SongStart();
  EXPECT_EQ(dialog.SongEnd() - start, 225);
  EXPECT_TRUE(dialog.findChild<CPlaybackPanel*>()->TransportEnabled());
  ASSERT_NE(dialog.findChild<QWidget*>("door"), nullptr);

  ParkCd(start + 2 * 75 + 10);
  AddNamed(dialog, "DROP");
  // Play has run on into track 3: the cue is held to the end of track 2.
  ParkCd(start + 300);
  AddNamed(dialog, "OUTRO");
  EXPECT_EQ(CuesOf(machine_.Db(), kSong),
            (std::vector<Cue>{{"DROP", 1, "00:02:10"}, {"OUTRO", 2, "00:03:00"}}));

  Select(dialog, 0);
  dialog.OnEdit();
  EXPECT_EQ(dialog.CuePosition(), start + 160);
  TypeOffset(dialog, "0", "3", "1");  // 00:03:01 lies past the track
  dialog.OnSave();
  EXPECT_EQ(CuesOf(machine_.Db(), kSong)[0].offset, "00:02:10");
  TypeOffset(dialog, "0", "1", "5");
  dialog.OnSave();
  EXPECT_EQ(CuesOf(machine_.Db(), kSong)[0].offset, "00:01:05");

  ui_.answers = {MsgAnswer::No};
  Select(dialog, 1);
  dialog.OnDelete();
  EXPECT_EQ(ui_.Texts(), std::vector<QString>{"Are you sure you want to delete cue point OUTRO ?"});
}

TEST_F(CdCueEditor, AnotherDiscKeepsTheTransportOffUntilTheSongsDiscComesBack) {
  machine_.EmptyTray();
  machine_.LoadTestDisc(200);
  ASSERT_NE(machine_.DiscIdentity(), identity_);

  CCdCuePointDlg dialog(machine_.Db(), kSong, Track2());
  auto* panel = dialog.findChild<CPlaybackPanel*>();
  EXPECT_FALSE(panel->TransportEnabled());
  EXPECT_EQ(Hint(dialog), "Insert 'ALBUM' into CD Drive.");
  EXPECT_TRUE(dialog.findChild<QWidget*>("door")->isEnabled());
  dialog.OnTimer();
  EXPECT_FALSE(panel->TransportEnabled());

  machine_.EmptyTray();
  dialog.OnTimer();
  EXPECT_EQ(dialog.findChild<QLineEdit*>("statusField")->text(), "*INSERT CD*");
  EXPECT_EQ(dialog.findChild<QLineEdit*>("positionField")->text(), "");

  // Another wrong disc changes nothing; the song's own disc starts the track.
  machine_.LoadTestDisc(200);
  dialog.OnTimer();
  EXPECT_FALSE(panel->TransportEnabled());
  machine_.EmptyTray();
  dialog.OnTimer();
  machine_.LoadTestDisc();
  dialog.OnTimer();
  EXPECT_TRUE(panel->TransportEnabled());
  EXPECT_EQ(dialog.SongEnd() - dialog.SongStart(), 225);
  EXPECT_EQ(machine_.Mci("status cdplay mode"), "playing");
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog.result(), 0);
}

}  // namespace
}  // namespace vx
