#include "playlists/CPlaylistEditDlg.h"
#include "playlists/CPlaylistSelectDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "curation/SongDeletion.h"
#include "library/LibraryText.h"
#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"
#include "player/PanelQueries.h"
#include "playlists/PlaylistText.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

class Playlists : public testing::Test {
 protected:
  Playlists() : folder_(test::MakeTestLibrary()) {
    database_.Open(folder_ + "/Velumix.vxl");
    database_.Execute("INSERT INTO SongType VALUES ('ROCK', 'Rock');");
  }

  void AddSong(int id, const char* name, double bpm, const char* length, char media = ' ') {
    database_.Execute("INSERT INTO Songs (SongID, SongTypeCode, SongName, SongArtist, SongBPM, "
                      "SongLength, SongCompression) VALUES (" +
                      std::to_string(id) + ", 'ROCK', '" + name + "', 'ARTIST " + name + "', " +
                      std::to_string(bpm) + ", '" + length + "', '" + std::string(1, media) +
                      "')");
  }
  void AddPlaylist(const char* name, std::vector<int> songs = {}) {
    database_.Execute(std::string("INSERT INTO Playlist VALUES ('") + name +
                      "', '2026-01-01 10:00:00', 1, '')");
    int sequence = 0;
    for (int song : songs) {
      database_.Execute(std::string("INSERT INTO PlaylistDetail VALUES ('") + name + "', " +
                        std::to_string(++sequence) + ", " + std::to_string(song) + ", '')");
    }
  }

  // The entries as stored: "sequence:SongID" in sequence order.
  std::vector<std::string> Stored(const std::string& name) {
    dao::DaoRecordset rows(database_);
    rows.Open(dao::OpenType::Snapshot,
              "SELECT PlaylistSequenceNum, SongID FROM PlaylistDetail WHERE PlaylistName = '" +
                  name + "' ORDER BY PlaylistSequenceNum",
              dao::kReadOnly);
    std::vector<std::string> entries;
    for (; !rows.IsEOF(); rows.MoveNext()) {
      entries.push_back(std::to_string(std::get<std::int64_t>(rows.GetFieldValue(0))) + ":" +
                        std::to_string(std::get<std::int64_t>(rows.GetFieldValue(1))));
    }
    return entries;
  }
  long Count(const std::string& sql) {
    dao::DaoRecordset rows(database_);
    rows.Open(dao::OpenType::Snapshot, sql, dao::kReadOnly);
    return long(std::get<std::int64_t>(rows.GetFieldValue(0)));
  }

  // Runs the selection dialog with the box showing `typed` (or the list's first name when
  // null) and presses `button`.
  int Select(CPlaylistSelectDlg& dialog, const char* typed, const char* button) {
    ui_.modalDriver = [&](QDialog&) {
      auto* box = dialog.findChild<QComboBox*>("nameBox");
      if (typed != nullptr) {
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), typed);
      }
      dialog.findChild<QPushButton*>(button)->click();
      return dialog.result();
    };
    return dialog.Run();
  }

  // Runs the editor; `work` drives it while it is shown.
  int Edit(const QString& name, bool isNew, const std::function<void(CPlaylistEditDlg&)>& work) {
    CPlaylistEditDlg dialog(database_, name, isNew);
    dialog_ = &dialog;
    ui_.modalDriver = [&](QDialog&) {
      work(dialog);
      return dialog.result();
    };
    const int result = dialog.Run();
    dialog_ = nullptr;
    return result;
  }
  template <typename T>
  T& Child(const char* name) const {
    return *dialog_->findChild<T*>(name);
  }
  void Click(const char* button) const { Child<QPushButton>(button).click(); }
  QTreeWidget& Entries() const { return Child<QTreeWidget>("entryList"); }
  QListWidget& Chooser() const { return Child<QListWidget>("chooserList"); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 0; i < Entries().topLevelItemCount(); ++i) {
      names.push_back(Entries().topLevelItem(i)->text(0).toStdString());
    }
    return names;
  }
  void Choose(const std::vector<int>& lines) const {
    for (int line : lines) Chooser().item(line)->setSelected(true);
  }

  test::ScriptedUi ui_;
  std::string folder_;
  dao::DaoDatabase database_;
  CPlaylistEditDlg* dialog_ = nullptr;
};

