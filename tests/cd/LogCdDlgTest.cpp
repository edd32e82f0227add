// The CD dialog on a virtual tray: the disc coming in, the track list and its translation
// through the audio track table, Intro and Scan counted in timer ticks, ripping into the
// Songs folder, and every way out leaving the CD closed.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "cd/AudioDisc.h"
#include "cd/CLogCdDlg.h"
#include "cd/CMciDevice.h"
#include "cd/LogCdText.h"
#include "cd/VirtualCdDrive.h"
#include "support/CddbTestServer.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx::cd {
namespace {

namespace fs = std::filesystem;
using test::AudioDisc;
using test::ImageTrackBytes;
using test::WriteAudioDisc;

QString Text(const char* text) { return QString::fromUtf8(text); }

// A machine with one virtual output and one virtual CD drive D (the tray folder).
class LogCdDialog : public testing::Test {
 protected:
  LogCdDialog() : tray_(drive_.Tray()), songs_(test::TestFolder() + "/Songs") {
    fs::create_directories(songs_);
  }
  ~LogCdDialog() override { dialog_.reset(); }

  CLogCdDlg& Open(bool expectStart = true, bool useCddb = false) {
    LogCdSetup setup;
    setup.driveLetter = 'D';
    setup.mci = &drive_.Mci();
    setup.statusLine = [this](const QString& text) { statusTexts.push_back(text); };
    setup.songsFolder = songs_;
    setup.useCddb = useCddb;
    setup.cddbServer = cddbServer;
    // Only the ticks a test gives count.
    setup.timerPeriodMs = 3600 * 1000;
    dialog_ = std::make_unique<CLogCdDlg>(setup);
    EXPECT_EQ(dialog_->OnInitDialog(), expectStart);
    return *dialog_;
  }

  QString Shown(const char* name) const {
    return dialog_->findChild<QLabel*>(QString::fromUtf8(name))->text();
  }
  QPushButton* Button(const char* name) const {
    return dialog_->findChild<QPushButton*>(QString::fromUtf8(name));
  }
  QListWidget* List() const {
    return dialog_->findChild<QListWidget*>(QStringLiteral("trackList"));
  }

  void SetTrayOpen(bool open) { drive_.SetTrayOpen(open); }

  // The device's own word on the track it is at.
  int DeviceTrack() {
    std::string reply;
    EXPECT_TRUE(mci_.QueryStatus("current track", reply, CMciDevice::kCd));
    return std::atoi(reply.c_str());
  }

  // Clicks Rip and waits for the dialog to end.
  int RipAndWait() {
    bool finished = false;
    QObject::connect(dialog_.get(), &QDialog::finished, [&] { finished = true; });
    Button("ripButton")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished; }, 60000));
    return dialog_->result();
  }

  test::ScriptedUi ui_;
  test::VirtualCdDrive drive_;
  CMciDevice& mci_ = drive_.Mci();
  std::string tray_;
  std::string songs_;
  std::unique_ptr<CLogCdDlg> dialog_;
  std::vector<QString> statusTexts;
  CddbClient::Server cddbServer{QStringLiteral("127.0.0.1"), 1, QStringLiteral("/~cddb/cddb.cgi"),
                                QStringLiteral("test@example.org")};
};

