#include "recorder/RecordNewSongFlow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "curation/CSongInfoDlg.h"
#include "library/CSongRecordset.h"
#include "library/LibraryQueries.h"
#include "library/SongStore.h"
#include "platform/settings/ProfileSettings.h"
#include "recorder/CHoverButton.h"
#include "recorder/CRecorderMainWindow.h"
#include "recorder/RecorderText.h"
#include "recording/CRecordNewSongDlg.h"
#include "support/ScriptedUi.h"
#include "support/ScriptedWaveIn.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

QString Text(const char* text) { return QString::fromUtf8(text); }

// "Record New Song..." on a main window over a test library, with a scripted sound card.
class RecordNewSong : public testing::Test {
 protected:
  RecordNewSong() : folder_(test::MakeTestLibrary()) {
    database_.Open(folder_ + "/Velumix.vxl");
    database_.Execute("INSERT INTO SongType VALUES ('HOUSE', 'House')");
    wave::WaveDeviceList::InstallSystem(test::ScriptedInputList(input_));
    ui_.modalDriver = [this](QDialog& dialog) {
      if (auto* recorder = qobject_cast<CRecordNewSongDlg*>(&dialog)) {
        recordDriver(*recorder);
      } else if (auto* editor = qobject_cast<CSongInfoDlg*>(&dialog)) {
        editorShown = true;
        length = editor->findChild<QLineEdit*>(QStringLiteral("lengthEdit"))->text();
        editorDriver(*editor);
      }
      return dialog.result();
    };
  }
  ~RecordNewSong() override { wave::WaveDeviceList::InstallSystem(nullptr); }

  std::unique_ptr<CRecorderMainWindow> Open() {
    RecorderState state;
    state.libraryFolder = QString::fromStdString(folder_);
    state.database = &database_;
    state.inventory.waveInputs = 1;
    CRecorderMainWindow::Environment env;
    env.diskSpace = [](const std::string&) { return DiskFigures{1, 2}; };
    return std::make_unique<CRecorderMainWindow>(std::move(state), std::move(env));
  }

  // Records `buffers` tenths of a second of sound, then presses Done.
  std::function<void(CRecordNewSongDlg&)> Record(int buffers) {
    return [this, buffers](CRecordNewSongDlg& dialog) {
      dialog.findChild<QPushButton*>(QStringLiteral("recordButton"))->click();
      for (int i = 0; i < buffers; ++i) {
        ASSERT_TRUE(input_->Deliver(9000));
        QCoreApplication::sendPostedEvents(&dialog, CRecordNewSongDlg::kBufferFullMessage);
      }
      dialog.findChild<QPushButton*>(QStringLiteral("doneButton"))->click();
    };
  }

  static void Describe(CSongInfoDlg& editor, bool ok) {
    QTest::keyClicks(editor.findChild<QLineEdit*>(QStringLiteral("nameEdit")), "new take");
    QTest::keyClicks(editor.findChild<QLineEdit*>(QStringLiteral("artistEdit")), "me");
    editor.findChild<QDialogButtonBox*>()
        ->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
        ->click();
  }

  // Files left in the Songs folder.
  std::vector<std::string> SongFiles() const { return test::FolderEntries(SongsFolder(folder_)); }

  test::ScriptedUi ui_;
  std::string folder_;
  dao::DaoDatabase database_;
  test::ScriptedWaveIn* input_ = nullptr;
  std::function<void(CRecordNewSongDlg&)> recordDriver = Record(35);
  std::function<void(CSongInfoDlg&)> editorDriver = [](CSongInfoDlg& editor) {
    Describe(editor, true);
  };
  bool editorShown = false;
  QString length;
};

