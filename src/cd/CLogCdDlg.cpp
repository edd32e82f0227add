#include "cd/CLogCdDlg.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>
#include <cassert>
#include <cstdlib>

#include "cd/CMciDevice.h"
#include "cd/LogCdText.h"
#include "cd/MciText.h"
#include "library/GuardOperation.h"
#include "platform/mci/MciModeCode.h"
#include "platform/ui/UserInteraction.h"

namespace vx::cd {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// A progress event of the ripping component, carried to the dialog's thread.
class ProgressEvent : public QEvent {
 public:
  explicit ProgressEvent(std::int32_t value) : QEvent(CLogCdDlg::kProgressMessage), value(value) {}
  const std::int32_t value;
};

// Minutes and seconds of a "mm:ss..." text as seconds; 0 when it is too short.
int MinutesSeconds(const std::string& text, std::size_t at = 0) {
  if (text.size() < at + 5) return 0;
  return std::atoi(text.substr(at, 2).c_str()) * 60 + std::atoi(text.substr(at + 3, 2).c_str());
}

QFont BoldArial(int points) {
  QFont font(QStringLiteral("Arial"), points, QFont::Bold);
  return font;
}

// The colours of the counters and times: red on black.
constexpr const char* kDisplayStyle = "color: rgb(200, 60, 60); background: black;";
constexpr const char* kPlayingStyle = "color: black; background: rgb(0, 255, 20);";
constexpr const char* kStoppedStyle = "color: black; background: yellow;";
constexpr const char* kIndicatorStyle = "color: rgb(125, 0, 0);";
constexpr const char* kJumpingStyle = "color: rgb(255, 0, 0);";
constexpr const char* kAlbumStyle = "color: black; background: white;";

}  // namespace

CLogCdDlg::CLogCdDlg(LogCdSetup setup, QWidget* parent)
    : QDialog(parent),
      setup_(std::move(setup)),
      mci_(*setup_.mci),
      client_(std::make_unique<CddbClient>(setup_.cddbServer, Ui(), this)),
      ripper_(setup_.ripperDrives),
      useCddb_(setup_.useCddb) {
  assert(setup_.mci != nullptr);
  BuildControls();
  timer_.setInterval(setup_.timerPeriodMs);
  connect(&timer_, &QTimer::timeout, this, &CLogCdDlg::OnTimer);
  connect(client_.get(), &CddbClient::StatusChanged, cddbStatus_, &QLabel::setText);
  connect(client_.get(), &CddbClient::AlbumChanged, albumLine_, &QLabel::setText);
  connect(client_.get(), &CddbClient::TrackNamesChanged, this, &CLogCdDlg::FillTrackList);
  // The component's events arrive on its worker thread: they are only posted here.
  ripper_.SetExtractionProgress(
      [this](std::int32_t value) { QCoreApplication::postEvent(this, new ProgressEvent(value)); });
  ripper_.SetExtractionDone(
      [this] { QCoreApplication::postEvent(this, new QEvent(kTrackDoneMessage)); });
}

CLogCdDlg::~CLogCdDlg() {
  ripper_.CancelExtraction();
  if (cdOpen_) {
    mci_.StopDevice(CMciDevice::kCd);
    mci_.CloseDevice(CMciDevice::kCd);
  }
}

