// "Import Sound File..." on a main window over a test library: the chooser and its check box,
// the MP3 and WAVE branches with the editor's presets, the song's file and row appearing
// together, and the source deleted only when asked, only after the song is complete.
#include "recorder/ImportSoundFileFlow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "cd/CMciDevice.h"
#include "cd/MciText.h"
#include "curation/CSongInfoDlg.h"
#include "import/ImportText.h"
#include "import/Mp3Probe.h"
#include "import/Mp3TestFiles.h"
#include "library/CSongRecordset.h"
#include "library/LibraryQueries.h"
#include "library/SongStore.h"
#include "platform/riff/WaveFile.h"
#include "platform/settings/ProfileSettings.h"
#include "recorder/CHoverButton.h"
#include "recorder/CRecorderMainWindow.h"
#include "recorder/RecorderText.h"
#include "support/FileSizeLimit.h"
#include "support/RunTool.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

QString Text(const char* text) { return QString::fromUtf8(text); }

class ImportSoundFile : public testing::Test {
 protected:
  ImportSoundFile()
      : folder_(test::MakeTestLibrary()), mci_([this] {
          CMciDevice::Platform platform;
          platform.session = &session_;
          return platform;
        }()) {
    database_.Open(folder_ + "/Velumix.vxl");
    database_.Execute("INSERT INTO SongType VALUES ('HOUSE', 'House')");
    window_ = Open();
    ui_.modalDriver = [this](QDialog& dialog) {
      if (auto* editor = qobject_cast<CSongInfoDlg*>(&dialog)) {
        for (const char* name : {"nameEdit", "artistEdit", "albumEdit", "attributesEdit",
                                 "lengthEdit", "songDateEdit"}) {
          shown[name] = editor->findChild<QLineEdit*>(QString::fromUtf8(name))->text();
        }
        shown["commentsEdit"] =
            editor->findChild<QPlainTextEdit*>(QStringLiteral("commentsEdit"))->toPlainText();
        editorDriver(*editor);
      }
      return dialog.result();
    };
  }

  std::unique_ptr<CRecorderMainWindow> Open() {
    RecorderState state;
    state.libraryFolder = QString::fromStdString(folder_);
    state.database = &database_;
    state.mci = &mci_;
    CRecorderMainWindow::Environment env;
    env.diskSpace = [](const std::string&) { return DiskFigures{1, 2}; };
    return std::make_unique<CRecorderMainWindow>(std::move(state), std::move(env));
  }

  // Picks the file in the chooser (leaving the check box as `tick` says) and runs the flow.
  void Import(const std::string& path, std::optional<bool> tick = std::nullopt) {
    ui_.files = {QString::fromStdString(path)};
    if (tick) ui_.checkBoxAnswers = {*tick};
    window_->RunFlow(RecorderFlow::ImportSoundFile);
  }

  static void Finish(CSongInfoDlg& editor, bool ok) {
    for (const char* name : {"nameEdit", "artistEdit"}) {
      auto* field = editor.findChild<QLineEdit*>(QString::fromUtf8(name));
      if (field->text().isEmpty()) QTest::keyClicks(field, "typed");
    }
    editor.findChild<QDialogButtonBox*>()
        ->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
        ->click();
  }

  std::vector<std::string> SongFiles() const { return test::FolderEntries(SongsFolder(folder_)); }

  std::unique_ptr<CSongRecordset> Song(int id) {
    auto song = std::make_unique<CSongRecordset>(database_);
    song->SetFilter("SongID = " + std::to_string(id));
    song->Open();
    return song;
  }

  std::string Mp3File(const std::string& name, const std::string& year = "1998",
                      std::uint8_t genre = 35) {
    return test::WriteTestFile(name, test::Concat({test::LameMp3(44100, 2, {"-b", "128"}),
                                                   test::Id3v1Tag("Intro", "Caf\xe9 Tacuba", year,
                                                                  genre, "Album", "Nice one")}));
  }

  std::string WavFile(const std::string& name, int rate = 44100, int ms = 1500) {
    const std::string path = test::TestFolder() + "/" + name;
    riff::WaveFileWriter writer;
    const auto format = riff::WaveFormat::Pcm16(2, rate);
    EXPECT_TRUE(writer.Create(path, format));
    const std::vector<char> silence((std::size_t{format.samplesPerSec} * ms + 999) / 1000 *
                                    format.blockAlign);
    writer.Append(silence.data(), silence.size());
    EXPECT_TRUE(writer.Close());
    return path;
  }

  test::ScriptedUi ui_;
  std::string folder_;
  dao::DaoDatabase database_;
  mci::MciSession session_;
  CMciDevice mci_;
  std::function<void(CSongInfoDlg&)> editorDriver = [](CSongInfoDlg& editor) {
    Finish(editor, true);
  };
  std::map<std::string, QString> shown;
  std::unique_ptr<CRecorderMainWindow> window_;
};