TEST_F(Playlists, TypedNamesAreCleanedCutAndCheckedAgainstTheList) {
  AddPlaylist("ROCK");
  AddPlaylist("CHILL");
  {
    CPlaylistSelectDlg dialog(database_);
    // The names come sorted and the first is chosen.
    ASSERT_EQ(Select(dialog, nullptr, "selectButton"), QDialog::Accepted);
    EXPECT_EQ(dialog.Name(), "CHILL");
    EXPECT_FALSE(dialog.IsNew());
  }
  {
    CPlaylistSelectDlg dialog(database_);
    ASSERT_EQ(Select(dialog, "My list?", "selectButton"), QDialog::Accepted);
    EXPECT_EQ(dialog.Name(), "My list_");
    EXPECT_TRUE(dialog.IsNew());
  }
  {
    CPlaylistSelectDlg dialog(database_);
    EXPECT_EQ(Select(dialog, "rock", "selectButton"), QDialog::Rejected);  // stays open
    EXPECT_EQ(ui_.Texts().back(),
              "Playlist rock already exists. Please choose another name to create a new "
              "playlist.");
    EXPECT_EQ(ui_.messages.back().icon, MsgIcon::Exclamation);
  }
  {
    CPlaylistSelectDlg dialog(database_);
    ASSERT_EQ(Select(dialog, "0123456789012345678901234567890123456789", "selectButton"),
              QDialog::Accepted);
    EXPECT_EQ(dialog.Name(), "012345678901234567890123456789");
  }
  {
    // An empty name chooses nothing.
    CPlaylistSelectDlg dialog(database_);
    EXPECT_EQ(Select(dialog, "", "selectButton"), QDialog::Rejected);
  }
  EXPECT_EQ(Count("SELECT count(*) FROM Playlist"), 2);  // choosing writes nothing
}

TEST_F(Playlists, DeletingAPlaylistAsksThenRemovesItWithItsEntries) {
  AddSong(1, "A", 120, "03:00.000");
  AddPlaylist("AB''C", {1, 1});
  AddPlaylist("OTHER", {1});
  CPlaylistSelectDlg first(database_);
  ui_.answers = {MsgAnswer::No};
  EXPECT_EQ(Select(first, nullptr, "deleteButton"), QDialog::Rejected);
  EXPECT_EQ(ui_.messages.back().defaultButton, 1);
  EXPECT_EQ(Count("SELECT count(*) FROM Playlist"), 2);

  CPlaylistSelectDlg second(database_);
  ui_.answers = {MsgAnswer::Yes};
  EXPECT_EQ(Select(second, nullptr, "deleteButton"), QDialog::Rejected);
  EXPECT_EQ(ui_.Texts().back(),
            "Are you SURE you want to DELETE playlist [AB'C]? Click yes to permanently delete "
            "the playlist. This operation cannot be undone.");
  EXPECT_EQ(Count("SELECT count(*) FROM Playlist"), 1);
  EXPECT_EQ(Stored("AB''C"), std::vector<std::string>{});
  EXPECT_EQ(Stored("OTHER"), std::vector<std::string>{"1:1"});
}