void CLogCdDlg::BuildControls() {
  setWindowTitle(QString::asprintf(text::kLogCdTitle, setup_.driveLetter));
  const auto label = [this](const char* name, const QString& caption, int points,
                            const char* style) {
    auto* made = new QLabel(caption, this);
    made->setObjectName(QString::fromUtf8(name));
    made->setFont(BoldArial(points));
    made->setStyleSheet(QString::fromUtf8(style));
    made->setAlignment(Qt::AlignCenter);
    return made;
  };
  const auto button = [this](const char* name, const char* caption) {
    auto* made = new QPushButton(Text(caption), this);
    made->setObjectName(QString::fromUtf8(name));
    made->setAutoDefault(false);
    return made;
  };

  // The display: counters, times, mode and the Intro/Scan indicator.
  trackCounter_ = label("trackCounter", Text(text::kNoCounter), 48, kDisplayStyle);
  totalCounter_ = label("totalCounter", Text(text::kNoCounter), 48, kDisplayStyle);
  currentTime_ = label("currentTime", Text(text::kNoTime), 36, kDisplayStyle);
  totalTime_ = label("totalTime", Text(text::kNoTime), 36, kDisplayStyle);
  modeDisplay_ = label("modeDisplay", QString(), 14, kStoppedStyle);
  indicator_ = label("indicator", QString(), 14, kIndicatorStyle);
  indicator_->hide();
  auto* display = new QGridLayout;
  display->setSpacing(0);
  display->addWidget(label("trackLabel", Text(text::kTrackLabel), 8, kDisplayStyle), 0, 0);
  display->addWidget(label("tracksLabel", Text(text::kTracksLabel), 8, kDisplayStyle), 0, 1);
  display->addWidget(label("currentLabel", Text(text::kCurrentLabel), 8, kDisplayStyle), 0, 2);
  display->addWidget(label("totalLabel", Text(text::kTotalLabel), 8, kDisplayStyle), 0, 3);
  // Wide enough for their longest text at their large fonts.
  for (QLabel* shown : {trackCounter_, totalCounter_, currentTime_, totalTime_}) {
    const QString widest = shown == currentTime_ || shown == totalTime_ ? QStringLiteral("00:00")
                                                                        : QStringLiteral("00");
    shown->setMinimumWidth(shown->fontMetrics().horizontalAdvance(widest) + 24);
  }
  display->addWidget(trackCounter_, 1, 0);
  display->addWidget(totalCounter_, 1, 1);
  display->addWidget(currentTime_, 1, 2);
  display->addWidget(totalTime_, 1, 3);
  display->addWidget(modeDisplay_, 2, 0, 1, 3);
  display->addWidget(indicator_, 2, 3);

  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName(QStringLiteral("positionSlider"));
  slider_->setTickPosition(QSlider::TicksBelow);
  slider_->setTickInterval(10);
  connect(slider_, &QSlider::sliderPressed, this, &CLogCdDlg::OnSliderPressed);
  connect(slider_, &QSlider::sliderReleased, this, &CLogCdDlg::OnSliderReleased);
  // Keys, the wheel and clicks beside the handle move it in steps: the CD follows once the
  // slider has taken its new value.
  connect(slider_, &QSlider::actionTriggered, this, [this](int action) {
    if (action != QAbstractSlider::SliderMove) {
      QMetaObject::invokeMethod(this, &CLogCdDlg::OnSliderReleased, Qt::QueuedConnection);
    }
  });

  eject_ = button("ejectButton", text::kEjectButton);
  play_ = button("playButton", text::kPlayButton);
  stop_ = button("stopButton", text::kStopButton);
  eject_->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
  play_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  stop_->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  connect(eject_, &QPushButton::clicked, this, &CLogCdDlg::OnEject);
  connect(play_, &QPushButton::clicked, this, &CLogCdDlg::OnPlay);
  connect(stop_, &QPushButton::clicked, this, &CLogCdDlg::OnStop);

  normal_ = new QRadioButton(Text(text::kNormalMode), this);
  normal_->setObjectName(QStringLiteral("normalRadio"));
  normal_->setChecked(true);
  intro_ = new QRadioButton(Text(text::kIntroMode), this);
  intro_->setObjectName(QStringLiteral("introRadio"));
  scanRadio_ = new QRadioButton(Text(text::kScanMode), this);
  scanRadio_->setObjectName(QStringLiteral("scanRadio"));
  connect(normal_, &QRadioButton::clicked, this, &CLogCdDlg::OnNormal);
  connect(intro_, &QRadioButton::clicked, this, &CLogCdDlg::OnIntro);
  connect(scanRadio_, &QRadioButton::clicked, this, &CLogCdDlg::OnScan);
  secondsBox_ = new QSpinBox(this);
  secondsBox_->setObjectName(QStringLiteral("secondsBox"));
  secondsBox_->setRange(5, 60);
  secondsBox_->setValue(10);
  secondsBox_->setEnabled(false);
  connect(secondsBox_, &QSpinBox::valueChanged, this, &CLogCdDlg::OnSecondsChanged);
  auto* secondsLabel = new QLabel(Text(text::kSecondsLabel), this);
  secondsLabel->setBuddy(secondsBox_);

  auto* transport = new QHBoxLayout;
  for (QWidget* widget : std::initializer_list<QWidget*>{eject_, play_, stop_, normal_, intro_,
                                                         scanRadio_, secondsLabel, secondsBox_}) {
    transport->addWidget(widget);
  }

  trackList_ = new QListWidget(this);
  trackList_->setObjectName(QStringLiteral("trackList"));
  trackList_->setSelectionMode(QAbstractItemView::MultiSelection);
  trackList_->setFont(BoldArial(14));
  connect(trackList_, &QListWidget::itemSelectionChanged, this,
          &CLogCdDlg::OnTrackSelectionChanged);
  auto* tracksLabel = new QLabel(Text(text::kTracksListLabel), this);
  tracksLabel->setBuddy(trackList_);
  selectAll_ = button("selectAllButton", text::kSelectAll);
  clearAll_ = button("clearAllButton", text::kClearAll);
  ripButton_ = button("ripButton", text::kRipTracksButton);
  connect(selectAll_, &QPushButton::clicked, this, &CLogCdDlg::OnSelectAll);
  connect(clearAll_, &QPushButton::clicked, this, &CLogCdDlg::OnClearAll);
  connect(ripButton_, &QPushButton::clicked, this, &CLogCdDlg::OnRip);
  trackProgress_ = new QProgressBar(this);
  trackProgress_->setObjectName(QStringLiteral("trackProgress"));
  trackProgress_->setRange(0, 1000);
  trackProgress_->setValue(0);
  overallProgress_ = new QProgressBar(this);
  overallProgress_->setObjectName(QStringLiteral("overallProgress"));
  overallProgress_->setValue(0);
  auto* listButtons = new QVBoxLayout;
  listButtons->addWidget(selectAll_);
  listButtons->addWidget(clearAll_);
  listButtons->addWidget(ripButton_);
  listButtons->addStretch();
  auto* tracks = new QHBoxLayout;
  tracks->addWidget(trackList_, 1);
  tracks->addLayout(listButtons);

  useCddbCheck_ = new QCheckBox(Text(text::kUseCddb), this);
  useCddbCheck_->setObjectName(QStringLiteral("useCddbCheck"));
  connect(useCddbCheck_, &QCheckBox::toggled, this, &CLogCdDlg::OnUseCddb);
  cddbButton_ = button("cddbButton", text::kCddbButton);
  connect(cddbButton_, &QPushButton::clicked, this, &CLogCdDlg::OnCddbButton);
  cddbStatus_ = new QLabel(this);
  cddbStatus_->setObjectName(QStringLiteral("cddbStatus"));
  albumLine_ = label("albumLine", QString(), 14, kAlbumStyle);
  albumLine_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  auto* cddb = new QHBoxLayout;
  cddb->addWidget(useCddbCheck_);
  cddb->addWidget(cddbButton_);
  cddb->addWidget(new QLabel(Text(text::kCddbStatusLabel), this));
  cddb->addWidget(cddbStatus_, 1);

  logTrack_ = button("logTrackButton", text::kLogTrack);
  logTrack_->setDefault(true);
  cancel_ = button("cancelButton", text::kCancel);
  connect(logTrack_, &QPushButton::clicked, this, &CLogCdDlg::OnLogTrack);
  connect(cancel_, &QPushButton::clicked, this, &CLogCdDlg::reject);
  auto* ending = new QHBoxLayout;
  ending->addStretch();
  ending->addWidget(logTrack_);
  ending->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(display);
  layout->addWidget(slider_);
  layout->addLayout(transport);
  layout->addWidget(albumLine_);
  layout->addWidget(tracksLabel);
  layout->addLayout(tracks);
  layout->addWidget(trackProgress_);
  layout->addWidget(overallProgress_);
  layout->addLayout(cddb);
  layout->addLayout(ending);
  UpdateRipButton();
}

