#include "recording/CRecordNewSongDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cassert>

#include "library/GuardOperation.h"
#include "library/SongLength.h"
#include "platform/ui/UserInteraction.h"
#include "platform/wave/DeviceOrder.h"
#include "platform/wave/WaveDeviceList.h"
#include "recording/CaptureLevels.h"
#include "recording/RecordingText.h"

namespace vx {
namespace {

struct CaptureFormat {
  const char* text;
  int channels;
  int samplesPerSec;
};

constexpr CaptureFormat kCaptureFormats[] = {
    {text::kFormat44Stereo, 2, 44100},
    {text::kFormat44Mono, 1, 44100},
    {text::kFormat22Stereo, 2, 22050},
    {text::kFormat22Mono, 1, 22050},
};

constexpr int kMeterTop = 23;
constexpr int kLowestTrigger = -60;
constexpr int kTimerMs = 1000;

QString Text(const char* text) { return QString::fromUtf8(text); }

QPushButton* MakeButton(const char* caption, const char* objectName, QWidget* parent) {
  auto* button = new QPushButton(Text(caption), parent);
  button->setObjectName(Text(objectName));
  return button;
}

QProgressBar* MakeMeter(const char* objectName, QWidget* parent) {
  auto* meter = new QProgressBar(parent);
  meter->setObjectName(Text(objectName));
  meter->setRange(0, kMeterTop);
  meter->setValue(0);
  meter->setTextVisible(false);
  return meter;
}

}  // namespace

CRecordNewSongDlg::CRecordNewSongDlg(Setup setup, QWidget* parent)
    : QDialog(parent),
      setup_(std::move(setup)),
      devices_(setup_.devices != nullptr ? *setup_.devices : wave::WaveDeviceList::System()),
      autoStartFlag_(setup_.autoStart),
      trigger_(setup_.triggerLevel),
      triggerLevel_(setup_.triggerLevel),
      autoStart_(setup_.autoStart) {
  setWindowTitle(Text(text::kRecordNewSongTitle));
  timer_ = new QTimer(this);
  timer_->setInterval(kTimerMs);
  connect(timer_, &QTimer::timeout, this, &CRecordNewSongDlg::OnTimer);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MakeControls());
  SetState(State::Ready);
}

CRecordNewSongDlg::~CRecordNewSongDlg() { CloseDevice(); }

