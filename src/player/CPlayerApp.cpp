#include "player/CPlayerApp.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>

#include "library/CSongRecordset.h"
#include "library/LibraryQueries.h"
#include "library/LibraryText.h"
#include "library/SongStore.h"
#include "platform/process/Process.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/ui/UserInteraction.h"
#include "platform/wave/WaveDeviceList.h"
#include "player/CKeyHelpDlg.h"
#include "player/CPreferencesDlg.h"
#include "player/CWavPlayerDlg.h"
#include "player/PlayerGuard.h"
#include "player/PlayerText.h"
#include "player/CSongChooserDlg.h"

namespace vx::player {
namespace {

constexpr const char* kLibraryFile = "/Velumix.vxl";
constexpr const char* kDefaultSyncOffset = "0.10";
constexpr int kMinWidth = 800;
constexpr int kMinHeight = 600;

QString Text(const char* text) { return QString::fromUtf8(text); }

QString HotName(int entry) {
  return QString::fromLatin1(settings::kHotEntryName).arg(entry);
}

}  // namespace

CPlayerApp::CPlayerApp() : CPlayerApp(Environment{}) {}

CPlayerApp::CPlayerApp(Environment environment)
    : env_(std::move(environment)), lock_(text::kGlobalMutexName) {}

CPlayerApp::~CPlayerApp() { ExitInstance(); }

int CPlayerApp::Run() {
  if (StartUp()) QApplication::exec();
  ExitInstance();
  return 0;
}

bool CPlayerApp::StartUp() {
  if (!lock_.TryAcquire()) {
    Ui().Message(Text(text::kAnotherProgramRunning), MsgIcon::Stop);
    return false;
  }
  bool started = false;
  GuardPlayerOperation([&] {
    colors_ = PlayerColors::Read();
    if (!ShowFrame() || !OpenLibrary()) return;
    ReadSyncOffset();
    if (env_.makeControlPanel) {
      controlPanel_ = env_.makeControlPanel(frame_.get());
      if (controlPanel_) Place(controlPanel_, {400, 320, 400, 280});
    }
    MakeWavDecks();
    MakeCdDeck();
    keyHelp_ = new CKeyHelpDlg(frame_.get());
    ReadHotList();
    started = true;
  });
  if (started) {
    QApplication::instance()->installEventFilter(this);
    filtering_ = true;
  }
  return started;
}

bool CPlayerApp::ShowFrame() {
  frame_ = std::make_unique<QMainWindow>();
  frame_->setWindowTitle(Text(text::kPlayerTitle));
  frame_->setWindowIcon(QIcon(Text(text::kPlayerIconResource)));
  area_ = new QMdiArea(frame_.get());
  area_->setBackground(colors_.background);
  frame_->setCentralWidget(area_);
  QMenu* menu = frame_->menuBar()->addMenu(Text(text::kPlayerMenu));
  connect(menu->addAction(Text(text::kPreferencesMenu)), &QAction::triggered, this,
          &CPlayerApp::OnPreferences);
  connect(menu->addAction(Text(text::kExitMenu)), &QAction::triggered, frame_.get(),
          &QWidget::close);
  // The frame covers the screen also where no window manager maximises it.
  const QScreen* screen = QApplication::primaryScreen();
  if (screen) frame_->setGeometry(screen->availableGeometry());
  frame_->showMaximized();
  const QSize size = screen ? screen->availableGeometry().size() : frame_->size();
  if (size.width() < kMinWidth || size.height() < kMinHeight) {
    Ui().Message(Text(text::kLowResolution), MsgIcon::Stop);
  }
  return true;
}

bool CPlayerApp::OpenLibrary() {
  libraryFolder_ = ProfileSettings::Get(settings::kSongDbPath);
  if (libraryFolder_.isEmpty()) {
    Ui().Message(Text(text::kPlayerNoDatabase), MsgIcon::Stop);
    frame_->close();
    return false;
  }
  songsFolder_ = SongsFolder(libraryFolder_.toStdString());
  database_.Open((libraryFolder_ + QLatin1String(kLibraryFile)).toStdString(),
                 dao::OpenMode::ReadOnly);
  if (ReadDatabaseVersion(database_) != kDatabaseVersion) {
    Ui().Message(Text(text::kPlayerDbVersion), MsgIcon::Stop);
    frame_->close();
    return false;
  }
  return true;
}

void CPlayerApp::ReadSyncOffset() {
  QString offset = ProfileSettings::Get(settings::kSyncOffset);
  if (offset.isEmpty()) {
    offset = Text(kDefaultSyncOffset);
    ProfileSettings::Set(settings::kSyncOffset, offset);
  }
  bool ok = false;
  const float value = offset.trimmed().toFloat(&ok);
  syncOffset_ = ok ? value : 0.1f;
}

void CPlayerApp::MakeWavDecks() {
  meterDelay_ = ProfileSettings::Get(settings::kSoundCardDriverDelay);
  wave::WaveDeviceList& devices = env_.devices ? *env_.devices : wave::WaveDeviceList::System();
  const std::string programFolder = ProgramFolder();
  for (std::size_t id = 0; id < devices.OutputCount() && wavDecks_.size() < kMaxWavDecks; ++id) {
    wave::WaveCaps caps;
    if (devices.OutputCaps(id, caps) != wave::kOk || !caps.Offers44k16Stereo()) continue;
    WavDeckSetup setup;
    setup.device = static_cast<std::uint32_t>(id);
    setup.deviceName = QString::fromStdString(caps.name);
    setup.index = WavDeckCount();
    setup.songsFolder = songsFolder_;
    setup.programFolder = programFolder;
    setup.database = &database_;
    setup.colors = colors_;
    setup.syncOffset = syncOffset_;
    setup.meterDelay = meterDelay_;
    setup.host = this;
    setup.controlPanel = controlPanel_;
    setup.devices = &devices;
    setup.makeServerLink = env_.makeServerLink;
    auto deck = std::make_unique<CWavPlayerDlg>(std::move(setup));
    if (deck->StartUp() != CWavPlayerDlg::kReady) continue;  // the next device takes its place
    CWavPlayerDlg* made = deck.release();
    wavDecks_.push_back(made);
    Place(made, {400 * made->Index(), 0, 400, 320});
  }
}

void CPlayerApp::MakeCdDeck() {
  // The CD deck's place: one deck for the first CD drive, numbered after the WAV decks.
  if (!env_.makeCdDeck) return;
  cdDeck_ = env_.makeCdDeck(WavDeckCount(), frame_.get());
  if (cdDeck_) Place(cdDeck_, {0, 320, 400, 280});
}

void CPlayerApp::Place(QWidget* window, const QRect& geometry) {
  QMdiSubWindow* sub = area_->addSubWindow(window, Qt::SubWindow | Qt::CustomizeWindowHint |
                                                       Qt::WindowTitleHint);
  sub->setGeometry(geometry);
  sub->show();
}

bool CPlayerApp::IsPlayableSong(std::int32_t songId) {
  CSongRecordset song(database_);
  song.SetFilter("SongID = " + std::to_string(songId));
  song.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  if (song.IsEOF()) return false;
  const std::string& code = song.SongCompression;
  const char c = code.empty() ? kCodePcm : code[0];
  return c == kCodePcm || c == kCodeAdpcm || c == kCodeMp3;
}

void CPlayerApp::ReadHotList() {
  for (int i = 0; i < 5; ++i) {
    const std::int32_t id = ProfileSettings::GetInt(settings::kPlayerSection, HotName(i + 1), 0);
    hotList_[i] = id > 0 && IsPlayableSong(id) ? id : 0;
  }
}

// ------------------------------------------------------------------ what the windows ask

CWavPlayerDlg* CPlayerApp::WavDeck(int index) const {
  return index >= 0 && index < WavDeckCount() ? wavDecks_[static_cast<std::size_t>(index)]
                                              : nullptr;
}

std::int32_t CPlayerApp::HotListEntry(int entry) const {
  return entry >= 1 && entry <= 5 ? hotList_[static_cast<std::size_t>(entry - 1)] : 0;
}

double CPlayerApp::DeckBpm(int index) const {
  const CWavPlayerDlg* deck = WavDeck(index);
  return deck ? deck->CurrentBpm() : 0.0;
}

QString CPlayerApp::DeckSongType(int index) const {
  const CWavPlayerDlg* deck = WavDeck(index);
  return deck ? deck->SongTypeCode() : QString();
}

std::pair<std::int32_t, long> CPlayerApp::DeckSongAndHeardMs(int index) const {
  CWavPlayerDlg* deck = WavDeck(index);
  return deck ? std::pair{deck->SongId(), deck->HeardMs()} : std::pair<std::int32_t, long>{0, 0};
}

void CPlayerApp::ShowHelp(QWidget* caller, const QString& title, const QString& text) {
  if (keyHelp_) keyHelp_->ShowHelp(caller, title, text);
}

void CPlayerApp::Select(QWidget* window) {
  if (!window) return;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()); sub && area_) {
    area_->setActiveSubWindow(sub);
  }
  window->setFocus(Qt::OtherFocusReason);
}