void CLogCdDlg::Guarded(const std::function<void()>& work) {
  if (!GuardOperation(work)) EndDialog(QDialog::Rejected);
}

bool CLogCdDlg::Mci(bool ok) {
  if (!ok && setup_.statusLine) {
    setup_.statusLine(QString::asprintf(text::kMciErrorReport, mci_.GetLastErrorText().c_str()));
  }
  return ok;
}

void CLogCdDlg::StopAndCloseCd() {
  if (!cdOpen_) return;
  Mci(mci_.StopDevice(CMciDevice::kCd));
  Mci(mci_.CloseDevice(CMciDevice::kCd));
  cdOpen_ = false;
}

void CLogCdDlg::EndDialog(int result) {
  if (ended_) return;
  ended_ = true;
  timer_.stop();
  if (result != QDialog::Accepted) ripper_.CancelExtraction();
  StopAndCloseCd();
  client_->Abort();
  QDialog::done(result);
}

bool CLogCdDlg::OnInitDialog() {
  bool started = false;
  Guarded([&] {
    if (!Mci(mci_.OpenCd(setup_.driveLetter))) {
      EndDialog(QDialog::Rejected);
      Ui().Message(QString::asprintf(text::kCannotOpenCd, setup_.driveLetter),
                   MsgIcon::Exclamation);
      return;
    }
    cdOpen_ = true;
    mci_.ListCdDrives();
    const std::size_t position = mci_.CdDriveLetters().find(setup_.driveLetter);
    drivePosition_ = position == std::string::npos ? 0 : static_cast<int>(position);
    if (!Mci(mci_.SetTimeFormat("tmsf", CMciDevice::kCd))) {
      EndDialog(QDialog::Rejected);
      Ui().Message(Text(text::kMciCommandFailed), MsgIcon::Exclamation);
      return;
    }
    std::string mode;
    Mci(mci_.QueryStatus("mode", mode, CMciDevice::kCd));
    {
      const QSignalBlocker quiet(useCddbCheck_);
      useCddbCheck_->setChecked(useCddb_);
    }
    client_->Setup(useCddb_);

    if (mci::IsNoMedium(mci::ModeCodeOf(mode))) {
      SetModeText(Text(text::kInsertCd));
      EnablePlayControls(false);
    } else {
      ReadDisc();
      if (scan_.audioTracks.empty()) {
        EnablePlayControls(false);
      } else {
        std::string identity;
        if (Mci(mci_.GetIdentity(identity))) identity_ = QString::fromStdString(identity);
        ShowMode(QString::fromStdString(mode));
        ReadTrackLength();
        EnablePlayControls(true);
      }
    }
    timer_.start();
    if (!timer_.isActive()) {
      Ui().Message(Text(text::kNoTimer), MsgIcon::Exclamation);
      EndDialog(QDialog::Rejected);
      return;
    }
    started = true;
  });
  return started && !ended_;
}