TEST_F(ImportSoundFile, AnMp3BecomesAWrappedSongWithItsTagOffered) {
  ASSERT_TRUE(window_->Button(RecorderFlow::ImportSoundFile)->isEnabled());
  const std::string mp3 = Mp3File("intro.mp3");
  const test::Bytes original = test::ReadTestFile(mp3);
  Import(mp3);

  ASSERT_EQ(ui_.fileRequests.size(), 1u);
  EXPECT_EQ(ui_.fileRequests[0].title, Text(text::kImportSongTitle));
  EXPECT_EQ(ui_.fileRequests[0].filter, Text(text::kImportFilter));
  EXPECT_EQ(ui_.checkBoxesShown, std::vector<bool>{false});
  EXPECT_EQ(ui_.dialogsRun, std::vector<QString>{"Add new song"});
  EXPECT_EQ(shown["nameEdit"], "INTRO");  // the editor's fields write capitals
  EXPECT_EQ(shown["artistEdit"], "CAF\u00c9 TACUBA");
  EXPECT_EQ(shown["albumEdit"], "ALBUM");
  EXPECT_EQ(shown["attributesEdit"], "HOUSE");  // genre 35
  EXPECT_EQ(shown["commentsEdit"], "NICE ONE");
  EXPECT_EQ(shown["songDateEdit"], "01/01/1998");
  EXPECT_EQ(shown["lengthEdit"], QString::fromStdString(Mp3LengthText(original.size(), 128000)));
  EXPECT_TRUE(shown["lengthEdit"].contains(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d\\d$")));

  const std::string songFile = SongFileName(folder_, 1);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, QString::asprintf(text::kSongCreated, songFile.c_str()));
  EXPECT_EQ(ui_.messages[0].icon, MsgIcon::Information);
  EXPECT_EQ(SongFiles(), std::vector<std::string>{"Song0000000001.Wav"});
  riff::WaveLayout layout;
  ASSERT_EQ(riff::ReadWaveLayout(songFile, layout), riff::WaveError::kNone);
  EXPECT_EQ(layout.format.formatTag, riff::kFormatMpegLayer3);
  EXPECT_EQ(layout.dataSize, original.size());
  EXPECT_EQ(test::ReadTestFile(mp3), original);  // the source is left as it was

  const auto song = Song(1);
  ASSERT_FALSE(song->IsEOF());
  EXPECT_EQ(song->SongCompression, "M");
  EXPECT_EQ(song->SongName, "INTRO");
  EXPECT_EQ(song->SongAttributes, "HOUSE");
  EXPECT_EQ(window_->findChild<QLabel*>(QStringLiteral("compressedSongs"))->text(), "1");
  EXPECT_EQ(ProfileSettings::Get(settings::kDeleteOnImport), 0);
}

TEST_F(ImportSoundFile, TheNameChoosesTheBranch) {
  // Any case of ".mp3" is an MP3; anything else is judged as a WAVE file.
  Import(Mp3File("upper.MP3"));
  EXPECT_EQ(Song(1)->SongCompression, "M");
  ui_.messages.clear();
  const std::string bak = Mp3File("song.bak");
  Import(bak);
  EXPECT_EQ(ui_.Texts(),
            std::vector<QString>{QString::asprintf(text::kNoDetailedInfo, bak.c_str())});
  EXPECT_TRUE(window_->findChild<QLabel*>(QStringLiteral("statusLine"))
                  ->text()
                  .startsWith(QString::asprintf(text::kMciErrorReport, "")));
  EXPECT_EQ(CountSongs(database_, ""), 1);
}

TEST_F(ImportSoundFile, OnlyAFullYearDatesTheSong) {
  const QString today = QDate::currentDate().toString("MM/dd/yyyy");
  for (const std::string year : {"98", ""}) {
    Import(Mp3File("y" + year + ".mp3", year));
    EXPECT_EQ(shown["songDateEdit"], today) << year;
  }
  // Genres past the list give no attributes.
  Import(Mp3File("nogenre.mp3", "2001", 126));
  EXPECT_EQ(shown["attributesEdit"], "");
}

TEST_F(ImportSoundFile, CancellingLeavesNothingBehind) {
  // The chooser cancelled with its box ticked: the remembered state stays.
  ui_.files = {""};
  ui_.checkBoxAnswers = {true};
  window_->RunFlow(RecorderFlow::ImportSoundFile);
  EXPECT_EQ(ProfileSettings::Get(settings::kDeleteOnImport), 0);
  EXPECT_TRUE(ui_.dialogsRun.empty());

  // The editor cancelled after the wrapping: no temporary file, no row, the source kept.
  editorDriver = [](CSongInfoDlg& editor) { Finish(editor, false); };
  const std::string mp3 = Mp3File("keep.mp3");
  Import(mp3, true);
  EXPECT_EQ(ProfileSettings::Get(settings::kDeleteOnImport), 1);
  EXPECT_TRUE(SongFiles().empty());
  EXPECT_EQ(CountSongs(database_, ""), 0);
  EXPECT_TRUE(fs::exists(mp3));
  EXPECT_TRUE(ui_.messages.empty());

  // Refused files never reach the editor.
  ui_.dialogsRun.clear();
  Import(test::WriteTestFile("junk.mp3", test::Bytes(5000, 0)));
  Import(WavFile("11k.wav", 11025));
  EXPECT_EQ(ui_.Texts(),
            (std::vector<QString>{Text(text::kNoMp3Header),
                                  QString::asprintf(text::kRateTooLow, 11025L, 22050L)}));
  EXPECT_TRUE(ui_.dialogsRun.empty());
  EXPECT_TRUE(SongFiles().empty());
}

TEST_F(ImportSoundFile, AWaveFileIsCopiedAndItsSourceDeletedWhenAsked) {
  ProfileSettings::Set(settings::kDeleteOnImport, 1);
  const std::string wav = WavFile("take.wav", 44100, 60000);
  const test::Bytes original = test::ReadTestFile(wav);
  Import(wav);
  EXPECT_EQ(ui_.checkBoxesShown, std::vector<bool>{true});
  EXPECT_EQ(shown["lengthEdit"], "01:00.000");
  EXPECT_EQ(test::ReadTestFile(SongFileName(folder_, 1)), original);
  EXPECT_FALSE(fs::exists(wav));
  EXPECT_EQ(Song(1)->SongCompression, " ");
  EXPECT_EQ(Song(1)->SongLength, "01:00.000");
  EXPECT_EQ(ui_.Texts(), std::vector<QString>{QString::asprintf(text::kSongCreated,
                                                                SongFileName(folder_, 1).c_str())});
  EXPECT_EQ(window_->findChild<QLabel*>(QStringLiteral("statusLine"))->text(), "");

  // Without the box the source stays.
  const std::string second = WavFile("second.wav", 22050, 59999);
  Import(second, false);
  EXPECT_EQ(shown["lengthEdit"], "00:59.999");
  EXPECT_TRUE(fs::exists(second));
  EXPECT_EQ(ProfileSettings::Get(settings::kDeleteOnImport), 0);
  EXPECT_EQ(SongFiles(), (std::vector<std::string>{"Song0000000001.Wav", "Song0000000002.Wav"}));
}

TEST_F(ImportSoundFile, AFailedCopyOrMoveLeavesNoRowAndKeepsTheSource) {
  const std::string wav = WavFile("big.wav", 44100, 3000);
  ProfileSettings::Set(settings::kDeleteOnImport, 1);
  std::unique_ptr<test::FileSizeLimit> diskFull;
  editorDriver = [&diskFull](CSongInfoDlg& editor) {
    Finish(editor, true);
    // The row is written; the disk fills up while the file is copied.
    diskFull = std::make_unique<test::FileSizeLimit>(100000);
  };
  Import(wav);
  diskFull.reset();
  EXPECT_EQ(ui_.Texts(), std::vector<QString>{Text(text::kCouldNotCopyWav)});
  EXPECT_EQ(CountSongs(database_, ""), 0);
  EXPECT_TRUE(fs::exists(wav));
  EXPECT_TRUE(SongFiles().empty());

  // Another file already holds the new song's name: the wrapped MP3 is not moved over it.
  ui_.messages.clear();
  editorDriver = [](CSongInfoDlg& editor) { Finish(editor, true); };
  std::ofstream(SongFileName(folder_, 1)) << "somebody else's";
  const std::string mp3 = Mp3File("moved.mp3");
  Import(mp3);
  EXPECT_EQ(ui_.Texts(), std::vector<QString>{Text(text::kCouldNotCopyWav)});
  EXPECT_EQ(CountSongs(database_, ""), 0);
  EXPECT_TRUE(fs::exists(mp3));
  EXPECT_EQ(SongFiles(), std::vector<std::string>{"Song0000000001.Wav"});
  EXPECT_EQ(fs::file_size(SongFileName(folder_, 1)), 15u);
}

TEST_F(ImportSoundFile, ASourceInTheSongsFolderIsNeverDeleted) {
  const std::string inside = SongsFolder(folder_) + "/stray.wav";
  fs::copy_file(WavFile("stray.wav"), inside);
  Import(inside, true);
  EXPECT_EQ(ui_.Texts(),
            std::vector<QString>{QString::asprintf(text::kSourceInSongs, inside.c_str())});
  EXPECT_TRUE(ui_.dialogsRun.empty());
  EXPECT_TRUE(fs::exists(inside));

  // As a copy it may come in.
  ui_.messages.clear();
  Import(inside, false);
  EXPECT_EQ(CountSongs(database_, ""), 1);
  EXPECT_TRUE(fs::exists(inside));
}

}  // namespace
}  // namespace vx
