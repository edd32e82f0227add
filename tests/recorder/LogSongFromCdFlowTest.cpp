// "Log Song from CD..." on a main window over a test library and a virtual CD drive: ripped
// tracks checked and offered one by one with their files moved under the songs' names, an
// incomplete copy reported and left out, a refused or failed track losing only its own file,
// and Log Track adding a song that stays on the CD.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "cd/AudioDisc.h"
#include "cd/CLogCdDlg.h"
#include "cd/CMciDevice.h"
#include "cd/LogCdText.h"
#include "cd/VirtualCdDrive.h"
#include "curation/CSongInfoDlg.h"
#include "library/CSongRecordset.h"
#include "library/SongStore.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/wave/WaveTestSupport.h"
#include "recorder/CHoverButton.h"
#include "recorder/CRecorderMainWindow.h"
#include "recorder/LogSongFromCdFlow.h"
#include "recorder/RecorderText.h"
#include "support/CddbTestServer.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

QString Text(const char* text) { return QString::fromUtf8(text); }

class LogSongFromCd : public testing::Test {
 protected:
  LogSongFromCd() : folder_(test::MakeTestLibrary()), tray_(drive_.Tray()) {
    database_.Open(folder_ + "/Velumix.vxl");
    database_.Execute("INSERT INTO SongType VALUES ('ROCK', 'Rock')");
    RecorderState state;
    state.libraryFolder = QString::fromStdString(folder_);
    state.database = &database_;
    state.mci = &mci_;
    state.cdDriveLetter = 'D';
    state.inventory.cdLetters = {'D'};
    CRecorderMainWindow::Environment env;
    env.diskSpace = [](const std::string&) { return DiskFigures{1, 2}; };
    window_ = std::make_unique<CRecorderMainWindow>(std::move(state), std::move(env));
    ProfileSettings::Set(settings::kUseCddb, 0);

    ui_.modalDriver = [this](QDialog& dialog) {
      if (auto* cd = qobject_cast<cd::CLogCdDlg*>(&dialog)) {
        cdDriver(*cd);
      } else if (auto* editor = qobject_cast<CSongInfoDlg*>(&dialog)) {
        EditorSeen seen;
        for (const char* name : {"nameEdit", "artistEdit", "albumEdit", "attributesEdit",
                                 "lengthEdit", "cdTrackEdit", "cdIdEdit"}) {
          seen[name] = editor->findChild<QLineEdit*>(QString::fromUtf8(name))->text();
        }
        editors.push_back(seen);
        if (beforeEditorEnds) beforeEditorEnds(static_cast<int>(editors.size()));
        const bool ok = editorAnswers.empty() || editorAnswers.front();
        if (!editorAnswers.empty()) editorAnswers.pop_front();
        Finish(*editor, ok);
      }
      return dialog.result();
    };
  }
  ~LogSongFromCd() override { window_.reset(); }

  static void Finish(CSongInfoDlg& editor, bool ok) {
    for (const char* name : {"nameEdit", "artistEdit"}) {
      auto* field = editor.findChild<QLineEdit*>(QString::fromUtf8(name));
      if (field->text().isEmpty()) QTest::keyClicks(field, "typed");
    }
    editor.findChild<QDialogButtonBox*>()
        ->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
        ->click();
  }

  // Selects the list entries and rips them, waiting for the dialog to end.
  static void Rip(cd::CLogCdDlg& dialog, const std::vector<int>& entries) {
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("trackList"));
    for (const int entry : entries) list->item(entry)->setSelected(true);
    bool finished = false;
    QObject::connect(&dialog, &QDialog::finished, [&] { finished = true; });
    dialog.findChild<QPushButton*>(QStringLiteral("ripButton"))->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished; }, 60000));
  }

  void Run() { window_->RunFlow(RecorderFlow::LogSongFromCd); }

  std::unique_ptr<CSongRecordset> Song(int id) {
    auto song = std::make_unique<CSongRecordset>(database_);
    song->SetFilter("SongID = " + std::to_string(id));
    song->Open();
    return song;
  }
  std::vector<std::string> SongFiles() const { return test::FolderEntries(SongsFolder(folder_)); }

  using EditorSeen = std::map<std::string, QString>;

  test::ScriptedUi ui_;
  test::VirtualCdDrive drive_;
  CMciDevice& mci_ = drive_.Mci();
  std::string folder_;
  std::string tray_;
  dao::DaoDatabase database_;
  std::unique_ptr<CRecorderMainWindow> window_;
  std::function<void(cd::CLogCdDlg&)> cdDriver = [](cd::CLogCdDlg& dialog) { dialog.reject(); };
  std::deque<bool> editorAnswers;
  std::function<void(int editor)> beforeEditorEnds;
  std::vector<EditorSeen> editors;
};

