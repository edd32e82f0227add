#include "player/CPlayerApp.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>

#include "library/CSongRecordset.h"
#include "library/InstanceLockText.h"
#include "library/LibraryQueries.h"
#include "library/LibraryText.h"
#include "library/SongStore.h"
#include "platform/cdrom/CdDriveInventory.h"
#include "platform/log/DebugLog.h"
#include "platform/process/Process.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/ui/UserInteraction.h"
#include "platform/wave/DeviceOrder.h"
#include "platform/wave/RoutedWaveOut.h"
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
    Ui().Message(QString::fromStdString(LockRefusedText(lock_)), MsgIcon::Stop);
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
    DebugLog("vxplayer: started with " + std::to_string(WavDeckCount()) + " WAV decks");
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
  pitchQuality_ = PitchQualityFromNumber(ProfileSettings::Get(settings::kPitchQuality));
  wave::WaveDeviceList& devices = env_.devices ? *env_.devices : wave::WaveDeviceList::System();
  const wave::DeviceChoices choices = wave::DeviceChoices::Read();
  wave::DeckOutputWalk walk(wave::OutputCapsOf(devices), choices.outputs, choices.split);
  while (WavDeckCount() < kMaxWavDecks) {
    const std::optional<wave::DeckOutput> output = walk.Next();
    if (!output) break;
    if (MakeWavDeck(devices, *output)) {
      walk.Started();
    } else {
      walk.Failed();  // the next output takes its place
    }
  }
}

bool CPlayerApp::MakeWavDeck(wave::WaveDeviceList& devices, const wave::DeckOutput& output) {
  wave::WaveOutDevice& device = *devices.Output(output.device);
  const bool shared = output.route != wave::ChannelRoute::kAll ||
                      std::find(wavDeckOutputs_.begin(), wavDeckOutputs_.end(),
                                output.device) != wavDeckOutputs_.end();
  // A shared output plays the decks' own format, whichever deck opens it first.
  if (shared) device.SetMixFormat(riff::WaveFormat::Pcm16(2, 44100));
  wave::WaveDeviceList* deckDevices = &devices;
  std::size_t deckDevice = output.device;
  if (output.route != wave::ChannelRoute::kAll) {
    if (output.route == wave::ChannelRoute::kLeft) {
      wave::WaveDeviceSet channels;
      channels.outputs.push_back(
          std::make_unique<wave::RoutedWaveOut>(device, wave::ChannelRoute::kLeft));
      channels.outputs.push_back(
          std::make_unique<wave::RoutedWaveOut>(device, wave::ChannelRoute::kRight));
      splitOutputs_ = std::make_unique<wave::WaveDeviceList>(std::move(channels));
    }
    deckDevices = splitOutputs_.get();
    deckDevice = output.route == wave::ChannelRoute::kLeft ? 0 : 1;
  }
  wave::WaveCaps caps;
  deckDevices->OutputCaps(deckDevice, caps);

  WavDeckSetup setup;
  setup.device = static_cast<std::uint32_t>(deckDevice);
  setup.deviceName = QString::fromStdString(caps.name);
  setup.index = WavDeckCount();
  setup.songsFolder = songsFolder_;
  setup.programFolder = ProgramFolder();
  setup.database = &database_;
  setup.colors = colors_;
  setup.syncOffset = syncOffset_;
  setup.meterDelay = meterDelay_;
  setup.host = this;
  setup.controlPanel = controlPanel_;
  setup.devices = deckDevices;
  setup.makeServerLink = env_.makeServerLink;
  setup.pitchQuality = pitchQuality_;
  auto deck = std::make_unique<CWavPlayerDlg>(std::move(setup));
  if (deck->StartUp() != CWavPlayerDlg::kReady) return false;
  CWavPlayerDlg* made = deck.release();
  wavDecks_.push_back(made);
  wavDeckOutputs_.push_back(output.device);
  Place(made, {400 * made->Index(), 0, 400, 320});
  return true;
}