TEST_F(LogCdDialog, ADiscComingInStartsItsFirstTrackAndFillsTheList) {
  WriteAudioDisc(tray_);
  SetTrayOpen(true);
  CLogCdDlg& dialog = Open();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Log Song From Audio CD (Drive D)"));
  EXPECT_EQ(Shown("modeDisplay"), Text(text::kInsertCd));
  for (const char* name : {"playButton", "stopButton", "logTrackButton", "ripButton"}) {
    EXPECT_FALSE(Button(name)->isEnabled()) << name;
  }
  EXPECT_FALSE(List()->isEnabled());
  EXPECT_TRUE(Button("logTrackButton")->isDefault());

  dialog.OnTimer();
  EXPECT_EQ(Shown("modeDisplay"), Text(text::kInsertCd));
  EXPECT_EQ(Shown("trackCounter"), QStringLiteral("--"));
  EXPECT_EQ(Shown("currentTime"), QStringLiteral("--:--"));

  SetTrayOpen(false);
  dialog.OnTimer();
  ASSERT_EQ(List()->count(), 3);
  EXPECT_EQ(List()->item(0)->text(), QStringLiteral("01 - Unknown Song"));
  EXPECT_EQ(List()->item(2)->text(), QStringLiteral("03 - Unknown Song"));
  EXPECT_TRUE(List()->isEnabled());
  EXPECT_TRUE(Button("playButton")->isEnabled());
  EXPECT_EQ(Shown("trackCounter"), QStringLiteral("01"));
  EXPECT_EQ(Shown("totalCounter"), QStringLiteral("03"));
  EXPECT_EQ(Shown("totalTime"), QStringLiteral("00:04"));
  EXPECT_EQ(dialog.CurrentTrack(), 1);
  EXPECT_FALSE(dialog.DiscIdentity().isEmpty());
  dialog.OnTimer();
  EXPECT_EQ(Shown("modeDisplay"), QStringLiteral("PLAYING"));
  EXPECT_TRUE(dialog.Playing());

  // The Rip button counts the selection.
  EXPECT_EQ(Button("ripButton")->text(), QStringLiteral("&Rip 0 Tracks"));
  Button("selectAllButton")->click();
  EXPECT_EQ(Button("ripButton")->text(), QStringLiteral("&Rip 3 Tracks"));
  EXPECT_TRUE(Button("ripButton")->isEnabled());
  Button("clearAllButton")->click();
  EXPECT_EQ(Button("ripButton")->text(), QStringLiteral("&Rip 0 Tracks"));
  EXPECT_FALSE(Button("ripButton")->isEnabled());

  // Taking the disc out empties everything again.
  SetTrayOpen(true);
  dialog.OnTimer();
  EXPECT_EQ(Shown("modeDisplay"), Text(text::kInsertCd));
  EXPECT_EQ(List()->count(), 0);
  EXPECT_FALSE(Button("logTrackButton")->isEnabled());
  EXPECT_EQ(Shown("totalTime"), QStringLiteral("--:--"));
  EXPECT_TRUE(statusTexts.empty());
}