TEST_F(LogSongFromCd, ThreeRippedTracksWithTheSecondCutShortGiveTheFirstAndThird) {
  const test::AudioDisc disc{{{true, 75 * 2}, {true, 75 * 4}, {true, 75 * 2}}};
  test::WriteAudioDisc(tray_, disc);
  ASSERT_TRUE(window_->Button(RecorderFlow::LogSongFromCd)->isEnabled());
  std::uint32_t discId = 0;
  cdDriver = [&](cd::CLogCdDlg& dialog) {
    discId = dialog.Scan().discId;
    // The disk "fills up" past three seconds of audio: the second copy cannot finish.
    const test::FileSizeLimit full(3 * 176400);
    Rip(dialog, {0, 1, 2});
  };
  Run();

  EXPECT_EQ(ui_.Texts(), (std::vector<QString>{QString::asprintf(text::kCopyIncomplete, 2)}));
  EXPECT_EQ(ui_.messages[0].icon, MsgIcon::Stop);
  ASSERT_EQ(editors.size(), 2u);
  EXPECT_EQ(editors[0]["nameEdit"], QStringLiteral("TRACK 1"));
  EXPECT_EQ(editors[0]["lengthEdit"], QStringLiteral("00:02.000"));
  EXPECT_EQ(editors[1]["nameEdit"], QStringLiteral("TRACK 3"));
  for (const int id : {1, 2}) {
    const auto song = Song(id);
    ASSERT_FALSE(song->IsEOF()) << id;
    EXPECT_EQ(song->SongCompression, " ");
    EXPECT_EQ(song->SongCdTrack, id == 1 ? 1 : 3);
    EXPECT_NE(discId, 0u);
    EXPECT_EQ(static_cast<std::uint32_t>(song->SongCDDB), discId);
    const std::string file = SongFileName(folder_, static_cast<std::uint32_t>(id));
    EXPECT_EQ(test::SoxSamples(file), test::ImageTrackBytes(tray_, disc, id == 1 ? 1 : 3));
  }
  EXPECT_TRUE(Song(3)->IsEOF());
  EXPECT_EQ(SongFiles(), (std::vector<std::string>{"Song0000000001.Wav", "Song0000000002.Wav"}));
  // The CD was closed by the dialog.
  EXPECT_TRUE(mci_.OpenCd('D'));
  EXPECT_TRUE(mci_.CloseDevice(CMciDevice::kCd));
}

TEST_F(LogSongFromCd, TheCddbNamesComeWithTheRippedTrack) {
  test::CddbTestServer server;
  server.SetQueryReply(
      test::CddbTestServer::ExactMatch("rock", "0c01ac02", "Some Artist / Some Album"));
  server.SetReadReply(test::CddbTestServer::ReadReply(
      "rock", "0c01ac02", {"TTITLE0=One", "TTITLE1=Two", "EXTT1=Second words"}));
  const wave::test::ScopedEnv address("VELUMIX_CDDB_SERVER",
                                      server.HostPort().toStdString().c_str());
  ProfileSettings::Set(settings::kUseCddb, 1);
  test::WriteAudioDisc(tray_, {{{}, {}}});
  std::uint32_t discId = 0;
  cdDriver = [&](cd::CLogCdDlg& dialog) {
    discId = dialog.Scan().discId;
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("trackList"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->item(1)->text() == "02 - Two"; }, 20000));
    Rip(dialog, {1});
  };
  Run();
  ASSERT_EQ(editors.size(), 1u);
  EXPECT_EQ(editors[0]["nameEdit"], QStringLiteral("TWO"));
  EXPECT_EQ(editors[0]["artistEdit"], QStringLiteral("SOME ARTIST"));
  EXPECT_EQ(editors[0]["albumEdit"], QStringLiteral("SOME ALBUM"));
  EXPECT_EQ(editors[0]["attributesEdit"], QStringLiteral("ROCK"));
  const auto song = Song(1);
  ASSERT_FALSE(song->IsEOF());
  EXPECT_EQ(song->SongName, "TWO");
  EXPECT_EQ(song->SongComments, "SECOND WORDS");
  EXPECT_EQ(song->SongCdTrack, 2);
  EXPECT_EQ(static_cast<std::uint32_t>(song->SongCDDB), discId);
  EXPECT_EQ(ProfileSettings::Get(settings::kUseCddb), 1);
}

