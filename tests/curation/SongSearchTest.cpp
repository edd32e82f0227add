#include "curation/CSongSearchDlg.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "curation/CSongInfoDlg.h"
#include "curation/CurationText.h"
#include "library/LibraryQueries.h"
#include "library/LibraryText.h"
#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

QString Text(const char* text) { return QString::fromUtf8(text); }

class NoTools : public SongEditorTools {
 public:
  std::optional<double> CountBpm(QWidget*, const BpmRequest&) override { return {}; }
  void EditCueList(QWidget*, dao::DaoDatabase&, const CueListRequest&) override {}
};

// A library with songs of every media, their files, cue points and two playlists; the
// search dialog runs through the scripted modal service and the test works it.
class SongSearch : public testing::Test {
 protected:
  SongSearch() : folder_(test::MakeTestLibrary()) {
    database_.Open(folder_ + "/Velumix.vxl");
    database_.Execute(
        "INSERT INTO SongType VALUES ('ROCK', 'Rock'); "
        "INSERT INTO SongType VALUES ('HOUSE', 'House');");
  }

  void AddSong(int id, const char* name, const char* artist, double bpm, char media,
               const char* type = "ROCK") {
    database_.Execute("INSERT INTO Songs (SongID, SongTypeCode, SongName, SongArtist, SongBPM, "
                      "SongLength, SongCompression) VALUES (" +
                      std::to_string(id) + ", '" + type + "', '" + name + "', '" + artist +
                      "', " + std::to_string(bpm) + ", '03:00.000', '" + std::string(1, media) +
                      "')");
    if (media != kCodeCd) std::ofstream(SongFile(id)) << "RIFF";
  }

  std::string SongFile(int id) const { return SongFileName(folder_, std::uint32_t(id)); }

  long Count(const std::string& sql) {
    dao::DaoRecordset rows(database_);
    rows.Open(dao::OpenType::Snapshot, sql, dao::kReadOnly);
    return long(std::get<std::int64_t>(rows.GetFieldValue(0)));
  }

  std::vector<std::string> SongsFolderFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(SongsFolder(folder_))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Runs the dialog; `work` drives it while it is shown, other dialogs go to `other`.
  void Run(const std::function<void(CSongSearchDlg&)>& work,
           const std::function<int(QDialog&)>& other = {}) {
    SongSearchSetup setup;
    setup.libraryFolder = folder_;
    CSongSearchDlg dialog(database_, setup, tools_);
    dialog_ = &dialog;
    ui_.modalDriver = [&](QDialog& shown) {
      if (&shown != &dialog) return other ? other(shown) : int(QDialog::Rejected);
      work(dialog);
      return int(QDialog::Accepted);
    };
    dialog.Run();
    dialog_ = nullptr;
  }

  QTreeWidget& List() const { return *dialog_->findChild<QTreeWidget*>("songList"); }
  QLineEdit& Edit(const char* name) const { return *dialog_->findChild<QLineEdit*>(name); }
  QPushButton& Button(const char* name) const { return *dialog_->findChild<QPushButton*>(name); }
  void Choose(const char* radio) const { dialog_->findChild<QRadioButton*>(radio)->click(); }

  std::vector<std::vector<std::string>> Rows() const {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < List().topLevelItemCount(); ++i) {
      std::vector<std::string> row;
      for (int c = 0; c < 5; ++c) row.push_back(List().topLevelItem(i)->text(c).toStdString());
      rows.push_back(row);
    }
    return rows;
  }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> texts;
    for (const auto& row : Rows()) texts.push_back(row[std::size_t(column)]);
    return texts;
  }
  void SelectId(const std::string& id) const {
    for (int i = 0; i < List().topLevelItemCount(); ++i) {
      if (List().topLevelItem(i)->text(4).toStdString() == id) {
        List().setCurrentItem(List().topLevelItem(i));
      }
    }
  }

  test::ScriptedUi ui_;
  std::string folder_;
  dao::DaoDatabase database_;
  NoTools tools_;
  CSongSearchDlg* dialog_ = nullptr;
};

