// The "Compress all songs" dialog over a test library: the run from Go! to COMPLETE!, songs
// that fail without stopping the run, Cancel at any moment, a thread that will not end, and
// a library without work or without the compressor.
#include "compression/CCompressSongsDlg.h"

#include <sys/stat.h>

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "CompressionTestKit.h"
#include "compression/CAcmThread.h"
#include "compression/CompressionText.h"
#include "library/SongStore.h"
#include "platform/acm/AcmFormat.h"
#include "platform/dao/DaoException.h"
#include "platform/riff/WaveFile.h"
#include "AcmTestSupport.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using test::Bytes;

QString Text(const char* text) { return QString::fromUtf8(text); }

class CompressSongs : public testing::Test {
 protected:
  CompressSongs() : library_(test::MakeTestLibrary()), songs_(SongsFolder(library_)) {
    database_.Open(library_ + "/Velumix.vxl");
    env.tick = 10ms;
    env.threadWait = 10s;
  }

  std::string SongFile(long id) const {
    return SongFileNameInFolder(songs_, static_cast<std::uint32_t>(id));
  }

  // A song row with a PCM file of the given shape; answers the file's bytes.
  Bytes AddPcmSong(long id, const std::string& name, std::size_t frames, int rate = 44100,
                   int channels = 2) {
    test::AddSongRow(database_, id, name, "ARTIST", ' ');
    test::WritePcmFile(SongFile(id), rate, channels, test::PcmFrames(frames, rate, channels));
    return acm::test::ReadFile(SongFile(id));
  }

  std::unique_ptr<CCompressSongsDlg> Open() {
    auto dialog = std::make_unique<CCompressSongsDlg>(database_, songs_, env);
    opened = dialog->OnInitDialog();
    return dialog;
  }

  static bool RunToCompletion(CCompressSongsDlg& dialog) {
    dialog.OnGo();
    return QTest::qWaitFor([&] { return dialog.IsComplete(); }, 60000);
  }

  template <typename T>
  static T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  static QString Label(QWidget& window, const char* name) {
    return Child<QLabel>(window, name)->text();
  }

  test::ScriptedUi ui;
  std::string library_;
  std::string songs_;
  dao::DaoDatabase database_;
  CCompressSongsDlg::Environment env;
  bool opened = false;
};

TEST_F(CompressSongs, NothingToDoLeavesGoDisabled) {
  test::AddSongRow(database_, 1, "DONE", "ARTIST", 'A');
  test::AddSongRow(database_, 2, "DISC", "ARTIST", 'C');
  auto dialog = Open();
  ASSERT_TRUE(opened);
  EXPECT_EQ(Label(*dialog, "upperText"), QString::asprintf(text::kSongsToCompress, 0L));
  EXPECT_FALSE(Child<QPushButton>(*dialog, "goButton")->isEnabled());
  const auto* list = Child<QListWidget>(*dialog, "compressorList");
  ASSERT_NE(list->currentItem(), nullptr);
  EXPECT_EQ(list->currentItem()->text(), Text(text::kAdpcmCompressor));
  dialog->reject();
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CompressSongs, EverySongIsReplacedAndMarkedAndTheRunSaysSo) {
  AddPcmSong(1, "FIRST", 3 * 44100 + 17);
  AddPcmSong(2, "MONO", 22050, 22050, 1);
  AddPcmSong(3, "EMPTY", 0);
  chmod(SongFile(1).c_str(), 0444);  // a read-only file is replaced all the same
  auto clock = std::chrono::steady_clock::time_point{};
  env.now = [&] { return clock; };

  auto dialog = Open();
  ASSERT_TRUE(opened);
  EXPECT_EQ(dialog->SongCount(), 3);
  EXPECT_EQ(Label(*dialog, "upperText"), QString::asprintf(text::kSongsToCompress, 3L));
  // Nobody else changes the songs while the dialog holds them.
  try {
    database_.Execute("UPDATE Songs SET SongName = 'OTHER'");
    ADD_FAILURE() << "the songs must be write-protected while the dialog is open";
  } catch (const dao::DaoException& e) {
    EXPECT_EQ(e.Errors().at(0).code, dao::kErrTableLocked);
  }

  dialog->OnGo();
  EXPECT_FALSE(Child<QPushButton>(*dialog, "goButton")->isEnabled());
  EXPECT_FALSE(Child<QListWidget>(*dialog, "compressorList")->isEnabled());
  EXPECT_EQ(Label(*dialog, "upperText"), QString::asprintf(text::kCompressingSong, 1L, 3L));
  EXPECT_EQ(Label(*dialog, "lowerText"), "1 (FIRST - ARTIST)");
  EXPECT_EQ(Child<QProgressBar>(*dialog, "overallBar")->value(), 1);
  EXPECT_EQ(Child<QProgressBar>(*dialog, "overallBar")->maximum(), 3);
  clock += 24h + 2h + 5min + 59s;
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->IsComplete(); }, 60000));

  EXPECT_EQ(Label(*dialog, "upperText"), QString::asprintf(text::kCompressComplete, 3L));
  EXPECT_EQ(Label(*dialog, "lowerText"), "Elapsed time: 1 days 02 hrs 05 mins");
  EXPECT_EQ(Child<QPushButton>(*dialog, "cancelButton")->text(), Text(text::kCloseCaption));
  for (long id : {1, 2, 3}) {
    EXPECT_EQ(test::SongCode(database_, id), 'A') << id;
    EXPECT_EQ(test::FileFormatTag(SongFile(id)), riff::kFormatMsAdpcm) << id;
  }
  EXPECT_TRUE(test::TempFiles(songs_).empty());
  EXPECT_TRUE(ui.messages.empty());
  // The songs are free again once the run is complete.
  EXPECT_NO_THROW(database_.Execute("UPDATE Songs SET SongComments = 'x' WHERE SongID = 1"));
  dialog->reject();
}