QWidget* CRecordNewSongDlg::MakeControls() {
  auto* panel = new QWidget(this);
  formatList_ = new QComboBox(panel);
  formatList_->setObjectName(QStringLiteral("formatList"));
  for (const CaptureFormat& format : kCaptureFormats) formatList_->addItem(Text(format.text));
  formatList_->setCurrentIndex(0);
  prep_ = MakeButton(text::kPrepButton, "prepButton", panel);
  autoStartCheck_ = new QCheckBox(Text(text::kAutoStartCheck), panel);
  autoStartCheck_->setObjectName(QStringLiteral("autoStartCheck"));
  autoStartCheck_->setChecked(setup_.autoStart);
  triggerLevelBox_ = new QSpinBox(panel);
  triggerLevelBox_->setObjectName(QStringLiteral("triggerLevel"));
  triggerLevelBox_->setRange(kLowestTrigger, 0);
  triggerLevelBox_->setValue(setup_.triggerLevel);
  record_ = MakeButton(text::kRecordButton, "recordButton", panel);
  pause_ = MakeButton(text::kPauseButton, "pauseButton", panel);
  done_ = MakeButton(text::kDoneButton, "doneButton", panel);
  cancel_ = MakeButton(text::kCancelButton, "cancelButton", panel);
  pause_->setEnabled(false);
  done_->setEnabled(false);
  record_->setDefault(true);

  statusBox_ = new QLabel(panel);
  statusBox_->setObjectName(QStringLiteral("statusBox"));
  statusBox_->setAlignment(Qt::AlignCenter);
  statusBox_->setAutoFillBackground(true);
  statusBox_->setMinimumWidth(statusBox_->fontMetrics().horizontalAdvance(QStringLiteral("RECORD")) + 24);
  QFont bold = statusBox_->font();
  bold.setBold(true);
  statusBox_->setFont(bold);
  timeBox_ = new QLabel(QString::asprintf(text::kTimeFormat, 0u, 0u), panel);
  timeBox_->setObjectName(QStringLiteral("timeBox"));
  timeBox_->setAlignment(Qt::AlignCenter);
  timeBox_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  QFont big = timeBox_->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  timeBox_->setFont(big);
  leftMeter_ = MakeMeter("leftMeter", panel);
  rightMeter_ = MakeMeter("rightMeter", panel);

  connect(prep_, &QPushButton::clicked, this, &CRecordNewSongDlg::OnPrep);
  connect(record_, &QPushButton::clicked, this, &CRecordNewSongDlg::OnRecord);
  connect(pause_, &QPushButton::clicked, this, &CRecordNewSongDlg::OnPause);
  connect(done_, &QPushButton::clicked, this, &CRecordNewSongDlg::OnDone);
  connect(cancel_, &QPushButton::clicked, this, &CRecordNewSongDlg::reject);

  auto* formatLabel = new QLabel(Text(text::kSampleFormatLabel), panel);
  formatLabel->setBuddy(formatList_);
  auto* triggerLabel = new QLabel(Text(text::kTriggerLevelLabel), panel);
  triggerLabel->setBuddy(triggerLevelBox_);
  auto* grid = new QGridLayout;
  grid->addWidget(formatLabel, 0, 0);
  grid->addWidget(formatList_, 0, 1);
  grid->addWidget(prep_, 0, 2);
  grid->addWidget(autoStartCheck_, 1, 0);
  grid->addWidget(triggerLabel, 1, 1, Qt::AlignRight);
  grid->addWidget(triggerLevelBox_, 1, 2);
  grid->addWidget(statusBox_, 2, 0);
  grid->addWidget(timeBox_, 2, 1, 1, 2);
  grid->addWidget(new QLabel(Text(text::kLeftMeterLabel), panel), 3, 0, Qt::AlignRight);
  grid->addWidget(leftMeter_, 3, 1, 1, 2);
  grid->addWidget(new QLabel(Text(text::kRightMeterLabel), panel), 4, 0, Qt::AlignRight);
  grid->addWidget(rightMeter_, 4, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {record_, pause_, done_, cancel_}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  return panel;
}

void CRecordNewSongDlg::SetState(State state) {
  state_ = state;
  // Ready green, recording red, paused yellow.
  static const QColor kColors[] = {Qt::green, Qt::red, Qt::yellow};
  static const char* const kTexts[] = {text::kStatusReady, text::kStatusRecord,
                                       text::kStatusPaused};
  const auto index = static_cast<std::size_t>(state);
  QPalette palette = statusBox_->palette();
  palette.setColor(QPalette::Window, kColors[index]);
  palette.setColor(QPalette::WindowText, Qt::black);
  statusBox_->setPalette(palette);
  statusBox_->setText(Text(kTexts[index]));
}

QString CRecordNewSongDlg::RecordedLength() const {
  return QString::asprintf("%ld", static_cast<long>(lengthMs_));
}

void CRecordNewSongDlg::Guarded(const std::function<void()>& work) {
  if (!GuardOperation(work)) reject();
}

void CRecordNewSongDlg::ReportDeviceError(unsigned result) {
  if (setup_.statusLine) {
    setup_.statusLine(QString::asprintf(text::kAudioDeviceError,
                                        wave::WaveErrorText(result).c_str()));
  }
}

bool CRecordNewSongDlg::OpenDevice() {
  assert(device_ == nullptr);
  const CaptureFormat& chosen = kCaptureFormats[std::max(0, formatList_->currentIndex())];
  format_ = riff::WaveFormat::Pcm16(chosen.channels, chosen.samplesPerSec);
  // The input the user chose in the settings, else the first of the automatic order.
  const std::optional<std::size_t> input = wave::RecorderInput(devices_);
  if (!input) {
    FailToOpen(wave::kBadDeviceId);
    return false;
  }
  const unsigned opened = devices_.OpenInput(
      *input, format_,
      [this](wave::WaveMessage message, wave::WaveHeader* header) {
        if (message != wave::WaveMessage::kDone || header == nullptr) return;
        {
          std::lock_guard lock(finishedLock_);
          assert(finishedCount_ < kBufferCount);
          finished_[static_cast<std::size_t>(finishedCount_++)] = static_cast<int>(header->user);
        }
        QCoreApplication::postEvent(this, new QEvent(kBufferFullMessage));
      },
      device_);
  if (opened != wave::kOk) {
    FailToOpen(opened);
    return false;
  }

  autoStopLimit_ = 2ull * format_.avgBytesPerSec;
  const std::uint32_t bufferBytes = format_.avgBytesPerSec / 10;
  storage_.assign(static_cast<std::size_t>(bufferBytes) / 2 * kBufferCount, 0);
  for (int i = 0; i < kBufferCount; ++i) {
    wave::WaveHeader& header = headers_[static_cast<std::size_t>(i)];
    header.data = reinterpret_cast<std::uint8_t*>(storage_.data()) +
                  static_cast<std::size_t>(i) * bufferBytes;
    header.bufferLength = bufferBytes;
    header.bytesRecorded = 0;
    header.user = static_cast<std::uintptr_t>(i);
    header.flags = 0;
    if (const unsigned prepared = device_->Prepare(header); prepared != wave::kOk) {
      FailToOpen(prepared);
      return false;
    }
  }

  // The take exists before any sound is captured; without it nothing is recorded.
  if (!writer_.Create(setup_.takePath, format_)) {
    CloseDevice();
    QDialog::reject();
    Ui().Message(QString::asprintf(text::kCannotCreateTake, setup_.takePath.c_str()),
                 MsgIcon::Exclamation);
    return false;
  }
  for (wave::WaveHeader& header : headers_) {
    if (const unsigned added = device_->AddBuffer(header); added != wave::kOk) {
      ReportDeviceError(added);
    }
  }
  if (const unsigned started = device_->Start(); started != wave::kOk) {
    ReportDeviceError(started);
  }
  return true;
}

void CRecordNewSongDlg::FailToOpen(unsigned result) {
  ReportDeviceError(result);
  CloseDevice();
  QDialog::reject();
  Ui().Message(Text(text::kCannotOpenSoundCard), MsgIcon::Exclamation);
}

void CRecordNewSongDlg::OnPrep() {
  Guarded([this] {
    if (device_ != nullptr || finishing_) return;
    recording_ = false;
    if (!OpenDevice()) return;
    if (autoStartCheck_->isChecked()) {
      armed_ = true;
      autoStartFlag_ = true;
      trigger_ = triggerLevelBox_->value();
    }
    autoStartCheck_->setEnabled(false);
    formatList_->setEnabled(false);
    prep_->setEnabled(false);
    record_->setFocus();
  });
}

void CRecordNewSongDlg::OnRecord() {
  Guarded([this] {
    if (recording_ || finishing_) return;
    StartRecording();
  });
}

void CRecordNewSongDlg::StartRecording() {
  record_->setEnabled(false);
  formatList_->setEnabled(false);
  autoStartCheck_->setEnabled(false);
  prep_->setEnabled(false);
  pause_->setEnabled(true);
  done_->setEnabled(true);
  done_->setDefault(true);
  if (device_ == nullptr) {
    // Record without Prep: the auto-start box as it stands now decides auto stop.
    autoStartFlag_ = autoStartCheck_->isChecked();
    trigger_ = triggerLevelBox_->value();
    if (!OpenDevice()) return;
  }
  recording_ = true;
  if (!StartTimer()) return;
  SetState(State::Record);
  done_->setFocus();
}

bool CRecordNewSongDlg::StartTimer() {
  timer_->start();
  if (timer_->isActive()) return true;
  recording_ = false;
  CloseDevice();
  QDialog::reject();
  Ui().Message(Text(text::kNoTimer), MsgIcon::Exclamation);
  return false;
}

void CRecordNewSongDlg::OnPause() {
  Guarded([this] {
    if (device_ == nullptr || finishing_) return;
    if (!paused_) {
      recording_ = false;
      timer_->stop();
      if (timer_->isActive()) {
        CloseDevice();
        QDialog::reject();
        Ui().Message(Text(text::kTimerWouldNotStop), MsgIcon::Exclamation);
        return;
      }
      pause_->setText(Text(text::kResumeButton));
      SetState(State::Paused);
      paused_ = true;
    } else {
      recording_ = true;
      if (!StartTimer()) return;
      pause_->setText(Text(text::kPauseAgainButton));
      SetState(State::Record);
      paused_ = false;
    }
  });
}

void CRecordNewSongDlg::OnTimer() {
  if (format_.avgBytesPerSec == 0) return;
  const std::uint64_t seconds = writer_.BytesWritten() / format_.avgBytesPerSec;
  timeBox_->setText(QString::asprintf(text::kTimeFormat, static_cast<unsigned>(seconds / 60),
                                      static_cast<unsigned>(seconds % 60)));
}

void CRecordNewSongDlg::customEvent(QEvent* event) {
  if (event->type() == kBufferFullMessage) OnBuffersFull();
}

void CRecordNewSongDlg::CollectFinished() {
  std::lock_guard lock(finishedLock_);
  pending_.insert(pending_.end(), finished_.begin(), finished_.begin() + finishedCount_);
  finishedCount_ = 0;
}

void CRecordNewSongDlg::OnBuffersFull() {
  // After the device closed, a late notice finds nothing to do.
  if (device_ == nullptr || finishing_) return;
  CollectFinished();
  Guarded([this] {
    while (device_ != nullptr && !finishing_ && !pending_.empty()) {
      const int index = pending_.front();
      pending_.pop_front();
      ProcessBuffer(headers_.at(static_cast<std::size_t>(index)));
    }
  });
}

void CRecordNewSongDlg::ProcessBuffer(wave::WaveHeader& header) {
  const std::uint32_t bytes = header.bytesRecorded;
  if (recording_ && !AppendToTake(header)) return;

  // Buffers returned empty (by Stop or Reset) carry no level and leave the meters alone.
  const bool measured = bytes >= 2;
  BufferLevels levels;
  if (measured) {
    levels = MeasureLevels(reinterpret_cast<const std::int16_t*>(header.data), bytes / 2,
                           format_.channels);
    ShowLevels(levels);
  }

  // The buffer whose sound started the take is part of it; it goes back to the device
  // only after it was written.
  if (armed_ && !recording_ && measured && AboveTrigger(levels, trigger_)) {
    armed_ = false;
    StartRecording();
    if (device_ == nullptr || !AppendToTake(header)) return;
  }
  if (const unsigned added = device_->AddBuffer(header); added != wave::kOk) {
    ReportDeviceError(added);
  }

  if (recording_ && autoStartFlag_) {
    if (measured && AboveTrigger(levels, trigger_)) {
      quietBytes_ = 0;
    } else {
      quietBytes_ += bytes;
    }
    if (quietBytes_ > autoStopLimit_) OnDone();
  }
}

void CRecordNewSongDlg::ShowLevels(const BufferLevels& levels) {
  leftMeter_->setValue(MeterPosition(levels.left.peak));
  rightMeter_->setValue(MeterPosition(levels.right.peak));
}

bool CRecordNewSongDlg::AppendToTake(const wave::WaveHeader& header) {
  const std::size_t bytes = header.bytesRecorded;
  if (bytes == 0) return true;
  if (writer_.Append(header.data, bytes) == bytes) return true;
  WriteFailed();
  return false;
}

void CRecordNewSongDlg::WriteFailed() {
  // Keep what the file holds: finish the take as Done would, then say why it ended.
  recording_ = false;
  OnDone();
  Ui().Message(Text(text::kTakeWriteFailed), MsgIcon::Exclamation);
}

void CRecordNewSongDlg::StopCapture() {
  if (device_ == nullptr) return;
  if (const unsigned stopped = device_->Stop(); stopped != wave::kOk) ReportDeviceError(stopped);
  if (const unsigned reset = device_->Reset(); reset != wave::kOk) ReportDeviceError(reset);
  // Stop handed back the partly filled buffer: its sound is the end of the take.
  CollectFinished();
  while (!pending_.empty()) {
    const int index = pending_.front();
    pending_.pop_front();
    if (recording_) AppendToTake(headers_.at(static_cast<std::size_t>(index)));
  }
}

void CRecordNewSongDlg::OnDone() {
  if (finishing_) return;
  finishing_ = true;
  timer_->stop();
  StopCapture();
  recording_ = false;
  const bool closed = writer_.Close();
  const std::uint64_t bytes = writer_.BytesWritten();
  lengthMs_ = AudioMilliseconds(bytes, format_.avgBytesPerSec);
  take_ = !closed ? Take::Unfinished : bytes == 0 ? Take::Empty : Take::Complete;
  accept();
}

void CRecordNewSongDlg::reject() {
  if (!finishing_) {
    finishing_ = true;
    timer_->stop();
    recording_ = false;
    StopCapture();
    writer_.Close();
    take_ = Take::None;
  }
  QDialog::reject();
}

void CRecordNewSongDlg::done(int result) {
  autoStart_ = autoStartCheck_->isChecked();
  triggerLevel_ = triggerLevelBox_->value();
  CloseDevice();
  QDialog::done(result);
}

void CRecordNewSongDlg::CloseDevice() {
  timer_->stop();
  if (device_ == nullptr) return;
  device_->Stop();
  device_->Reset();
  for (wave::WaveHeader& header : headers_) {
    if ((header.flags & wave::kHeaderPrepared) != 0) device_->Unprepare(header);
  }
  device_->Close();
  device_ = nullptr;
  {
    std::lock_guard lock(finishedLock_);
    finishedCount_ = 0;
  }
  pending_.clear();
  storage_.clear();
  storage_.shrink_to_fit();
}

}  // namespace vx
