#include "curation/CBpmDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <cstdlib>

#include "curation/CPlaybackPanel.h"
#include "curation/CurationText.h"
#include "curation/Metronome.h"
#include "curation/tempo/TempoAnalysis.h"
#include "library/GuardOperation.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/ui/DialogControls.h"
#include "platform/ui/UserInteraction.h"
#include "platform/wave/WaveDeviceList.h"

namespace vx {
namespace {

constexpr int kMinStep = 100;    // 1.00 BPM
constexpr int kMaxStep = 25000;  // 250.00 BPM
constexpr int kVolumeMax = 255;

int StepOf(double tempo) { return static_cast<int>(std::lround(tempo * 100)); }

QToolButton* Arrow(Qt::ArrowType type, const char* name, QWidget* parent) {
  auto* arrow = new QToolButton(parent);
  arrow->setObjectName(QLatin1String(name));
  arrow->setArrowType(type);
  arrow->setAutoRepeat(true);
  arrow->setFocusPolicy(Qt::NoFocus);
  return arrow;
}

// Virtual outputs run on the run's device clock; real ones in real time.
double DeviceSpeed() {
  const DeviceConfig config = DeviceConfig::Current();
  return config.virtualOnly ? config.speed : 1.0;
}

}  // namespace

bool CBpmDlg::InRange(double tempo) {
  const double hundredths = tempo * 100;
  return hundredths >= kMinStep && hundredths <= kMaxStep;
}

CBpmDlg::CBpmDlg(double tempo, int midiDevice, std::uint8_t note, const Song& song, QWidget* parent)
    : CPlaybackDlg(song.cd, SongPlayback::Units::kMilliseconds, parent), song_(song) {
  setWindowTitle(QString::fromUtf8(text::kBpmTitle));
  if (InRange(tempo)) tempo_ = tempo;
  SetDiscIdentity(song.discIdentity);
  BuildControls();
  bool opened = false;
  if (!GuardOperation([&] {
        opened = Open(midiDevice, note);
        if (!opened) EndAsCancelled();
      })) {
    opened = false;
    EndAsCancelled();
  }
  if (opened) StartAnalysis();
}

CBpmDlg::~CBpmDlg() {
  analysis_.reset();  // no report reaches the dialog after this
  metronome_.reset();
  Device().CloseMidiOut();
  ProfileSettings::Set(settings::kMidiVolume, static_cast<int>(volume_));
}

void CBpmDlg::BuildControls() {
  bpmField_ = new QLineEdit(this);
  bpmField_->setObjectName(QStringLiteral("bpmField"));
  bpmField_->installEventFilter(this);
  up_ = Arrow(Qt::UpArrow, "bpmUp", this);
  down_ = Arrow(Qt::DownArrow, "bpmDown", this);
  connect(up_, &QToolButton::clicked, this, [this] { OnStep(1); });
  connect(down_, &QToolButton::clicked, this, [this] { OnStep(-1); });
  auto* bpmLabel = new QLabel(QString::fromUtf8(text::kBpmLabel), this);
  bpmLabel->setBuddy(bpmField_);

  auto* restart = MakeButton(text::kBpmRestart, "restartButton", this);
  auto* set = MakeButton(text::kBpmSet, "setButton", this);
  auto* cancel = MakeButton(text::kBpmCancel, "cancelButton", this);
  connect(restart, &QPushButton::clicked, this, &CBpmDlg::OnRestart);
  connect(set, &QPushButton::clicked, this, &CBpmDlg::OnSet);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  volumeSlider_ = new QSlider(Qt::Vertical, this);
  volumeSlider_->setObjectName(QStringLiteral("volumeSlider"));
  volumeSlider_->setRange(0, kVolumeMax);
  volumeSlider_->setTickInterval(16);
  volumeSlider_->setTickPosition(QSlider::TicksBothSides);
  // Position 0 is at the top and loud; the Up key moves the handle up.
  volumeSlider_->setInvertedAppearance(true);
  volumeSlider_->setInvertedControls(true);
  auto* volumeLabel = new QLabel(QString::fromUtf8(text::kBpmVolume), this);
  volumeLabel->setBuddy(volumeSlider_);

  auto* analysedLabel = new QLabel(QString::fromUtf8(text::kBpmAnalysedLabel), this);
  analysed_ = new QLabel(this);
  analysed_->setObjectName(QStringLiteral("analysedTempo"));
  take_ = MakeButton(text::kBpmTakeAnalysed, "takeAnalysedButton", this);
  take_->setEnabled(false);
  connect(take_, &QPushButton::clicked, this, &CBpmDlg::OnTakeAnalysed);

  auto* arrows = new QVBoxLayout;
  arrows->setSpacing(0);
  arrows->addWidget(up_);
  arrows->addWidget(down_);
  auto* bpmRow = new QHBoxLayout;
  bpmRow->addWidget(bpmLabel);
  bpmRow->addWidget(bpmField_);
  bpmRow->addLayout(arrows);
  bpmRow->addWidget(restart);
  bpmRow->addStretch(1);
  auto* analysedRow = new QHBoxLayout;
  analysedRow->addWidget(analysedLabel);
  analysedRow->addWidget(analysed_);
  analysedRow->addWidget(take_);
  analysedRow->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(set);
  buttons->addWidget(cancel);
  auto* left = new QVBoxLayout;
  left->addLayout(bpmRow);
  left->addLayout(analysedRow);
  left->addWidget(&Panel());
  left->addLayout(buttons);
  auto* volume = new QVBoxLayout;
  volume->addWidget(volumeLabel);
  volume->addWidget(volumeSlider_, 1);
  auto* top = new QHBoxLayout;
  top->addLayout(left, 1);
  top->addLayout(volume);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(&HintField());
  set->setDefault(true);
}

bool CBpmDlg::Open(int midiDevice, std::uint8_t note) {
  if (midiDevice < 0 || !Device().OpenMidiOut(static_cast<unsigned>(midiDevice))) {
    Ui().Message(QString::fromUtf8(text::kMidiOpenFailed), MsgIcon::Exclamation);
    return false;
  }
  metronome_ = std::make_unique<Metronome>(*Device().MidiOutHandle(), note, DeviceSpeed());

  StartSong(true);
  Panel().SetSong(song_.name);
  StartTicking();

  stepPosition_ = StepOf(tempo_);
  ShowTempo();

  volume_ = static_cast<std::uint32_t>(ProfileSettings::Get(settings::kMidiVolume));
  {
    const QSignalBlocker block(volumeSlider_);
    volumeSlider_->setValue(kVolumeMax - static_cast<int>((volume_ >> 8) & 0xFF));
  }
  connect(volumeSlider_, &QSlider::valueChanged, this, &CBpmDlg::OnVolume);
  metronome_->SetVolume(volume_);

  metronome_->SendSetUp();
  if (!metronome_->Start(tempo_)) {
    TimerFailed();
    return false;
  }
  return true;
}

void CBpmDlg::StartSong(bool reopen) {
  CMciDevice& device = Device();
  const int selector = Playback().Selector();
  if (!song_.cd) {
    if (reopen && !device.OpenWaveFile(song_.filePath)) ReportMciError();
  } else {
    if (reopen && !device.OpenCd(song_.driveLetter)) ReportMciError();
    if (!SongDiscReady(song_.albumName)) return;
    if (!device.SetTimeFormat("tmsf", selector)) ReportMciError();
    if (!device.SeekDevice(std::to_string(song_.trackNumber), selector)) ReportMciError();
  }
  if (!device.SetTimeFormat("ms", selector)) ReportMciError();
  long start = 0;
  if (song_.cd) Playback().Position(start);
  std::string length;
  long end = start;
  if (device.GetLength(length, selector, song_.cd ? song_.trackNumber : -1)) {
    end = start + std::max(0L, std::strtol(length.c_str(), nullptr, 10));
  } else {
    ReportMciError();
  }
  Playback().SetSpan(start, end);
  Playback().Play();
}

void CBpmDlg::ShowTempo() { bpmField_->setText(QString::asprintf("%.2f", tempo_)); }

double CBpmDlg::FieldTempo() const {
  const QByteArray text = bpmField_->text().toLatin1();
  return std::strtod(text.constData(), nullptr);
}

void CBpmDlg::TimerFailed() {
  Ui().Message(QString::fromUtf8(text::kNoTimer), MsgIcon::Exclamation);
  EndAsCancelled();
}

bool CBpmDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == bpmField_) {
    if (event->type() == QEvent::FocusIn) ShowHint(QString::fromUtf8(text::kBpmHint));
    if (event->type() == QEvent::KeyPress) {
      // The arrow keys work the up-down control; Page Up and Page Down step a whole beat.
      switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
          OnStep(1);
          return true;
        case Qt::Key_Down:
          OnStep(-1);
          return true;
        case Qt::Key_PageUp:
          OnStep(100);
          return true;
        case Qt::Key_PageDown:
          OnStep(-100);
          return true;
        default:
          break;
      }
    }
  }
  return CPlaybackDlg::eventFilter(watched, event);
}