TEST_F(LogSongFromCd, ARefusedCancelledOrUnmovableTrackLosesOnlyItsOwnFile) {
  test::WriteAudioDisc(tray_, {{{}, {}, {}, {}}});
  cdDriver = [](cd::CLogCdDlg& dialog) {
    Rip(dialog, {0, 1, 2, 3});
    // The first copy is spoilt before the check: not a WAVE file any more.
    std::ofstream(dialog.RippedTracks().at(0).path, std::ios::trunc) << "not a wave file";
  };
  editorAnswers = {false, true, true};
  // While the third track is in the editor, the name it will get is taken by a folder, so
  // its file cannot be moved there; the folder is gone again for the fourth.
  const std::string blocked = SongFileName(folder_, 1);
  beforeEditorEnds = [&](int editor) {
    if (editor == 2) fs::create_directories(blocked);
    if (editor == 3) fs::remove(blocked);
  };
  Run();

  ASSERT_EQ(editors.size(), 3u);
  const std::vector<QString> texts = ui_.Texts();
  ASSERT_GE(texts.size(), 2u);
  // The check's own findings, then the ripped track's message, then the failed move.
  EXPECT_EQ(texts[texts.size() - 2], Text(text::kRippedFormatProblem));
  EXPECT_EQ(texts.back(), Text(text::kCouldNotCopyWav));
  // Only the fourth track became a song.
  const auto song = Song(1);
  ASSERT_FALSE(song->IsEOF());
  EXPECT_EQ(song->SongCdTrack, 4);
  EXPECT_TRUE(Song(2)->IsEOF());
  EXPECT_EQ(SongFiles(), (std::vector<std::string>{"Song0000000001.Wav"}));
  EXPECT_TRUE(fs::is_regular_file(blocked));
}

TEST_F(LogSongFromCd, ACancelledDialogLeavesNoFileAndStoresUseCddb) {
  test::WriteAudioDisc(tray_);
  ProfileSettings::Set(settings::kUseCddb, 1);
  // No server answers there.
  const wave::test::ScopedEnv server("VELUMIX_CDDB_SERVER", "127.0.0.1:1");
  cdDriver = [](cd::CLogCdDlg& dialog) {
    dialog.findChild<QAbstractButton*>(QStringLiteral("useCddbCheck"))->click();
    dialog.findChild<QPushButton*>(QStringLiteral("selectAllButton"))->click();
    dialog.findChild<QPushButton*>(QStringLiteral("ripButton"))->click();
    QCoreApplication::sendPostedEvents(&dialog, cd::CLogCdDlg::kTrackDoneMessage);
    EXPECT_TRUE(dialog.RippingStarted());
    dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
  };
  Run();
  EXPECT_TRUE(editors.empty());
  EXPECT_TRUE(SongFiles().empty());
  EXPECT_EQ(ProfileSettings::Get(settings::kUseCddb), 0);
}

TEST_F(LogSongFromCd, LogTrackAddsTheCurrentTrackAsASongOnTheCd) {
  test::WriteAudioDisc(tray_,
                       {{{true, 75 * 2}, {true, 75 * 2}, {true, 75 * 2}, {true, 75 * 65 + 12}}});
  QString identity;
  cdDriver = [&](cd::CLogCdDlg& dialog) {
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("trackList"));
    list->setCurrentRow(3);  // the caret on track 4 plays it
    EXPECT_EQ(dialog.CurrentTrack(), 4);
    identity = dialog.DiscIdentity();
    dialog.findChild<QPushButton*>(QStringLiteral("logTrackButton"))->click();
  };
  Run();
  ASSERT_EQ(editors.size(), 1u);
  EXPECT_EQ(ui_.Texts(), (std::vector<QString>{Text(text::kCdTrackAdded)}));
  EXPECT_EQ(ui_.messages[0].icon, MsgIcon::Information);
  const auto song = Song(1);
  ASSERT_FALSE(song->IsEOF());
  EXPECT_EQ(song->SongCompression, "C");
  EXPECT_EQ(song->SongCdTrack, 4);
  EXPECT_FALSE(identity.isEmpty());
  EXPECT_EQ(QString::fromStdString(song->SongCdId), identity);
  EXPECT_EQ(song->SongLength, "01:05:12");
  EXPECT_TRUE(SongFiles().empty());
}

}  // namespace
}  // namespace vx