TEST_F(SongSearch, ListsEverySongWithItsColumnsAndSortsByNumberOrText) {
  AddSong(1, "Zebra", "b artist", 128, kCodePcm);
  AddSong(2, "apple", "A ARTIST", 95.5, kCodeCd, "HOUSE");
  AddSong(10, "Mango", "C ARTIST", 100, kCodeAdpcm);
  Run([&](CSongSearchDlg& dialog) {
    // Before any search a header click does nothing.
    dialog.OnColumnClick(3);
    EXPECT_EQ(dialog.SortField(), "{Songs.SongID}");
    EXPECT_FALSE(Button("deleteButton").isEnabled());

    Button("searchButton").click();
    EXPECT_EQ(dialog.LastStatement(), "SELECT * FROM Songs ;");
    EXPECT_EQ(dialog.LastFormula(), "");
    const std::vector<std::vector<std::string>> expected{
        {"Zebra", "b artist", "ROCK", "128.00", "1"},
        {"apple", "A ARTIST", "HOUSE", "095.50", "2"},
        {"Mango", "C ARTIST", "ROCK", "100.00", "10"}};
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(List().currentItem(), List().topLevelItem(0));
    EXPECT_TRUE(Button("deleteButton").isEnabled());
    // Each row has its media's icon.
    EXPECT_FALSE(List().topLevelItem(1)->icon(0).isNull());

    List().header()->sectionClicked(3);
    EXPECT_EQ(Column(3), (std::vector<std::string>{"095.50", "100.00", "128.00"}));
    EXPECT_EQ(dialog.SortField(), "{Songs.SongBPM}");
    dialog.OnColumnClick(4);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"1", "2", "10"}));
    dialog.OnColumnClick(0);  // without regard to case
    EXPECT_EQ(Column(0), (std::vector<std::string>{"apple", "Mango", "Zebra"}));
    dialog.OnColumnClick(1);
    EXPECT_EQ(dialog.SortField(), "{Songs.SongArtist}");
    EXPECT_EQ(Column(1), (std::vector<std::string>{"A ARTIST", "b artist", "C ARTIST"}));
    // The stored statement keeps no sort.
    EXPECT_EQ(dialog.LastStatement(), "SELECT * FROM Songs ;");
  });
}

TEST_F(SongSearch, CriteriaNarrowTheListAndABadTempoIsRefused) {
  AddSong(1, "BEAT ONE", "X", 128, kCodePcm);
  AddSong(2, "BEAT O''TWO", "Y", 121, kCodeCd);
  AddSong(3, "OTHER", "Z", 125, kCodeMp3);
  Run([&](CSongSearchDlg& dialog) {
    // Both tempo fields start disabled; the choice enables what it needs.
    EXPECT_FALSE(Edit("bpm1Edit").isEnabled());
    Choose("bpmBetween");
    EXPECT_TRUE(Edit("bpm1Edit").isEnabled());
    EXPECT_TRUE(Edit("bpm2Edit").isEnabled());
    Choose("bpmGreater");
    EXPECT_FALSE(Edit("bpm2Edit").isEnabled());

    QTest::keyClicks(&Edit("nameEdit"), "beat");
    EXPECT_EQ(Edit("nameEdit").text(), "BEAT");
    Choose("mediaWav");
    Edit("bpm1Edit").setText("120");
    Button("searchButton").click();
    EXPECT_EQ(Column(4), (std::vector<std::string>{"1"}));
    EXPECT_EQ(dialog.LastFormula(),
              "{Songs.SongName} like '*BEAT*' and {Songs.SongCompression} in [' ', 'A', 'M']  "
              "and {Songs.SongBPM} > 120");

    // An apostrophe is a character like any other.
    Edit("nameEdit").setText("O'T");
    Choose("mediaAll");
    Button("searchButton").click();
    EXPECT_EQ(Column(4), (std::vector<std::string>{"2"}));

    // A tempo that is not a number: the message, and the list stays as it was.
    Edit("bpm1Edit").setText("fast");
    Button("searchButton").click();
    EXPECT_EQ(ui_.Texts().back(), Text(text::kBpmNotNumber));
    EXPECT_EQ(Column(4), (std::vector<std::string>{"2"}));
  });
  EXPECT_EQ(ui_.messages.size(), 1u);
}

