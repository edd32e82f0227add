#include "recorder/CRecorderMainWindow.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <new>

#include "library/LibraryText.h"
#include "recorder/CHoverButton.h"
#include "recorder/RecorderText.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

constexpr double kMB = 1048576.0;

QString Text(const char* text) { return QString::fromUtf8(text); }

// A main window over a fresh test library, with fixed disk figures and build stamp and a
// Search flow that only counts its runs.
class MainWindow : public testing::Test {
 protected:
  MainWindow() : folder_(test::MakeTestLibrary()) { database_.Open(folder_ + "/Velumix.vxl"); }

  std::unique_ptr<CRecorderMainWindow> Open() {
    RecorderState state;
    state.libraryFolder = QString::fromStdString(folder_);
    state.database = &database_;
    state.inventory = inventory;
    state.cdDriveLetter = cdDriveLetter;
    state.midiDevice = midiDevice;
    CRecorderMainWindow::Environment env;
    env.diskSpace = [this](const std::string& path) {
      askedPaths.push_back(path);
      return disk;
    };
    env.build = {"2.0.0.0", "Sep  2 1999", "02:34:48"};
    env.flows = flows;
    env.techInfo.mounts = [] { return std::vector<MountedFileSystem>{{"/dev/sda1", "/", "ext4"}}; };
    env.techInfo.diskSpace = [](const std::string&) { return DiskFigures{500 * kMB, 2000 * kMB}; };
    return std::make_unique<CRecorderMainWindow>(std::move(state), std::move(env));
  }

  void AddSongs(int count, char code) {
    for (int i = 0; i < count; ++i) {
      database_.Execute(std::string("INSERT INTO Songs (SongName, SongCompression) VALUES "
                                    "('SONG', '") + code + "')");
    }
  }

  template <typename T>
  static T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }

  test::ScriptedUi ui;
  std::string folder_;
  dao::DaoDatabase database_;
  RecorderInventory inventory;
  char cdDriveLetter = ' ';
  int midiDevice = -1;
  DiskFigures disk{512 * kMB, 2048 * kMB};
  std::vector<std::string> askedPaths;
  int searches = 0;
  FlowTable flows = [this] {
    FlowTable table = BuiltFlows();
    table[RecorderFlow::Search] = [this](CRecorderMainWindow&) { ++searches; };
    return table;
  }();
};