TEST_F(LogCdDialog, WithCddbANewDiscIsQueriedAndItsTitlesListed) {
  test::CddbTestServer server;
  server.SetQueryReply(
      test::CddbTestServer::ExactMatch("rock", "0c01ac02", "Some Artist / Some Album"));
  server.SetReadReply(test::CddbTestServer::ReadReply(
      "rock", "0c01ac02", {"TTITLE0=One", "EXTT0=First words", "TTITLE2=Three"}));
  cddbServer.port = server.Port();
  WriteAudioDisc(tray_);
  SetTrayOpen(true);
  CLogCdDlg& dialog = Open(true, true);
  EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("useCddbCheck"))->isChecked());
  dialog.OnTimer();
  EXPECT_TRUE(server.Requests().isEmpty());

  SetTrayOpen(false);
  dialog.OnTimer();
  EXPECT_EQ(Shown("cddbStatus"), Text(text::kQueryingNewCd));
  ASSERT_EQ(List()->count(), 3);
  EXPECT_EQ(List()->item(0)->text(), QStringLiteral("01 - Unknown Song"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return List()->item(0)->text() == "01 - One"; }, 20000));
  EXPECT_EQ(List()->item(1)->text(), QStringLiteral("02 - Unknown Song"));
  EXPECT_EQ(List()->item(2)->text(), QStringLiteral("03 - Three"));
  EXPECT_EQ(Shown("albumLine"), QStringLiteral("Some Artist / Some Album"));
  EXPECT_EQ(dialog.TrackTitle(0), QStringLiteral("One"));
  EXPECT_EQ(dialog.TrackTitle(1), QStringLiteral("Track 2"));
  EXPECT_EQ(dialog.ExtendedData(0), QStringLiteral("First words"));
  EXPECT_EQ(dialog.Artist(), QStringLiteral("Some Artist"));
  EXPECT_EQ(dialog.DiscTitle(), QStringLiteral("Some Album"));
  EXPECT_EQ(dialog.Category(), QStringLiteral("rock"));
  ASSERT_FALSE(server.Requests().isEmpty());
  EXPECT_TRUE(server.Requests()[0].contains(
      QString::asprintf("cmd=cddb+query+%08x+3+", unsigned(dialog.CddbDiscId()))))
      << server.Requests()[0].toStdString();
  // The caret stays on the playing track after the list was filled again.
  EXPECT_EQ(List()->currentRow(), 0);

  // Cleared, the box ends CDDB for this dialog and is what the caller reads back.
  dialog.findChild<QCheckBox*>(QStringLiteral("useCddbCheck"))->click();
  EXPECT_FALSE(dialog.UseCddb());
  EXPECT_FALSE(dialog.Client().IsActive());
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(LogCdDialog, ADiscWhoseDataTrackComesFirstIsListedAndRippedByItsAudioTracks) {
  const AudioDisc disc{{{false, 150}, {true, 150}, {true, 225}}};
  WriteAudioDisc(tray_, disc);
  CLogCdDlg& dialog = Open();
  ASSERT_EQ(List()->count(), 2);
  EXPECT_EQ(dialog.Scan().audioTracks, (std::vector<int>{2, 3}));
  EXPECT_EQ(dialog.CurrentTrack(), 2);
  EXPECT_EQ(Shown("trackCounter"), QStringLiteral("02"));
  EXPECT_EQ(Shown("totalCounter"), QStringLiteral("03"));
  EXPECT_EQ(Shown("totalTime"), QStringLiteral("00:02"));

  // Picking the second entry plays the disc's track 3.
  List()->setCurrentRow(1);
  EXPECT_EQ(dialog.CurrentTrack(), 3);
  EXPECT_EQ(DeviceTrack(), 3);
  EXPECT_EQ(List()->currentRow(), 1);

  // Only the first entry goes: the disc's track 2 is copied.
  List()->item(1)->setSelected(false);
  List()->item(0)->setSelected(true);
  EXPECT_EQ(Button("ripButton")->text(), QStringLiteral("&Rip 1 Tracks"));
  EXPECT_EQ(RipAndWait(), QDialog::Accepted);
  EXPECT_TRUE(ui_.messages.empty());
  const std::vector<RippedTrack> ripped = dialog.RippedTracks();
  ASSERT_EQ(ripped.size(), 1u);
  EXPECT_EQ(ripped[0].track, 2);
  EXPECT_EQ(ripped[0].entry, 0);
  EXPECT_EQ(test::SoxSamples(ripped[0].path), ImageTrackBytes(tray_, disc, 2));
  EXPECT_FALSE(dialog.CdOpen());
}

TEST_F(LogCdDialog, IntroMovesOnAfterItsSecondsAndStopsAtTheLastTrack) {
  WriteAudioDisc(tray_, AudioDisc{{{true, 75 * 30}, {true, 75 * 30}}});
  CLogCdDlg& dialog = Open();
  Button("playButton")->click();
  dialog.OnTimer();
  dialog.findChild<QAbstractButton*>(QStringLiteral("introRadio"))->click();
  EXPECT_EQ(dialog.PlayModeNow(), CLogCdDlg::kIntro);
  EXPECT_EQ(dialog.Seconds(), 10);
  EXPECT_EQ(Shown("indicator"), Text(text::kIntroIndicator));
  EXPECT_TRUE(dialog.findChild<QWidget*>(QStringLiteral("secondsBox"))->isEnabled());

  for (int tick = 0; tick < 10; ++tick) dialog.OnTimer();
  EXPECT_EQ(dialog.CurrentTrack(), 1);
  dialog.OnTimer();  // the eleventh second of playing
  EXPECT_EQ(dialog.CurrentTrack(), 2);
  EXPECT_EQ(DeviceTrack(), 2);
  EXPECT_EQ(dialog.TickCount(), 0);
  for (int tick = 0; tick < 12; ++tick) dialog.OnTimer();
  EXPECT_EQ(dialog.CurrentTrack(), 2);  // the last track stays

  dialog.findChild<QAbstractButton*>(QStringLiteral("normalRadio"))->click();
  EXPECT_EQ(dialog.PlayModeNow(), CLogCdDlg::kNormal);
  EXPECT_FALSE(dialog.findChild<QWidget*>(QStringLiteral("secondsBox"))->isEnabled());

  // The position slider moved from the keyboard takes the CD along.
  QTest::keyClick(dialog.findChild<QSlider*>(QStringLiteral("positionSlider")), Qt::Key_PageUp);
  QCoreApplication::processEvents();
  dialog.OnTimer();
  EXPECT_EQ(Shown("currentTime"), QStringLiteral("00:10"));
  EXPECT_EQ(DeviceTrack(), 2);
}