TEST_F(SongSearch, TypedTextsKeepToTheColumnsLimits) {
  Run([&](CSongSearchDlg&) {
    const QString huge(5000, QLatin1Char('a'));
    for (const char* field : {"nameEdit", "artistEdit", "albumEdit", "labelEdit"}) {
      Edit(field).insert(huge);
    }
    Edit("bpm1Edit").insert(huge);
    EXPECT_EQ(Edit("nameEdit").text().size(), 40);
    EXPECT_EQ(Edit("labelEdit").text().size(), 30);
    EXPECT_EQ(Edit("bpm1Edit").text().size(), 6);
    Button("searchButton").click();  // an empty result, no failure
    EXPECT_EQ(List().topLevelItemCount(), 0);
  });
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(SongSearch, ViewAndEditOpenTheSongInTheEditor) {
  AddSong(7, "SEVEN", "ARTIST", 120, kCodePcm);
  std::vector<QString> titles;
  Run(
      [&](CSongSearchDlg&) {
        Button("viewButton").click();  // nothing listed yet
        Button("searchButton").click();
        Button("viewButton").click();
        Button("editButton").click();
        List().itemDoubleClicked(List().topLevelItem(0), 0);
      },
      [&](QDialog& shown) {
        if (auto* editor = qobject_cast<CSongInfoDlg*>(&shown)) {
          titles.push_back(editor->windowTitle());
          EXPECT_EQ(editor->SongID(), 7);
        }
        return int(QDialog::Rejected);
      });
  ASSERT_EQ(titles.size(), 3u);
  EXPECT_EQ(titles[0], "View Song 7");
  EXPECT_EQ(titles[1], "Update Song 7");
}

TEST_F(SongSearch, DeletingASongRemovesItsFileCuesPlaylistEntriesAndRow) {
  AddSong(1, "ONE", "A", 120, kCodePcm);
  AddSong(2, "TWO", "B", 121, kCodeAdpcm);
  AddSong(3, "CD SONG", "C", 122, kCodeCd);
  database_.Execute(
      "INSERT INTO CueList VALUES ('INTRO', 1, '00:01.000', 1);"
      "INSERT INTO CueList VALUES ('INTRO', 1, '00:01.000', 2);"
      "INSERT INTO Playlist VALUES ('MIX', '2026-12-07 10:00:00', 1, '');"
      "INSERT INTO PlaylistDetail VALUES ('MIX', 1, 2, '');"
      "INSERT INTO PlaylistDetail VALUES ('MIX', 2, 1, '');"
      "INSERT INTO PlaylistDetail VALUES ('MIX', 3, 3, '');");
  fs::permissions(SongFile(1), fs::perms::owner_read);  // a read-only file goes too
  Run([&](CSongSearchDlg&) {
    Button("searchButton").click();
    // No keeps everything.
    ui_.answers = {MsgAnswer::No};
    SelectId("1");
    Button("deleteButton").click();
    EXPECT_EQ(List().topLevelItemCount(), 3);
    EXPECT_TRUE(fs::exists(SongFile(1)));

    ui_.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    Button("deleteButton").click();
    SelectId("3");
    Button("deleteButton").click();
    EXPECT_EQ(Column(4), (std::vector<std::string>{"2"}));
  });
  ASSERT_EQ(ui_.messages.size(), 3u);
  EXPECT_EQ(ui_.messages[0].text, Text(text::kConfirmDeleteSong));
  EXPECT_EQ(ui_.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(ui_.messages[0].defaultButton, 1);  // No
  EXPECT_EQ(CountSongs(database_, ""), 1);
  EXPECT_EQ(Count("SELECT count(*) FROM CueList"), 1);
  EXPECT_EQ(Count("SELECT count(*) FROM PlaylistDetail WHERE SongID = 2"), 1);
  EXPECT_EQ(Count("SELECT count(*) FROM PlaylistDetail"), 1);
  // Only the other song's file is left: nothing set aside stays behind.
  EXPECT_EQ(SongsFolderFiles(), (std::vector<std::string>{"Song0000000002.Wav"}));
}

TEST_F(SongSearch, AFailedDeletionKeepsTheSongAndItsFile) {
  AddSong(1, "NO FILE", "A", 120, kCodePcm);
  AddSong(2, "GUARDED", "B", 121, kCodePcm);
  fs::remove(SongFile(1));
  // A database that refuses to lose playlist entries fails the transaction half-way.
  database_.Execute(
      "INSERT INTO PlaylistDetail VALUES ('MIX', 1, 2, '');"
      "CREATE TRIGGER KeepEntries BEFORE DELETE ON PlaylistDetail "
      "BEGIN SELECT RAISE(ABORT, 'entries are kept'); END;");
  ui_.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
  bool closed = false;
  Run([&](CSongSearchDlg& dialog) {
    Button("searchButton").click();
    SelectId("1");
    Button("deleteButton").click();
    EXPECT_EQ(ui_.Texts().back(), Text(text::kDeleteSongFailed));
    EXPECT_EQ(ui_.messages.back().icon, MsgIcon::Stop);
    EXPECT_EQ(List().topLevelItemCount(), 2);

    SelectId("2");
    Button("deleteButton").click();  // the database error closes the dialog
    closed = dialog.result() == QDialog::Rejected && !dialog.isVisible();
  });
  EXPECT_TRUE(closed);
  EXPECT_EQ(CountSongs(database_, ""), 2);
  EXPECT_EQ(Count("SELECT count(*) FROM PlaylistDetail"), 1);
  EXPECT_TRUE(fs::exists(SongFile(2)));
  EXPECT_EQ(SongsFolderFiles(), (std::vector<std::string>{"Song0000000002.Wav"}));
}

}  // namespace
}  // namespace vx