TEST_F(MainWindow, SummaryCountsSongsByKindAndShowsFreeSpace) {
  AddSongs(3, 'C');
  AddSongs(1, 'A');
  AddSongs(1, 'M');
  AddSongs(5, ' ');
  auto window = Open();
  EXPECT_EQ(Child<QLabel>(*window, "totalSongs")->text(), "10");
  EXPECT_EQ(Child<QLabel>(*window, "cdSongs")->text(), "3");
  EXPECT_EQ(Child<QLabel>(*window, "compressedSongs")->text(), "2");
  EXPECT_EQ(Child<QLabel>(*window, "uncompressedSongs")->text(), "5");
  EXPECT_EQ(Child<QLabel>(*window, "spaceText")->text(), "512 of 2048 Megs free on drive /");
  EXPECT_EQ(Child<QProgressBar>(*window, "spaceBar")->value(), 25);
  EXPECT_EQ(askedPaths, std::vector<std::string>{folder_});

  // A refresh after new songs; a file system that reports no size leaves the bar empty.
  AddSongs(1, 'A');
  disk = {0, 0};
  window->RefreshSummary();
  EXPECT_EQ(Child<QLabel>(*window, "totalSongs")->text(), "11");
  EXPECT_EQ(Child<QLabel>(*window, "compressedSongs")->text(), "3");
  EXPECT_EQ(Child<QLabel>(*window, "spaceText")->text(), "0 of 0 Megs free on drive /");
  EXPECT_EQ(Child<QProgressBar>(*window, "spaceBar")->value(), 0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MainWindow, ButtonsWaitForTheirFlowsAndDevices) {
  auto window = Open();  // no wave input, no CD drive
  const struct {
    const char* name;
    const char* caption;
    bool enabled;
  } expected[] = {{"recordButton", text::kRecordNewSong, false},
                  {"importButton", text::kImportSoundFile, true},
                  {"logCdButton", text::kLogSongFromCd, false},
                  {"searchButton", text::kSearch, true},  // this fixture supplies Search
                  {"compressButton", text::kCompressSongs, true},
                  {"songTypesButton", text::kSongTypes, true},
                  {"optionsButton", text::kOptions, true},
                  {"techInfoButton", text::kTechInfo, true},
                  {"playlistButton", text::kPlaylist, true},
                  {"exitButton", text::kExit, true}};
  for (const auto& button : expected) {
    auto* widget = Child<CHoverButton>(*window, button.name);
    EXPECT_EQ(widget->text(), Text(button.caption));
    EXPECT_EQ(widget->isEnabled(), button.enabled) << button.name;
    ASSERT_NE(widget->Hint(), nullptr);
    EXPECT_TRUE(widget->Hint()->isHidden());
  }
  EXPECT_EQ(static_cast<QLabel*>(window->Button(RecorderFlow::Options)->Hint())->text(),
            Text(text::kOptionsHint));
  // A build without a flow keeps its button disabled and says so.
  flows.erase(RecorderFlow::CompressSongs);
  window = Open();
  EXPECT_FALSE(window->Button(RecorderFlow::CompressSongs)->isEnabled());
  EXPECT_EQ(static_cast<QLabel*>(window->Button(RecorderFlow::CompressSongs)->Hint())->text(),
            Text(text::kCompressSongsHint) + Text(text::kNotAvailableYet));

  // Once a flow exists, only missing devices keep its button disabled.
  flows[RecorderFlow::RecordNewSong] = [](CRecorderMainWindow&) {};
  flows[RecorderFlow::LogSongFromCd] = [](CRecorderMainWindow&) {};
  inventory.waveInputs = 1;
  window = Open();
  EXPECT_TRUE(window->Button(RecorderFlow::RecordNewSong)->isEnabled());
  EXPECT_FALSE(window->Button(RecorderFlow::LogSongFromCd)->isEnabled());
  EXPECT_EQ(static_cast<QLabel*>(window->Button(RecorderFlow::LogSongFromCd)->Hint())->text(),
            Text(text::kLogSongFromCdHint));
  inventory.cdLetters = {'D'};
  window = Open();
  EXPECT_TRUE(window->Button(RecorderFlow::LogSongFromCd)->isEnabled());
}

TEST_F(MainWindow, F12RunsSearchWhereverTheFocusIs) {
  auto window = Open();
  QPushButton* options = window->Button(RecorderFlow::Options);
  QTest::keyClick(options, Qt::Key_F11);
  QTest::keyClick(options, Qt::Key_F12);
  EXPECT_EQ(searches, 0);  // posted, not run inside the key handler
  QCoreApplication::sendPostedEvents(window.get(), CRecorderMainWindow::kSearchKeyMessage);
  EXPECT_EQ(searches, 1);
  EXPECT_TRUE(ui.dialogsRun.empty());  // Options did not open

  QTest::keyClick(window.get(), Qt::Key_F12);
  QCoreApplication::sendPostedEvents(window.get(), CRecorderMainWindow::kSearchKeyMessage);
  EXPECT_EQ(searches, 2);

  // F12 in another window is not ours.
  QDialog other;
  QTest::keyClick(&other, Qt::Key_F12);
  QCoreApplication::sendPostedEvents(window.get(), CRecorderMainWindow::kSearchKeyMessage);
  EXPECT_EQ(searches, 2);

  // The Search button runs the same flow.
  window->Button(RecorderFlow::Search)->click();
  EXPECT_EQ(searches, 3);
}

TEST_F(MainWindow, HintsFollowTheMouseAndTheWindowAnswersClicks) {
  flows.erase(RecorderFlow::CompressSongs);
  auto window = Open();
  CHoverButton* search = window->Button(RecorderFlow::Search);
  CHoverButton* compress = window->Button(RecorderFlow::CompressSongs);  // disabled
  const QPointF inside(5, 5);
  QEnterEvent enter(inside, inside, inside);
  QCoreApplication::sendEvent(search, &enter);
  EXPECT_FALSE(search->Hint()->isHidden());

  QMouseEvent move(QEvent::MouseMove, inside, inside, inside, Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(compress, &move);
  EXPECT_FALSE(compress->Hint()->isHidden());  // disabled buttons still explain themselves
  EXPECT_TRUE(search->Hint()->isHidden());     // one hint at a time

  QMouseEvent overWindow(QEvent::MouseMove, QPointF(700, 20), QPointF(700, 20),
                         QPointF(700, 20), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.get(), &overWindow);
  EXPECT_TRUE(compress->Hint()->isHidden());

  QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(700, 20));
  EXPECT_EQ(Child<QLabel>(*window, "statusLine")->text(), Text(text::kClickToStart));
  window->SetStatusText("MCI ERROR: device busy");
  EXPECT_EQ(Child<QLabel>(*window, "statusLine")->text(), "MCI ERROR: device busy");

  QString version;
  ui.modalDriver = [&](QDialog& dialog) {
    version = dialog.findChild<QLabel*>("versionText")->text();
    return int(QDialog::Accepted);
  };
  QTest::mouseDClick(window.get(), Qt::LeftButton, {}, QPoint(700, 20));
  EXPECT_EQ(ui.dialogsRun, std::vector<QString>{Text(text::kAboutTitle)});
  EXPECT_EQ(version, "Version 2.0.0.0  [Sep  2 1999 - 02:34:48]");
}

TEST_F(MainWindow, FailingHandlerReportsOnceAndClosesTheWindow) {
  auto window = Open();
  QSignalSpy closed(window.get(), &QDialog::rejected);
  database_.Close();  // the library goes away under the window
  window->RefreshSummary();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.messages[0].text.startsWith(Text(text::kDaoErrorIntro)));
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Stop);
  EXPECT_EQ(closed.count(), 1);

  const std::pair<std::function<void()>, const char*> failures[] = {
      {[] { throw std::bad_alloc(); }, text::kNoMemory},
      {[] { throw 42; }, text::kUnexpectedError},
      {[] { throw std::runtime_error("x"); }, text::kUnexpectedError}};
  for (const auto& [failure, message] : failures) {
    flows[RecorderFlow::Search] = [&failure = failure](CRecorderMainWindow&) { failure(); };
    ui.messages.clear();
    window = Open();  // reports the closed database again and closes as soon as it runs
    QSignalSpy spy(window.get(), &QDialog::rejected);
    QCoreApplication::sendPostedEvents(window.get(), QEvent::MetaCall);
    EXPECT_EQ(spy.count(), 1);
    window->OnSearch();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, Text(message));
    EXPECT_EQ(spy.count(), 2);
  }
}