TEST_F(Playlists, ANewPlaylistIsWhatTheControlPanelLists) {
  AddSong(1, "SLOW", 95.5, "03:30.500");
  AddSong(2, "FAST", 128, "02:29.600");
  AddSong(3, "ON CD", 128, "02:00:10", 'C');
  AddSong(4, "OFF TEMPO", 150, "01:00.000");
  Edit("NEW ONE", true, [&](CPlaylistEditDlg& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Create Playlist NEW ONE:");
    EXPECT_FALSE(Child<QPushButton>("saveButton").isEnabled());
    EXPECT_FALSE(Child<QPushButton>("addButton").isEnabled());
    EXPECT_EQ(Chooser().count(), 0);  // empty until Find

    Child<QLineEdit>("bpmEdit").setText("110");
    Click("findButton");
    // WAVE songs only, within 5 % of the tempo... none at 110.
    EXPECT_EQ(Chooser().count(), 0);
    Child<QLineEdit>("bpmEdit").clear();
    Click("findButton");
    ASSERT_EQ(Chooser().count(), 3);  // not the CD song; ordered by tempo
    EXPECT_EQ(Chooser().item(0)->text(), "095.50 - SLOW (ARTIST SLOW)");
    EXPECT_EQ(Chooser().item(1)->text(), "128.00 - FAST (ARTIST FAST)");

    Choose({0, 1});
    EXPECT_EQ(Child<QLabel>("chooserLabel").text(), "Choose So&ngs:\n 2 selected");
    Click("addButton");  // A, B at the end
    EXPECT_EQ(Chooser().selectedItems().size(), 0);
    Entries().setCurrentItem(Entries().topLevelItem(0));
    Choose({0});
    Click("addButton");  // below the selected row: A, A, B
    EXPECT_EQ(Names(), (std::vector<std::string>{"SLOW", "SLOW", "FAST"}));
    EXPECT_EQ(Entries().currentItem(), Entries().topLevelItem(0));
    Entries().setCurrentItem(Entries().topLevelItem(1));
    Click("downButton");  // the selected row (the second A) goes down: A, B, A
    EXPECT_EQ(Names(), (std::vector<std::string>{"SLOW", "FAST", "SLOW"}));
    EXPECT_EQ(Entries().currentItem(), Entries().topLevelItem(2));
    Click("downButton");  // the last row cannot go further
    EXPECT_EQ(Names(), (std::vector<std::string>{"SLOW", "FAST", "SLOW"}));
    EXPECT_EQ(Entries().topLevelItem(1)->text(3), "128.00");
    EXPECT_EQ(Entries().topLevelItem(1)->text(4), "02:29.600");
    EXPECT_EQ(Child<QLabel>("trtLabel").text(), "TRT: 00:09:30");
    Click("saveButton");
  });
  EXPECT_EQ(Stored("NEW ONE"), (std::vector<std::string>{"1:1", "2:2", "3:1"}));
  EXPECT_EQ(player::ReadPlaylistNames(database_), std::vector<std::string>{"NEW ONE"});
  EXPECT_EQ(player::ReadPlaylistEntries(database_, "NEW ONE").lines,
            (QStringList{"01: SLOW (ARTIST SLOW)", "02: FAST (ARTIST FAST)",
                         "03: SLOW (ARTIST SLOW)"}));
}

TEST_F(Playlists, EditingRewritesEveryEntryAndCancelAsksOnlyAfterAChange) {
  AddSong(1, "ONE", 120, "03:30.500");
  AddSong(2, "TWO", 121, "02:29.600");
  AddSong(3, "LONG", 122, "120:00.000");
  AddSong(4, "NO LENGTH", 123, "");
  // Entries with a gap in their numbers (a song was deleted) and one whose song is gone.
  AddPlaylist("SET", {});
  database_.Execute(
      "INSERT INTO PlaylistDetail VALUES ('SET', 1, 1, '');"
      "INSERT INTO PlaylistDetail VALUES ('SET', 3, 2, '');"
      "INSERT INTO PlaylistDetail VALUES ('SET', 4, 99, '');"
      "INSERT INTO PlaylistDetail VALUES ('SET', 5, 3, '');"
      "INSERT INTO PlaylistDetail VALUES ('SET', 6, 4, '');");

  // Cancel right after opening: no question.
  EXPECT_EQ(Edit("SET", false, [&](CPlaylistEditDlg&) { Click("cancelButton"); }),
            QDialog::Rejected);
  EXPECT_TRUE(ui_.messages.empty());

  Edit("SET", false, [&](CPlaylistEditDlg& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Edit Playlist SET:");
    EXPECT_EQ(Names(), (std::vector<std::string>{"ONE", "TWO", "NO SONG INFO", "LONG",
                                                 "NO LENGTH"}));
    EXPECT_EQ(Entries().currentItem(), Entries().topLevelItem(0));
    EXPECT_TRUE(Child<QPushButton>("deleteButton").isEnabled());
    // Over two hours: the length past 99 minutes counts in full, an empty one as 0.
    EXPECT_EQ(Child<QLabel>("trtLabel").text(), "TRT: 02:06:00");
    Click("upButton");  // the first row cannot go up
    EXPECT_FALSE(Child<QPushButton>("saveButton").isEnabled());
    Entries().setCurrentItem(Entries().topLevelItem(3));
    Click("deleteButton");
    EXPECT_EQ(Child<QLabel>("trtLabel").text(), "TRT: 00:06:00");

    // Cancel now asks; No stays.
    ui_.answers = {MsgAnswer::No};
    Click("cancelButton");
    EXPECT_EQ(ui_.Texts().back(), Text(text::kAbandonPlaylistChanges));
    EXPECT_EQ(ui_.messages.back().defaultButton, 1);
    Click("saveButton");
  });
  EXPECT_EQ(Stored("SET"), (std::vector<std::string>{"1:1", "2:2", "3:99", "4:4"}));
  EXPECT_EQ(Count("SELECT count(*) FROM Playlist"), 1);

  // Deleting the only rows leaves an empty playlist that is still saved.
  Edit("SET", false, [&](CPlaylistEditDlg&) {
    while (Entries().topLevelItemCount() > 0) {
      Entries().setCurrentItem(Entries().topLevelItem(0));
      Click("deleteButton");
    }
    Click("saveButton");
  });
  EXPECT_EQ(Stored("SET"), std::vector<std::string>{});
  EXPECT_EQ(Count("SELECT count(*) FROM Playlist"), 1);
}