TEST_F(CompressSongs, AFailingSongKeepsItsFileAndRowAndTheRunGoesOn) {
  test::AddSongRow(database_, 1, "MISSING", "ARTIST", ' ');
  AddPcmSong(2, "GOOD", 44100);
  // Song 3 was compressed by a run that ended before its row was marked.
  AddPcmSong(3, "HALFDONE", 0);
  acm::test::WriteWave(SongFile(3), acm::MsAdpcmFormat(2, 44100), Bytes(2048, 0));
  const Bytes halfDone = acm::test::ReadFile(SongFile(3));
  test::AddSongRow(database_, 4, "JUNK", "ARTIST", ' ');
  std::ofstream(SongFile(4)) << "not a wave file";
  // Leftovers of a run that was killed.
  std::ofstream(CompressionTempName(songs_, 2)) << "partial";
  std::ofstream(CompressionTempName(songs_, 99)) << "partial";

  auto dialog = Open();
  ASSERT_TRUE(opened);
  EXPECT_TRUE(test::TempFiles(songs_).empty());
  ASSERT_TRUE(RunToCompletion(*dialog));
  QCoreApplication::sendPostedEvents(dialog.get(), CCompressSongsDlg::kThreadMessage);

  EXPECT_EQ(ui.Texts(), (std::vector<QString>{QString::asprintf(text::kAcmThreadCode, 2),
                                              QString::asprintf(text::kAcmThreadCode, 3)}));
  EXPECT_EQ(ui.messages.at(0).icon, MsgIcon::Stop);
  EXPECT_EQ(Label(*dialog, "upperText"), QString::asprintf(text::kCompressComplete, 4L));
  EXPECT_EQ(test::SongCode(database_, 1), ' ');
  EXPECT_EQ(test::SongCode(database_, 2), 'A');
  EXPECT_EQ(test::SongCode(database_, 3), 'A');
  EXPECT_EQ(acm::test::ReadFile(SongFile(3)), halfDone);  // marked, not converted again
  EXPECT_EQ(test::SongCode(database_, 4), ' ');
  EXPECT_EQ(acm::test::ReadFile(SongFile(4)).size(), 15u);
  EXPECT_TRUE(test::TempFiles(songs_).empty());
  dialog->reject();
}