// The disc scan; the track list gets the fallback names at once and, with CDDB active, the
// server's names later.
void CLogCdDlg::ReadDisc() {
  scan_ = ScanDisc(mci_, setup_.statusLine, setup_.cddbServer.user.toStdString());
  client_->SetDisc(scan_, client_->IsActive());
  FillTrackList();
  currentTrack_ = scan_.audioTracks.empty() ? 0 : scan_.audioTracks.front();
  if (currentTrack_ != 0) {
    trackList_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    trackList_->setFocus();
    ShowCounters();
  }
}

void CLogCdDlg::FillTrackList() {
  {
    const QSignalBlocker quiet(trackList_);
    trackList_->clear();
    trackList_->addItems(client_->ListEntries());
    const int entry = EntryOf(currentTrack_);
    if (entry >= 0 && entry < trackList_->count()) {
      trackList_->setCurrentRow(entry, QItemSelectionModel::NoUpdate);
    }
  }
  UpdateRipButton();
}

void CLogCdDlg::EnablePlayControls(bool enable) {
  for (QWidget* widget : std::initializer_list<QWidget*>{play_, stop_, logTrack_, trackList_}) {
    widget->setEnabled(enable);
  }
}

void CLogCdDlg::ShowNoDisc() {
  playing_ = false;
  EnablePlayControls(false);
  currentTime_->setText(Text(text::kNoTime));
  totalTime_->setText(Text(text::kNoTime));
  trackCounter_->setText(Text(text::kNoCounter));
  totalCounter_->setText(Text(text::kNoCounter));
  albumLine_->clear();
  currentTrack_ = 0;
  currentLength_.clear();
  if (!scan_.audioTracks.empty() || trackList_->count() > 0) {
    scan_ = {};
    client_->SetDisc(scan_, false);
    FillTrackList();
  }
  scan_ = {};
}

int CLogCdDlg::EntryOf(int track) const {
  for (std::size_t i = 0; i < scan_.audioTracks.size(); ++i) {
    if (scan_.audioTracks[i] == track) return static_cast<int>(i);
  }
  return -1;
}