TEST_F(Playlists, ABadTempoIsRefusedAndANewPlaylistLeavesNoTraceOnCancel) {
  AddSong(1, "ONE", 120, "03:30.500");
  Edit("FRESH", true, [&](CPlaylistEditDlg&) {
    Child<QLineEdit>("bpmEdit").setText("1x0");
    Click("findButton");
    EXPECT_EQ(ui_.Texts().back(), Text(text::kBpmNotNumber));
    Child<QLineEdit>("bpmEdit").setText("118");
    Click("findButton");
    ASSERT_EQ(Chooser().count(), 1);
    Click("selectAllButton");
    Click("addButton");
    ui_.answers = {MsgAnswer::Yes};
    Click("cancelButton");
  });
  EXPECT_EQ(Count("SELECT count(*) FROM Playlist"), 0);
  EXPECT_EQ(Count("SELECT count(*) FROM PlaylistDetail"), 0);
}

TEST_F(Playlists, ADeletedSongLeavesTheOtherEntriesForTheControlPanel) {
  AddSong(1, "ONE", 120, "03:00.000");
  AddSong(2, "TWO", 121, "03:00.000");
  AddSong(3, "THREE", 122, "03:00.000", 'C');
  AddPlaylist("SET", {1, 2, 3, 1});
  std::ofstream(SongFileName(folder_, 2)) << "RIFF";
  EXPECT_EQ(DeleteSong(database_, SongsFolder(folder_), 2, true), SongDeletion::Deleted);
  EXPECT_FALSE(std::filesystem::exists(SongFileName(folder_, 2)));
  // The entries keep their numbers until the playlist is saved again.
  EXPECT_EQ(player::ReadPlaylistEntries(database_, "SET").lines,
            (QStringList{"01: ONE (ARTIST ONE)", "03: THREE (ARTIST THREE)",
                         "04: ONE (ARTIST ONE)"}));
  EXPECT_EQ(DeleteSong(database_, SongsFolder(folder_), 3, false), SongDeletion::Deleted);
  EXPECT_EQ(Stored("SET"), (std::vector<std::string>{"1:1", "4:1"}));

  Edit("SET", false, [&](CPlaylistEditDlg&) {
    EXPECT_EQ(Names(), (std::vector<std::string>{"ONE", "ONE"}));
    EXPECT_FALSE(Child<QPushButton>("saveButton").isEnabled());
    Click("downButton");
    Click("saveButton");
  });
  EXPECT_EQ(Stored("SET"), (std::vector<std::string>{"1:1", "2:1"}));
}

}  // namespace
}  // namespace vx