TEST_F(MainWindow, TechInfoShowsTheReport) {
  inventory.cdLetters = {'D'};
  inventory.midiOutputs = {"0, Virtual MIDI 1, FM synthesizer"};
  auto window = Open();
  QString report;
  ui.modalDriver = [&](QDialog& dialog) {
    report = dialog.findChild<QPlainTextEdit*>("report")->toPlainText();
    return int(QDialog::Accepted);
  };
  window->Button(RecorderFlow::TechInfo)->click();
  EXPECT_EQ(ui.dialogsRun, std::vector<QString>{Text(text::kTechInfoTitle)});
  EXPECT_TRUE(report.startsWith("Velumix Version 2.0.0.0  [Sep  2 1999 - 02:34:48]"));
  const std::string database = "Song Database:\t" + folder_ + "/Velumix.vxl";
  EXPECT_TRUE(report.contains(QString::fromStdString(database)));
  EXPECT_TRUE(report.contains("  Drive /\tFIXED DRIVE\tTotal/Free: 2000M / 500M\t(75%)"));
  EXPECT_TRUE(report.contains("CDROM Drives:"));
  EXPECT_TRUE(report.contains("  D:"));
  EXPECT_TRUE(report.contains("  0, Virtual MIDI 1, FM synthesizer"));
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace vx