TEST_F(RecordNewSong, ATakeBecomesSongOneWithItsExactLength) {
  auto window = Open();
  ASSERT_TRUE(window->Button(RecorderFlow::RecordNewSong)->isEnabled());
  window->Button(RecorderFlow::RecordNewSong)->click();

  EXPECT_EQ(ui_.dialogsRun, (std::vector<QString>{"Record New Song", "Add new song"}));
  EXPECT_EQ(length, QStringLiteral("00:03.500"));
  const std::string songFile = SongFileName(folder_, 1);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, QString::asprintf(text::kSongCreated, songFile.c_str()));
  EXPECT_EQ(ui_.messages[0].icon, MsgIcon::Information);
  EXPECT_EQ(SongFiles(), std::vector<std::string>{"Song0000000001.Wav"});  // no take left
  EXPECT_EQ(fs::file_size(songFile), 46u + 176400 * 7 / 2);

  CSongRecordset song(database_);
  song.SetFilter("SongID = 1");
  song.Open();
  ASSERT_FALSE(song.IsEOF());
  EXPECT_EQ(song.SongName, "NEW TAKE");
  EXPECT_EQ(song.SongLength, "00:03.500");
  EXPECT_EQ(song.SongCompression, " ");
  EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("totalSongs"))->text(), "1");
  EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("uncompressedSongs"))->text(), "1");
  EXPECT_EQ(ProfileSettings::Get(settings::kAutoThreshold), -35);
  EXPECT_EQ(ProfileSettings::Get(settings::kUseAutoThreshold), 0);
}

TEST_F(RecordNewSong, CancelStoresTheSettingsShownAndDeletesTheTake) {
  ProfileSettings::Set(settings::kAutoThreshold, -30);
  ProfileSettings::Set(settings::kUseAutoThreshold, 1);
  int shownLevel = 0;
  bool shownAuto = false;
  recordDriver = [&](CRecordNewSongDlg& dialog) {
    auto* level = dialog.findChild<QSpinBox*>(QStringLiteral("triggerLevel"));
    auto* autoStart = dialog.findChild<QCheckBox*>(QStringLiteral("autoStartCheck"));
    shownLevel = level->value();
    shownAuto = autoStart->isChecked();
    dialog.findChild<QPushButton*>(QStringLiteral("prepButton"))->click();
    level->setValue(-25);
    autoStart->setChecked(false);
    dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
  };
  auto window = Open();
  window->RunFlow(RecorderFlow::RecordNewSong);
  EXPECT_EQ(shownLevel, -30);
  EXPECT_TRUE(shownAuto);
  EXPECT_EQ(ProfileSettings::Get(settings::kAutoThreshold), -25);
  EXPECT_EQ(ProfileSettings::Get(settings::kUseAutoThreshold), 0);
  EXPECT_FALSE(editorShown);
  EXPECT_TRUE(SongFiles().empty());
  EXPECT_EQ(CountSongs(database_, ""), 0);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(RecordNewSong, EditorCancelAndEmptyTakesAddNothing) {
  editorDriver = [](CSongInfoDlg& editor) { Describe(editor, false); };
  auto window = Open();
  window->RunFlow(RecorderFlow::RecordNewSong);
  EXPECT_TRUE(editorShown);
  EXPECT_TRUE(SongFiles().empty());
  EXPECT_EQ(CountSongs(database_, ""), 0);
  EXPECT_TRUE(ui_.messages.empty());

  // Done before a single sample: nothing to describe.
  editorShown = false;
  recordDriver = Record(0);
  window->RunFlow(RecorderFlow::RecordNewSong);
  EXPECT_FALSE(editorShown);
  EXPECT_EQ(ui_.Texts(), std::vector<QString>{Text(text::kTakeEmpty)});
  EXPECT_TRUE(SongFiles().empty());
}

TEST_F(RecordNewSong, AFailedMoveLeavesNeitherRowNorTake) {
  // A file already holds the new song's name: it is neither replaced nor given a row.
  const std::string occupied = SongFileName(folder_, 1);
  std::ofstream(occupied) << "somebody else's";
  auto window = Open();
  window->RunFlow(RecorderFlow::RecordNewSong);
  EXPECT_TRUE(editorShown);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, Text(text::kCouldNotCopyWav));
  EXPECT_EQ(ui_.messages[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(CountSongs(database_, ""), 0);
  EXPECT_EQ(SongFiles(), std::vector<std::string>{"Song0000000001.Wav"});
  EXPECT_EQ(fs::file_size(occupied), 15u);
}

}  // namespace
}  // namespace vx