void CBpmDlg::OnStep(int steps) {
  const int position = stepPosition_ + steps;
  if (position < kMinStep || position > kMaxStep) return;
  stepPosition_ = position;
  tempo_ = position * 0.01;
  ShowTempo();
}

void CBpmDlg::OnRestart() {
  const bool done = GuardOperation([this] {
    const double typed = FieldTempo();
    if (InRange(typed)) {
      tempo_ = typed;
      stepPosition_ = StepOf(tempo_);
    } else {
      ShowTempo();
    }
    if (tempo_ == 0 || !metronome_) return;
    if (!metronome_->Restart(tempo_)) TimerFailed();
  });
  if (!done) EndAsCancelled();
}

void CBpmDlg::OnSet() {
  const double typed = FieldTempo();
  if (InRange(typed)) {
    tempo_ = typed;
  } else if (!InRange(tempo_)) {
    tempo_ = kDefaultTempo;
  }
  accept();
}

void CBpmDlg::OnVolume(int position) {
  const auto v = static_cast<std::uint32_t>(kVolumeMax - position);
  volume_ = v << 8 | v << 24;
  if (metronome_) metronome_->SetVolume(volume_);
}

void CBpmDlg::StartAnalysis() {
  if (song_.cd) {
    analysed_->setText(QString::fromUtf8(text::kBpmNotAnalysedCd));
    return;
  }
  OnAnalysing(0);
  // The worker only posts; the dialog's thread shows.
  analysis_ = std::make_unique<TempoAnalysis>(
      song_.filePath,
      [this](int percent) {
        QMetaObject::invokeMethod(this, [this, percent] { OnAnalysing(percent); },
                                  Qt::QueuedConnection);
      },
      [this](std::optional<double> tempo) {
        QMetaObject::invokeMethod(this, [this, tempo] { OnAnalysed(tempo); }, Qt::QueuedConnection);
      });
}

void CBpmDlg::OnAnalysing(int percent) {
  analysed_->setText(QString::asprintf(text::kBpmAnalysing, percent));
}

void CBpmDlg::OnAnalysed(std::optional<double> tempo) {
  analysedTempo_ = tempo && InRange(*tempo) ? tempo : std::nullopt;
  analysed_->setText(analysedTempo_ ? QString::asprintf(text::kBpmAnalysedFormat, *analysedTempo_)
                                    : QString::fromUtf8(text::kBpmNoSteadyBeat));
  take_->setEnabled(analysedTempo_.has_value());
}

void CBpmDlg::OnTakeAnalysed() {
  if (!analysedTempo_) return;
  bpmField_->setText(QString::asprintf(text::kBpmAnalysedFormat, *analysedTempo_));
  OnRestart();
}

}  // namespace vx