bool CPlayerApp::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key == Qt::Key_Escape) return true;
  if (QApplication::activeModalWidget() != nullptr) return false;
  if (key == Qt::Key_F1 || key == Qt::Key_F2 || key == Qt::Key_F3) {
    const int index = key - Qt::Key_F1;
    if (index < WavDeckCount()) {
      Select(WavDeck(index));
    } else if (index == WavDeckCount()) {
      Select(cdDeck_);
    }
    return true;
  }
  if (key == Qt::Key_F12) {
    Select(controlPanel_);
    return true;
  }
  return false;
}

// ------------------------------------------------------------------ preferences

void CPlayerApp::OnPreferences() {
  if (!database_.IsOpen()) return;
  PlayerPreferences current{colors_, meterDelay_, hotList_};
  CPreferencesDlg dialog(
      current, database_,
      [this] { return ChooseSong(database_, SongChooserRequest{}, frame_.get()); },
      frame_.get());
  if (Ui().RunModal(dialog) != QDialog::Accepted) return;
  const PlayerPreferences& chosen = dialog.Choices();
  GuardPlayerOperation([&] {
    ApplyColors(chosen.colors);
    SaveMeterDelayAndHotList(chosen.meterDelay, chosen.hotList);
  });
}

void CPlayerApp::ApplyColors(const PlayerColors& colors) {
  colors_ = colors;
  if (area_) area_->setBackground(colors.background);
  for (QWidget* window : {controlPanel_.data(), cdDeck_.data()}) {
    if (auto* receiver = dynamic_cast<ColorReceiver*>(window)) receiver->ApplyColors(colors);
  }
  for (CWavPlayerDlg* deck : wavDecks_) deck->ApplyColors(colors);
  colors.Write();
}

void CPlayerApp::SaveMeterDelayAndHotList(int meterDelay,
                                          const std::array<std::int32_t, 5>& hotList) {
  // Open decks keep the delay they were made with; the new one counts from the next start.
  meterDelay_ = meterDelay;
  hotList_ = hotList;
  ProfileSettings::Set(settings::kSoundCardDriverDelay, meterDelay);
  for (int i = 0; i < 5; ++i) {
    ProfileSettings::SetInt(settings::kPlayerSection, HotName(i + 1), hotList[i]);
  }
}

// ------------------------------------------------------------------ exit

void CPlayerApp::ExitInstance() {
  if (filtering_) {
    QApplication::instance()->removeEventFilter(this);
    filtering_ = false;
  }
  database_.Close();
  delete controlPanel_.data();
  delete cdDeck_.data();
  for (CWavPlayerDlg* deck : wavDecks_) delete deck;
  wavDecks_.clear();
  delete keyHelp_;
  keyHelp_ = nullptr;
  frame_.reset();
  area_ = nullptr;
  lock_.Release();
}

}  // namespace vx::player