void CPlayerApp::MakeCdDeck() {
  // One CD deck at most, for the first CD drive, numbered after the WAV decks.
  if (!env_.makeCdDeck) return;
  const std::string letters =
      env_.cdDriveLetters
          ? env_.cdDriveLetters()
          : cdrom::DriveLetters(cdrom::ListCdDrives(DeviceConfig::Current()));
  if (letters.empty()) return;
  wave::WaveDeviceList& devices = env_.devices ? *env_.devices : wave::WaveDeviceList::System();
  cdDeck_ = env_.makeCdDeck(*this,
                            {letters.front(), WavDeckCount(), CdOutput(devices), frame_.get()});
  if (cdDeck_) Place(cdDeck_, {0, 320, 400, 280});
}

std::size_t CPlayerApp::CdOutput(wave::WaveDeviceList& devices) const {
  for (std::size_t id = 0; id < devices.OutputCount(); ++id) {
    wave::WaveCaps caps;
    if (devices.OutputCaps(id, caps) != wave::kOk || !caps.Offers44k16Stereo()) continue;
    if (std::find(wavDeckOutputs_.begin(), wavDeckOutputs_.end(), id) == wavDeckOutputs_.end()) {
      return id;
    }
  }
  // Every output is held: the CD deck shares the chosen one, mixed with its WAV deck in the
  // decks' format (CD audio's own), whoever opens it first.
  const int chosen = ProfileSettings::Get(settings::kCdOutput);
  const std::size_t shared = chosen >= 0 && static_cast<std::size_t>(chosen) < devices.OutputCount()
                                 ? static_cast<std::size_t>(chosen)
                                 : 0;
  if (wave::WaveOutDevice* device = devices.Output(shared)) {
    device->SetMixFormat(riff::WaveFormat::Pcm16(2, 44100));
  }
  return shared;
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
  PlayerPreferences current{colors_, meterDelay_, hotList_, DeckOutputNames(), {},
                            pitchQuality_};
  const std::vector<std::string> named = wave::DeviceChoices::Read().outputs;
  for (std::size_t deck = 0; deck < 2 && deck < named.size(); ++deck) {
    current.deckOutputs[deck] = QString::fromStdString(named[deck]);
  }
  CPreferencesDlg dialog(
      current, database_,
      [this] { return ChooseSong(database_, SongChooserRequest{}, frame_.get()); },
      frame_.get());
  if (Ui().RunModal(dialog) != QDialog::Accepted) return;
  const PlayerPreferences& chosen = dialog.Choices();
  GuardPlayerOperation([&] {
    ApplyColors(chosen.colors);
    SaveMeterDelayAndHotList(chosen.meterDelay, chosen.hotList);
    SaveDeckOutputs(chosen.deckOutputs);
    SavePitchQuality(chosen.pitchQuality);
  });
}

QStringList CPlayerApp::DeckOutputNames() const {
  const wave::WaveDeviceList& devices =
      env_.devices ? *env_.devices : wave::WaveDeviceList::System();
  const std::vector<wave::WaveCaps> outputs = wave::OutputCapsOf(devices);
  QStringList names;
  for (std::size_t id : wave::OutputOrder(outputs, {})) {
    if (outputs[id].Offers44k16Stereo()) names << QString::fromStdString(outputs[id].name);
  }
  return names;
}

void CPlayerApp::SaveDeckOutputs(const std::array<QString, 2>& outputs) {
  // Names after the second (written by hand) are kept; empty ones at the end are dropped.
  std::vector<std::string> named = wave::DeviceChoices::Read().outputs;
  named.resize(std::max<std::size_t>(named.size(), 2));
  for (std::size_t deck = 0; deck < 2; ++deck) named[deck] = outputs[deck].toStdString();
  while (!named.empty() && named.back().empty()) named.pop_back();
  ProfileSettings::Set(settings::kPlayerOutputs, QString::fromStdString(wave::JoinDeviceNames(named)));
}

void CPlayerApp::SavePitchQuality(PitchQuality quality) {
  pitchQuality_ = quality;
  ProfileSettings::Set(settings::kPitchQuality, static_cast<int>(quality));
  for (CWavPlayerDlg* deck : wavDecks_) deck->SetPitchQuality(quality);
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
  wavDeckOutputs_.clear();
  splitOutputs_.reset();
  delete keyHelp_;
  keyHelp_ = nullptr;
  frame_.reset();
  area_ = nullptr;
  lock_.Release();
}

}  // namespace vx::player