TEST_F(CompressSongs, ARowIsMarkedOnlyWhenTheNewFileIsInPlace) {
  AddPcmSong(1, "BLOCKED", 44100);
  env.tick = 1h;  // the test ticks by hand
  auto dialog = Open();
  ASSERT_TRUE(opened);
  dialog->OnGo();
  ASSERT_TRUE(dialog->Thread()->WaitForDone(60s));
  // The song's name now belongs to a folder with something in it: the rename must fail.
  std::filesystem::remove(SongFile(1));
  std::filesystem::create_directories(SongFile(1) + "/inside");
  dialog->OnTimer();
  EXPECT_EQ(ui.Texts(), std::vector<QString>{Text(text::kReplaceFailed)});
  EXPECT_EQ(test::SongCode(database_, 1), ' ');
  EXPECT_TRUE(test::TempFiles(songs_).empty());
  QCoreApplication::sendPostedEvents(dialog.get(), CCompressSongsDlg::kCompletionMessage);
  EXPECT_TRUE(dialog->IsComplete());
  EXPECT_EQ(Label(*dialog, "upperText"), QString::asprintf(text::kCompressComplete, 1L));
  dialog->reject();
}

TEST_F(CompressSongs, CancelMidSongLeavesTheSongAsItWas) {
  const Bytes before = AddPcmSong(1, "LONG", 60 * 44100);
  env.tick = 1h;
  auto dialog = Open();
  ASSERT_TRUE(opened);
  dialog->OnGo();
  EXPECT_EQ(dialog->CurrentSongId(), 1);
  dialog->reject();
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(dialog->Thread(), nullptr);
  EXPECT_EQ(CAcmThread::RunningWorkers(), 0);
  EXPECT_EQ(acm::test::ReadFile(SongFile(1)), before);
  EXPECT_EQ(test::SongCode(database_, 1), ' ');
  EXPECT_TRUE(test::TempFiles(songs_).empty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CompressSongs, AThreadThatWillNotEndIsLetGoAndTheDialogStillCloses) {
  test::AddSongRow(database_, 1, "STUCK", "ARTIST", ' ');
  test::StuckFile stuck(SongFile(1));
  env.threadWait = 100ms;
  auto dialog = Open();
  ASSERT_TRUE(opened);
  dialog->OnGo();
  ASSERT_TRUE(stuck.WaitUntilStuck());
  dialog->reject();
  EXPECT_EQ(ui.Texts(), std::vector<QString>{Text(text::kThreadTimeout)});
  EXPECT_EQ(ui.messages.at(0).icon, MsgIcon::Stop);
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(test::SongCode(database_, 1), ' ');
  EXPECT_TRUE(test::TempFiles(songs_).empty());
  dialog.reset();

  // Once its file answers, the worker ends on its own and tells no one.
  stuck.Release();
  EXPECT_TRUE(QTest::qWaitFor([] { return CAcmThread::RunningWorkers() == 0; }, 10000));
  QCoreApplication::processEvents();
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(CompressSongs, WithoutTheCompressorTheDialogClosesAtOnce) {
  AddPcmSong(1, "SONG", 4410);
  env.findCodec = [](std::uint16_t) { return std::optional<acm::AcmDriverId>(); };
  auto dialog = Open();
  EXPECT_FALSE(opened);
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(ui.Texts(), std::vector<QString>{Text(text::kNoCompressor)});
  EXPECT_EQ(ui.messages.at(0).icon, MsgIcon::Stop);
  EXPECT_EQ(dialog->Thread(), nullptr);
}

TEST(ElapsedTime, DaysHoursAndMinutes) {
  EXPECT_EQ(ElapsedTimeText(0s), "Elapsed time: 0 days 00 hrs 00 mins");
  EXPECT_EQ(ElapsedTimeText(59s), "Elapsed time: 0 days 00 hrs 00 mins");
  EXPECT_EQ(ElapsedTimeText(26h + 5min), "Elapsed time: 1 days 02 hrs 05 mins");
  EXPECT_EQ(ElapsedTimeText(std::chrono::hours(24 * 12 - 1) + 59min),
            "Elapsed time: 11 days 23 hrs 59 mins");
}

}  // namespace
}  // namespace vx