TEST_F(LogCdDialog, ScanJumpsTwiceItsSecondsAheadEverySeventhTickAtFive) {
  WriteAudioDisc(tray_, AudioDisc{{{true, 75 * 16}, {true, 75 * 30}}});
  CLogCdDlg& dialog = Open();
  Button("playButton")->click();
  dialog.OnTimer();
  dialog.findChild<QAbstractButton*>(QStringLiteral("scanRadio"))->click();
  dialog.findChild<QSpinBox*>(QStringLiteral("secondsBox"))->setValue(5);
  EXPECT_EQ(dialog.Seconds(), 5);
  EXPECT_EQ(Shown("indicator"), Text(text::kScanIndicator));

  for (int tick = 0; tick < 6; ++tick) dialog.OnTimer();
  EXPECT_LT(Shown("currentTime"), QStringLiteral("00:05"));
  dialog.OnTimer();  // the seventh: 10 seconds ahead
  dialog.OnTimer();
  EXPECT_GE(Shown("currentTime"), QStringLiteral("00:10"));
  EXPECT_EQ(dialog.CurrentTrack(), 1);
  for (int tick = 0; tick < 6; ++tick) dialog.OnTimer();
  dialog.OnTimer();
  // Ten more seconds ahead: past the end of the 16-second first track.
  EXPECT_EQ(dialog.CurrentTrack(), 2);
  EXPECT_EQ(DeviceTrack(), 2);
}

TEST_F(LogCdDialog, CancelStopsARunningCopyAndClosesTheCd) {
  WriteAudioDisc(tray_, AudioDisc{{{true, 75 * 60}, {true, 75 * 60}}});
  CLogCdDlg& dialog = Open();
  Button("selectAllButton")->click();
  Button("ripButton")->click();
  EXPECT_EQ(Shown("modeDisplay"), Text(text::kRippingMode));
  EXPECT_FALSE(dialog.CdOpen());
  EXPECT_FALSE(dialog.TimerRunning());
  // The first copy starts; nothing else is delivered before Escape.
  QCoreApplication::sendPostedEvents(&dialog, CLogCdDlg::kTrackDoneMessage);
  EXPECT_EQ(Shown("modeDisplay"), QStringLiteral("Ripping Track 1"));
  EXPECT_TRUE(dialog.RippingStarted());
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  QTest::qWait(50);
  // The second track was never started, and the CD can be opened again.
  EXPECT_EQ(dialog.RippedTracks().size(), 1u);
  EXPECT_TRUE(mci_.OpenCd('D'));
  EXPECT_TRUE(mci_.CloseDevice(CMciDevice::kCd));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(LogCdDialog, ACdAlreadyInUseEndsTheDialogWithItsMessage) {
  WriteAudioDisc(tray_);
  ASSERT_TRUE(mci_.OpenCd('D'));
  Open(false);
  EXPECT_EQ(dialog_->result(), QDialog::Rejected);
  ASSERT_EQ(ui_.Texts().size(), 1u);
  EXPECT_EQ(ui_.Texts()[0], QString::asprintf(text::kCannotOpenCd, 'D'));
  EXPECT_EQ(ui_.messages[0].icon, MsgIcon::Exclamation);
  ASSERT_EQ(statusTexts.size(), 1u);
  EXPECT_TRUE(statusTexts[0].startsWith(QStringLiteral("MCI ERROR: ")))
      << statusTexts[0].toStdString();
  // The alias this dialog failed to take is still the other user's.
  EXPECT_TRUE(mci_.CloseDevice(CMciDevice::kCd));
}

}  // namespace
}  // namespace vx::cd