void CLogCdDlg::ShowCounters() {
  trackCounter_->setText(QString::asprintf(text::kCounterFormat, unsigned(currentTrack_)));
  totalCounter_->setText(QString::asprintf(text::kCounterFormat, unsigned(scan_.trackCount)));
}

void CLogCdDlg::SetModeText(const QString& text) { modeDisplay_->setText(text); }

void CLogCdDlg::ShowMode(const QString& reply) {
  SetModeText(reply.toUpper());
  modeDisplay_->setStyleSheet(QString::fromUtf8(
      mci::ModeCodeOf(reply.toStdString()) == mci::kModePlaying ? kPlayingStyle : kStoppedStyle));
}

void CLogCdDlg::SetJumping(bool jumping) {
  jumping_ = jumping;
  indicator_->setStyleSheet(QString::fromUtf8(jumping ? kJumpingStyle : kIndicatorStyle));
  indicator_->repaint();
}

void CLogCdDlg::ReadTrackLength() {
  std::string reply;
  const std::string item = "length track " + std::to_string(currentTrack_);
  if (!Mci(mci_.QueryStatus(item, reply, CMciDevice::kCd))) return;
  currentLength_ = QString::fromStdString(reply);
  totalTime_->setText(currentLength_.left(5));
  slider_->setRange(0, MinutesSeconds(reply));
  slider_->setTickInterval(10);
}

void CLogCdDlg::SelectTrack(int track) {
  Mci(mci_.StopDevice(CMciDevice::kCd));
  Mci(mci_.SeekDevice(std::to_string(track), CMciDevice::kCd));
  Mci(mci_.PlayDevice(CMciDevice::kCd));
  currentTrack_ = track;
  ShowCounters();
  const int entry = EntryOf(track);
  if (entry >= 0 && entry < trackList_->count()) {
    const QSignalBlocker quiet(trackList_);
    trackList_->setCurrentRow(entry, QItemSelectionModel::NoUpdate);
  }
  ReadTrackLength();
  tickCounter_ = 0;
}

void CLogCdDlg::UpdatePosition() {
  std::string reply;
  if (Mci(mci_.QueryStatus("current track", reply, CMciDevice::kCd))) {
    const int track = std::atoi(reply.c_str());
    if (track != currentTrack_) {
      currentTrack_ = track;
      const int entry = EntryOf(track);
      if (entry >= 0 && entry < trackList_->count()) {
        const QSignalBlocker quiet(trackList_);
        trackList_->setCurrentRow(entry, QItemSelectionModel::NoUpdate);
      }
      ShowCounters();
      ReadTrackLength();
    }
  }
  // "tt:mm:ss:ff": the time within the track follows the track number.
  if (Mci(mci_.GetPosition(reply, CMciDevice::kCd))) {
    currentTime_->setText(QString::fromStdString(reply).mid(3, 5));
    if (!dragging_) slider_->setValue(MinutesSeconds(reply, 3));
  }
}

void CLogCdDlg::ScanJump() {
  Mci(mci_.SetTimeFormat("ms", CMciDevice::kCd));
  std::string reply;
  if (Mci(mci_.GetPosition(reply, CMciDevice::kCd))) {
    // Twice the interval ahead.
    const long position = std::atol(reply.c_str()) + seconds_ * 2000L;
    Mci(mci_.StopDevice(CMciDevice::kCd));
    Mci(mci_.SeekDevice(std::to_string(position), CMciDevice::kCd));
    Mci(mci_.PlayDevice(CMciDevice::kCd));
  }
  Mci(mci_.SetTimeFormat("tmsf", CMciDevice::kCd));
  ReadTrackLength();
  tickCounter_ = 0;
}

