#include "curation/CSongTypeDlg.h"
#include "curation/CSongTypeListDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "curation/CurationText.h"
#include "library/CSongTypeRecordSet.h"
#include "library/LibraryQueries.h"
#include "platform/dao/DaoDatabase.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// Types any text as key presses (QTest's key clicks know only ASCII).
void TypeText(QWidget* field, const QString& text) {
  for (const QChar character : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
    QApplication::sendEvent(field, &press);
  }
}

using Rows = std::vector<std::pair<std::string, std::string>>;

// The song type list run through the scripted modal service: the test works the list, and
// each type dialog it opens is answered by the next entry of `answers`.
class SongTypes : public testing::Test {
 protected:
  SongTypes() : folder_(test::MakeTestLibrary()) { database_.Open(folder_ + "/Velumix.vxl"); }

  using TypeAnswer = std::function<void(CSongTypeDlg&)>;

  void Run(const std::function<void(CSongTypeListDlg&, QTreeWidget&)>& work) {
    CSongTypeListDlg dialog(database_);
    ui_.modalDriver = [&](QDialog& shown) {
      if (auto* type = qobject_cast<CSongTypeDlg*>(&shown)) {
        if (answers_.empty()) return int(QDialog::Rejected);
        const TypeAnswer answer = answers_.front();
        answers_.pop_front();
        answer(*type);
        return type->result();
      }
      work(dialog, *dialog.findChild<QTreeWidget*>(QStringLiteral("typeList")));
      dialog.accept();
      return int(QDialog::Accepted);
    };
    dialog.Run();
  }

  // A type dialog answer: types code and description, then OK.
  static TypeAnswer Enter(const QString& code, const QString& description) {
    return [=](CSongTypeDlg& dialog) {
      auto* codeEdit = dialog.findChild<QLineEdit*>(QStringLiteral("codeEdit"));
      if (!codeEdit->isReadOnly()) QTest::keyClicks(codeEdit, code);
      auto* descriptionEdit = dialog.findChild<QPlainTextEdit*>(QStringLiteral("descriptionEdit"));
      descriptionEdit->selectAll();
      descriptionEdit->insertPlainText(description);
      dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    };
  }

  static Rows Shown(QTreeWidget& list) {
    Rows rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
      rows.emplace_back(list.topLevelItem(i)->text(0).toStdString(),
                        list.topLevelItem(i)->text(1).toStdString());
    }
    return rows;
  }

  Rows Stored() {
    CSongTypeRecordSet types(database_);
    types.SetSort("SongTypeCode");
    types.Open(dao::OpenType::Snapshot);
    Rows rows;
    for (; !types.IsEOF(); types.MoveNext()) {
      rows.emplace_back(types.SongTypeCode, types.SongTypeDescription);
    }
    return rows;
  }

  static void Select(QTreeWidget& list, int row) {
    list.setCurrentItem(list.topLevelItem(row));
  }

  test::ScriptedUi ui_;
  std::string folder_;
  dao::DaoDatabase database_;
  std::deque<TypeAnswer> answers_;
};

TEST_F(SongTypes, NewTypesAreStoredInCapitalsAndEachCodeOnce) {
  answers_ = {Enter("rock", "Guitars"), Enter("ROCK", "Again"), Enter("dj's", "Apostrophe"),
              Enter("Dj's", "Same code"), Enter("", "No code")};
  Rows shown;
  Run([&](CSongTypeListDlg& dialog, QTreeWidget& list) {
    for (int i = 0; i < 5; ++i) dialog.OnNew();
    shown = Shown(list);
  });
  // An empty code is a code like any other.
  const Rows expected{{"", "No code"}, {"DJ'S", "Apostrophe"}, {"ROCK", "Guitars"}};
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(Stored(), expected);
  EXPECT_EQ(ui_.Texts(),
            (std::vector<QString>{Text(text::kSongTypeExists), Text(text::kSongTypeExists)}));
  EXPECT_EQ(ui_.messages[0].icon, MsgIcon::Exclamation);

  // The list shows its columns; the code field takes ten characters, however many bytes
  // they need; the description 255.
  CSongTypeDlg dialog(SongTypeMode::New, {}, {});
  auto* code = dialog.findChild<QLineEdit*>(QStringLiteral("codeEdit"));
  TypeText(code, QString::fromUtf8("électronica"));
  EXPECT_EQ(code->text(), QString::fromUtf8("ÉLECTRONIC"));
  auto* description = dialog.findChild<QPlainTextEdit*>(QStringLiteral("descriptionEdit"));
  description->insertPlainText(QString(300, QLatin1Char('x')));
  EXPECT_EQ(dialog.Description().size(), 255);
}