void CLogCdDlg::OnTimer() {
  if (ended_ || !cdOpen_) return;
  Guarded([this] {
    std::string text;
    Mci(mci_.QueryStatus("mode", text, CMciDevice::kCd));
    const QString reply = QString::fromStdString(text);
    const mci::ModeCode code = mci::ModeCodeOf(text);

    if (mci::IsNoMedium(code)) {
      SetModeText(Text(text::kInsertCd));
      modeDisplay_->setStyleSheet(QString::fromUtf8(kStoppedStyle));
      ShowNoDisc();
      previousMode_ = reply;
      return;
    }
    if (previousMode_ == QLatin1String("open") || previousMode_ == QLatin1String("not ready")) {
      // A disc has just come in.
      std::string identity;
      identity_.clear();
      if (Mci(mci_.GetIdentity(identity))) identity_ = QString::fromStdString(identity);
      if (client_->IsActive()) {
        cddbStatus_->setText(Text(text::kQueryingNewCd));
      } else {
        albumLine_->clear();
      }
      ReadDisc();
      if (scan_.audioTracks.empty()) {
        ShowNoDisc();
      } else {
        EnablePlayControls(true);
        ShowMode(reply);
        SelectTrack(scan_.audioTracks.front());
        UpdatePosition();
      }
      playing_ = code == mci::kModePlaying;
      previousMode_ = reply;
      return;
    }
    if (!scan_.audioTracks.empty()) {
      if (!dragging_) UpdatePosition();
      if (code == mci::kModePlaying && playMode_ != kNormal) {
        const int old = tickCounter_++;
        if (playMode_ == kIntro && old >= seconds_) {
          SetJumping(true);
          const int entry = EntryOf(currentTrack_);
          if (entry >= 0 && entry + 1 < AudioTrackCount())
            SelectTrack(scan_.audioTracks[entry + 1]);
          SetJumping(false);
          return;
        }
        if (playMode_ == kScan && old > seconds_) {
          SetJumping(true);
          ScanJump();
          SetJumping(false);
          return;
        }
      }
    }
    ShowMode(reply);
    playing_ = code == mci::kModePlaying;
    previousMode_ = reply;
  });
}

void CLogCdDlg::OnEject() {
  Guarded([this] {
    std::string mode;
    Mci(mci_.QueryStatus("mode", mode, CMciDevice::kCd));
    if (mode == "open") {
      Mci(mci_.SetDoor(true));
    } else {
      Mci(mci_.StopDevice(CMciDevice::kCd));
      Mci(mci_.SetDoor(false));
    }
    tickCounter_ = 0;
  });
}

void CLogCdDlg::OnPlay() {
  Guarded([this] {
    Mci(mci_.PlayDevice(CMciDevice::kCd));
    tickCounter_ = 0;
  });
}

void CLogCdDlg::OnStop() {
  Guarded([this] { Mci(mci_.StopDevice(CMciDevice::kCd)); });
}

void CLogCdDlg::OnNormal() {
  normal_->setChecked(true);
  secondsBox_->setEnabled(false);
  indicator_->hide();
  tickCounter_ = 0;
  playMode_ = kNormal;
}

void CLogCdDlg::OnIntro() {
  intro_->setChecked(true);
  indicator_->setText(Text(text::kIntroIndicator));
  indicator_->show();
  secondsBox_->setEnabled(true);
  seconds_ = secondsBox_->value();
  tickCounter_ = 0;
  playMode_ = kIntro;
}

void CLogCdDlg::OnScan() {
  scanRadio_->setChecked(true);
  indicator_->setText(Text(text::kScanIndicator));
  indicator_->show();
  secondsBox_->setEnabled(true);
  seconds_ = secondsBox_->value();
  tickCounter_ = 0;
  playMode_ = kScan;
}

void CLogCdDlg::OnSecondsChanged(int seconds) { seconds_ = seconds; }

void CLogCdDlg::OnSliderPressed() { dragging_ = true; }

void CLogCdDlg::OnSliderReleased() {
  if (ended_ || !cdOpen_ || currentTrack_ == 0) return;
  Guarded([this] {
    const int value = slider_->value();
    Mci(mci_.StopDevice(CMciDevice::kCd));
    Mci(mci_.SeekDevice(
        QString::asprintf("%02u:%02d:%02d", unsigned(currentTrack_), value / 60, value % 60)
            .toStdString(),
        CMciDevice::kCd));
    Mci(mci_.PlayDevice(CMciDevice::kCd));
    dragging_ = false;
  });
}

void CLogCdDlg::OnTrackSelectionChanged() {
  Guarded([this] {
    const int caret = trackList_->currentRow();
    if (caret >= 0 && caret < AudioTrackCount() && scan_.audioTracks[caret] != currentTrack_) {
      SelectTrack(scan_.audioTracks[caret]);
    }
    UpdateRipButton();
  });
}

void CLogCdDlg::UpdateRipButton() {
  const int selected = static_cast<int>(trackList_->selectedItems().size());
  ripButton_->setText(QString::asprintf(text::kRipTracksButton, selected));
  ripButton_->setEnabled(selected > 0 && rip_ == nullptr);
}

void CLogCdDlg::OnSelectAll() {
  {
    const QSignalBlocker quiet(trackList_);
    trackList_->selectAll();
  }
  UpdateRipButton();
}

void CLogCdDlg::OnClearAll() {
  {
    const QSignalBlocker quiet(trackList_);
    trackList_->clearSelection();
  }
  UpdateRipButton();
}

void CLogCdDlg::OnUseCddb(bool checked) {
  useCddb_ = checked;
  if (!checked) client_->Deactivate();
}

void CLogCdDlg::OnCddbButton() {
  Guarded([this] {
    if (client_->IsActive()) client_->RequestVersion();
  });
}

void CLogCdDlg::OnLogTrack() {
  if (ended_ || currentTrack_ == 0) return;
  EndDialog(QDialog::Accepted);
}

void CLogCdDlg::reject() { EndDialog(QDialog::Rejected); }

std::vector<RippedTrack> CLogCdDlg::RippedTracks() const {
  return rip_ != nullptr ? rip_->Copies() : std::vector<RippedTrack>{};
}

QString CLogCdDlg::TrackTitle(int entry) const {
  const QStringList& titles = client_->TrackTitles();
  return entry >= 0 && entry < titles.size() ? titles[entry] : QString();
}

QString CLogCdDlg::ExtendedData(int entry) const {
  const QStringList& data = client_->ExtendedData();
  return entry >= 0 && entry < data.size() ? data[entry] : QString();
}

void CLogCdDlg::OnRip() {
  if (ended_ || rip_ != nullptr) return;
  Guarded([this] {
    std::vector<CdRipQueue::Selected> selected;
    for (int entry = 0; entry < trackList_->count() && entry < AudioTrackCount(); ++entry) {
      if (trackList_->item(entry)->isSelected()) {
        selected.push_back({entry, scan_.audioTracks[entry]});
      }
    }
    if (selected.empty()) return;
    SetModeText(Text(text::kRippingMode));
    timer_.stop();
    StopAndCloseCd();
    rip_ = std::make_unique<CdRipQueue>(ripper_, setup_.songsFolder, std::move(selected));
    const std::int16_t status = rip_->Prepare(static_cast<std::int16_t>(drivePosition_));
    if (status != cdrom::kRipOk) {
      ExtractionError(status);
      return;
    }
    overallProgress_->setRange(0, rip_->Count());
    overallProgress_->setValue(0);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{eject_, play_, stop_, clearAll_, selectAll_, slider_,
                                         trackList_, logTrack_, ripButton_}) {
      widget->setEnabled(false);
    }
    cancel_->setDefault(true);
    cancel_->setFocus();
    lastProgress_ = 1000;
    QCoreApplication::postEvent(this, new QEvent(kTrackDoneMessage));
  });
}

void CLogCdDlg::customEvent(QEvent* event) {
  if (ended_ || rip_ == nullptr) return;
  if (event->type() == kProgressMessage) {
    lastProgress_ = static_cast<ProgressEvent*>(event)->value;
    trackProgress_->setValue(lastProgress_);
  } else if (event->type() == kTrackDoneMessage) {
    Guarded([this] { OnTrackDone(); });
  }
}

void CLogCdDlg::OnTrackDone() {
  const int incomplete = rip_->EndCopy(lastProgress_);
  if (incomplete != 0) {
    Ui().Message(QString::asprintf(text::kCopyIncomplete, incomplete), MsgIcon::Stop);
    if (ended_) return;  // cancelled while the message was up
  }
  const CdRipQueue::Step step = rip_->StartNext();
  if (step.finished) {
    EndDialog(QDialog::Accepted);
    return;
  }
  if (step.status != cdrom::kRipOk) {
    ExtractionError(step.status);
    return;
  }
  lastProgress_ = 0;
  trackCounter_->setText(QString::asprintf(text::kCounterFormat, unsigned(step.startedTrack)));
  trackProgress_->setRange(0, 1000);
  trackProgress_->setValue(0);
  overallProgress_->setValue(overallProgress_->value() + 1);
  SetModeText(QString::asprintf(text::kRippingTrack, step.startedTrack));
}

void CLogCdDlg::ExtractionError(std::int16_t status) {
  Ui().Message(QString::asprintf(text::kExtractionError, int(status)), MsgIcon::Stop);
  EndDialog(QDialog::Rejected);
}

}  // namespace vx::cd