TEST_F(SongTypes, EditChangesOnlyTheDescription) {
  database_.Execute("INSERT INTO SongType VALUES ('HOUSE', 'Four to the floor');"
                    "INSERT INTO SongType VALUES ('POP', 'Charts')");
  bool codeReadOnly = false;
  answers_ = {[&](CSongTypeDlg& dialog) {
                codeReadOnly = dialog.findChild<QLineEdit*>(QStringLiteral("codeEdit"))->isReadOnly();
                Enter("X", "Deep and soulful")(dialog);
              },
              [](CSongTypeDlg& dialog) { dialog.reject(); }, Enter("", "Gone")};
  Run([&](CSongTypeListDlg& dialog, QTreeWidget& list) {
    QStringList headers;
    for (int i = 0; i < list.columnCount(); ++i) headers << list.headerItem()->text(i);
    EXPECT_EQ(headers, (QStringList{Text(text::kSongTypeColumn), Text(text::kTypeDescColumn)}));
    Select(list, 0);
    // A double click edits the row like the Edit button.
    emit list.itemDoubleClicked(list.topLevelItem(0), 0);
    Select(list, 1);
    dialog.OnEdit();  // cancelled
    // Another program deletes the type while its dialog is open.
    Select(list, 1);
    database_.Execute("DELETE FROM SongType WHERE SongTypeCode = 'POP'");
    dialog.OnEdit();
  });
  EXPECT_TRUE(codeReadOnly);
  EXPECT_EQ(Stored(), (Rows{{"HOUSE", "Deep and soulful"}}));
  EXPECT_EQ(ui_.Texts(), std::vector<QString>{Text(text::kSongTypeMissing)});
}

TEST_F(SongTypes, DeleteAsksFirstAndLeavesTheSongsOfThatType) {
  database_.Execute("INSERT INTO SongType VALUES ('HOUSE', 'H');"
                    "INSERT INTO SongType VALUES ('POP', 'P');"
                    "INSERT INTO SongType VALUES ('ROCK', 'R');"
                    "INSERT INTO Songs (SongID, SongTypeCode, SongName) VALUES (1, 'POP', 'S')");
  ui_.answers = {MsgAnswer::No, MsgAnswer::Yes, MsgAnswer::Yes};
  Run([&](CSongTypeListDlg& dialog, QTreeWidget& list) {
    list.clearSelection();
    dialog.OnDelete();  // no row selected: nothing is asked
    dialog.OnEdit();    // nor edited
    Select(list, 1);
    dialog.OnDelete();  // No
    Select(list, 1);
    dialog.OnDelete();  // Yes
    Select(list, 1);    // ROCK, deleted meanwhile by another program
    database_.Execute("DELETE FROM SongType WHERE SongTypeCode = 'ROCK'");
    dialog.OnDelete();
  });
  EXPECT_EQ(ui_.Texts(), (std::vector<QString>{
                             QStringLiteral("Are you sure you want to delete type POP?"),
                             QStringLiteral("Are you sure you want to delete type POP?"),
                             QStringLiteral("Are you sure you want to delete type ROCK?"),
                             Text(text::kSongTypeMissing)}));
  EXPECT_EQ(ui_.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(Stored(), (Rows{{"HOUSE", "H"}}));
  EXPECT_EQ(ui_.dialogsRun.size(), 1u);  // only the list itself
  EXPECT_EQ(CountSongs(database_, "Where SongTypeCode = 'POP'"), 1);
}

}  // namespace
}  // namespace vx
