#include "recording/CRecordNewSongDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <vector>

#include "platform/riff/WaveFile.h"
#include "platform/settings/ProfileSettings.h"
#include "recording/RecordingText.h"
#include "support/ScriptedUi.h"
#include "support/ScriptedWaveIn.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

using Take = CRecordNewSongDlg::Take;
using State = CRecordNewSongDlg::State;

QString Text(const char* text) { return QString::fromUtf8(text); }

// Average 412 reads -35.01 dB in mono, 413 reads -34.99 dB.
constexpr std::int16_t kAtTrigger = 412;
constexpr std::int16_t kAboveTrigger = 413;
constexpr std::int16_t kLoud = 16000;

// The dialog over a scripted input; buffers are delivered by the test and their events
// handled at once.
class RecordDialog : public testing::Test {
 protected:
  RecordDialog() : devices_(test::ScriptedInputList(input_)) {}

  std::unique_ptr<CRecordNewSongDlg> Make(int triggerLevel = -35, bool autoStart = false,
                                          std::string takePath = {}) {
    CRecordNewSongDlg::Setup setup;
    setup.takePath = takePath.empty() ? TakePath() : takePath;
    setup.statusLine = [this](const QString& text) { status_.push_back(text); };
    setup.libraryFolder = QString::fromStdString(test::TestFolder());
    setup.triggerLevel = triggerLevel;
    setup.autoStart = autoStart;
    setup.devices = devices_.get();
    return std::make_unique<CRecordNewSongDlg>(setup);
  }

  static std::string TakePath() { return test::TestFolder() + "/VXR0001.tmp"; }

  // Delivers `count` buffers of a steady value, letting the dialog take each.
  void Deliver(int count, std::int16_t value) {
    for (int i = 0; i < count; ++i) {
      ASSERT_TRUE(input_->Deliver(value));
      QCoreApplication::sendPostedEvents(nullptr, CRecordNewSongDlg::kBufferFullMessage);
    }
  }

  template <typename T>
  static T* Child(QWidget& dialog, const char* name) {
    return dialog.findChild<T*>(Text(name));
  }

  static riff::WaveLayout Layout(const std::string& path) {
    riff::WaveLayout layout;
    EXPECT_EQ(riff::ReadWaveLayout(path, layout), riff::WaveError::kNone);
    return layout;
  }

  test::ScriptedUi ui_;
  test::ScriptedWaveIn* input_ = nullptr;
  std::unique_ptr<wave::WaveDeviceList> devices_;
  std::vector<QString> status_;
};

TEST_F(RecordDialog, OpensReadyWithTheFirstFormatAndTheStoredTrigger) {
  auto dialog = Make(-42, true);
  auto* formats = Child<QComboBox>(*dialog, "formatList");
  QStringList texts;
  for (int i = 0; i < formats->count(); ++i) texts << formats->itemText(i);
  EXPECT_EQ(texts, (QStringList{"44.1 Khz 16bit Stereo", "44.1 Khz 16bit Mono",
                                "22.05 Khz 16bit Stereo", "22.05 Khz 16bit Mono"}));
  EXPECT_EQ(formats->currentIndex(), 0);
  EXPECT_EQ(Child<QLabel>(*dialog, "timeBox")->text(), "00:00");
  EXPECT_FALSE(Child<QPushButton>(*dialog, "pauseButton")->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(*dialog, "doneButton")->isEnabled());
  EXPECT_EQ(Child<QSpinBox>(*dialog, "triggerLevel")->minimum(), -60);
  EXPECT_EQ(Child<QSpinBox>(*dialog, "triggerLevel")->maximum(), 0);
  EXPECT_EQ(Child<QSpinBox>(*dialog, "triggerLevel")->value(), -42);
  EXPECT_TRUE(Child<QCheckBox>(*dialog, "autoStartCheck")->isChecked());
  EXPECT_EQ(Child<QProgressBar>(*dialog, "leftMeter")->maximum(), 23);
  EXPECT_EQ(Child<QProgressBar>(*dialog, "leftMeter")->value(), 0);
  EXPECT_EQ(dialog->CurrentState(), State::Ready);
  EXPECT_EQ(Child<QLabel>(*dialog, "statusBox")->palette().color(QPalette::Window),
            QColor(Qt::green));
  EXPECT_FALSE(input_->IsOpen());  // nothing is opened before Prep or Record
}

TEST_F(RecordDialog, AutoStartBeginsStrictlyAboveTheTriggerAndStopsAfterTwoQuietSeconds) {
  auto dialog = Make(-35, false);
  Child<QComboBox>(*dialog, "formatList")->setCurrentIndex(3);  // 22.05 kHz mono
  Child<QCheckBox>(*dialog, "autoStartCheck")->setChecked(true);
  dialog->OnPrep();
  ASSERT_TRUE(input_->IsStarted());
  EXPECT_EQ(input_->OpenFormat(), riff::WaveFormat::Pcm16(1, 22050));
  EXPECT_EQ(input_->Queued(), 10u);
  EXPECT_TRUE(dialog->IsArmed());
  EXPECT_FALSE(Child<QComboBox>(*dialog, "formatList")->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(*dialog, "prepButton")->isEnabled());
  EXPECT_FALSE(Child<QCheckBox>(*dialog, "autoStartCheck")->isEnabled());

  // At the trigger level exactly nothing starts, though the meters move.
  Deliver(3, kAtTrigger);
  EXPECT_FALSE(dialog->IsRecording());
  EXPECT_TRUE(dialog->IsArmed());
  EXPECT_EQ(dialog->BytesWritten(), 0u);
  EXPECT_EQ(Child<QProgressBar>(*dialog, "leftMeter")->value(), 0);  // below -23 dB
  // One step above it starts the take with the buffer that was heard.
  Deliver(1, kAboveTrigger);
  EXPECT_TRUE(dialog->IsRecording());
  EXPECT_FALSE(dialog->IsArmed());
  EXPECT_EQ(dialog->BytesWritten(), 4410u);
  EXPECT_EQ(dialog->CurrentState(), State::Record);
  EXPECT_EQ(Child<QLabel>(*dialog, "statusBox")->text(), Text(text::kStatusRecord));
  EXPECT_EQ(Child<QLabel>(*dialog, "statusBox")->palette().color(QPalette::Window),
            QColor(Qt::red));
  EXPECT_TRUE(Child<QPushButton>(*dialog, "doneButton")->isEnabled());
  EXPECT_TRUE(Child<QPushButton>(*dialog, "pauseButton")->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(*dialog, "recordButton")->isEnabled());

  // Sound restarts the quiet count; exactly two seconds of quiet do not stop the take.
  Deliver(19, kAtTrigger);
  Deliver(1, kLoud);
  Deliver(20, 0);
  EXPECT_TRUE(dialog->IsRecording());
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  // The first buffer past two seconds does: the take ends as if Done was pressed.
  Deliver(1, 0);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->TakeResult(), Take::Complete);
  EXPECT_EQ(dialog->BytesWritten(), 42u * 4410);
  EXPECT_EQ(dialog->RecordedLength(), "4200");
  EXPECT_TRUE(dialog->AutoStart());
  EXPECT_FALSE(input_->IsOpen());
  EXPECT_EQ(Layout(TakePath()).dataSize, 42u * 4410);
  EXPECT_TRUE(status_.empty());
}

TEST_F(RecordDialog, RecordWithoutPrepWritesAtOnceAndTakesLastExactlyTheirLength) {
  const int bytesPerSecond[] = {176400, 88200, 88200, 44100};
  for (int format = 0; format < 4; ++format) {
    auto dialog = Make();
    Child<QComboBox>(*dialog, "formatList")->setCurrentIndex(format);
    dialog->OnRecord();
    ASSERT_TRUE(input_->IsStarted()) << format;
    EXPECT_TRUE(dialog->IsRecording());
    Deliver(35, kLoud);  // 3.5 s
    dialog->OnDone();
    EXPECT_EQ(dialog->TakeResult(), Take::Complete);
    EXPECT_EQ(dialog->RecordedLength(), "3500") << format;
    const riff::WaveLayout layout = Layout(TakePath());
    EXPECT_EQ(layout.format.avgBytesPerSec, static_cast<std::uint32_t>(bytesPerSecond[format]));
    EXPECT_EQ(layout.dataSize, static_cast<std::uint32_t>(bytesPerSecond[format]) * 7 / 2);
    EXPECT_EQ(layout.fileSize, 46u + layout.dataSize);
  }
  EXPECT_EQ(input_->opens, 4);
}

TEST_F(RecordDialog, DoneKeepsTheLastPartialBufferAndLateNoticesAreIgnored) {
  auto dialog = Make();
  Child<QComboBox>(*dialog, "formatList")->setCurrentIndex(1);  // 44.1 kHz mono
  dialog->OnRecord();
  Deliver(2, kLoud);
  ASSERT_TRUE(input_->Fill(std::vector<std::int16_t>(1000, 1234)));
  dialog->OnDone();  // Stop returns the partial buffer, Reset the nine empty ones
  EXPECT_EQ(dialog->BytesWritten(), 2u * 8820 + 2000);
  EXPECT_EQ(dialog->RecordedLength(), "222");  // 19640 bytes at 88200 per second
  EXPECT_EQ(dialog->TakeResult(), Take::Complete);
  EXPECT_FALSE(input_->IsOpen());
  const riff::WaveLayout layout = Layout(TakePath());
  EXPECT_EQ(layout.dataSize, 2u * 8820 + 2000);

  // A notice that arrives after the device closed finds nothing to do.
  QCoreApplication::postEvent(dialog.get(), new QEvent(CRecordNewSongDlg::kBufferFullMessage));
  QCoreApplication::sendPostedEvents(dialog.get(), CRecordNewSongDlg::kBufferFullMessage);
  EXPECT_EQ(dialog->BytesWritten(), 2u * 8820 + 2000);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(RecordDialog, PauseKeepsTheMetersMovingAndTheTimeStill) {
  auto dialog = Make();
  dialog->OnRecord();  // 44.1 kHz stereo
  Deliver(10, kLoud);
  dialog->OnTimer();
  EXPECT_EQ(Child<QLabel>(*dialog, "timeBox")->text(), "00:01");
  EXPECT_EQ(Child<QProgressBar>(*dialog, "rightMeter")->value(), 17);

  auto* pause = Child<QPushButton>(*dialog, "pauseButton");
  EXPECT_EQ(pause->text(), Text(text::kPauseButton));
  pause->click();
  EXPECT_EQ(pause->text(), Text(text::kResumeButton));
  EXPECT_EQ(dialog->CurrentState(), State::Paused);
  EXPECT_EQ(Child<QLabel>(*dialog, "statusBox")->palette().color(QPalette::Window),
            QColor(Qt::yellow));
  Deliver(5, 32767);
  EXPECT_EQ(Child<QProgressBar>(*dialog, "leftMeter")->value(), 23);
  EXPECT_EQ(Child<QProgressBar>(*dialog, "rightMeter")->value(), 23);
  EXPECT_EQ(dialog->BytesWritten(), 10u * 17640);
  dialog->OnTimer();
  EXPECT_EQ(Child<QLabel>(*dialog, "timeBox")->text(), "00:01");

  pause->click();
  EXPECT_EQ(pause->text(), Text(text::kPauseAgainButton));
  EXPECT_EQ(dialog->CurrentState(), State::Record);
  Deliver(10, kLoud);
  EXPECT_EQ(dialog->BytesWritten(), 20u * 17640);
  dialog->OnTimer();
  EXPECT_EQ(Child<QLabel>(*dialog, "timeBox")->text(), "00:02");
  dialog->OnDone();
  EXPECT_EQ(dialog->RecordedLength(), "2000");
}

TEST_F(RecordDialog, CancelClosesTheDeviceAndReportsTheSettingsShown) {
  auto dialog = Make(-35, true);
  dialog->OnPrep();
  dialog->OnRecord();
  Deliver(4, kLoud);
  Child<QSpinBox>(*dialog, "triggerLevel")->setValue(-20);
  Child<QCheckBox>(*dialog, "autoStartCheck")->setChecked(false);
  Child<QPushButton>(*dialog, "cancelButton")->click();
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(dialog->TakeResult(), Take::None);
  EXPECT_EQ(dialog->TriggerLevel(), -20);
  EXPECT_FALSE(dialog->AutoStart());
  EXPECT_FALSE(input_->IsOpen());
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(RecordDialog, DeviceAndFileFailuresAreToldAndNothingIsRecorded) {
  // The device cannot be opened.
  input_->openResult = wave::kAllocated;
  {
    auto dialog = Make();
    dialog->OnRecord();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(dialog->TakeResult(), Take::None);
  }
  ASSERT_EQ(status_.size(), 1u);
  EXPECT_EQ(status_[0], QString::asprintf(text::kAudioDeviceError,
                                          wave::WaveErrorText(wave::kAllocated).c_str()));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, Text(text::kCannotOpenSoundCard));
  EXPECT_EQ(ui_.messages[0].icon, MsgIcon::Exclamation);
  input_->openResult = wave::kOk;

  // The take cannot be created: the device is closed again before any capture.
  const std::string missing = test::TestFolder() + "/gone/VXR0002.tmp";
  {
    auto dialog = Make(-35, false, missing);
    dialog->OnPrep();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->DeviceOpen());
  }
  EXPECT_FALSE(input_->IsOpen());
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[1].text, QString::asprintf(text::kCannotCreateTake, missing.c_str()));

  // Stop and Reset errors go to the status line; the take is still finished.
  input_->stopResult = wave::kError;
  input_->resetResult = wave::kError;
  auto dialog = Make();
  dialog->OnRecord();
  Deliver(1, kLoud);
  dialog->OnDone();
  EXPECT_EQ(dialog->TakeResult(), Take::Complete);
  const QString deviceError =
      QString::asprintf(text::kAudioDeviceError, wave::WaveErrorText(wave::kError).c_str());
  EXPECT_EQ(status_, (std::vector<QString>{status_[0], deviceError, deviceError}));
}

// The recorder records from the input its settings name, else the first one listed; with no
// input at all it says it cannot open the sound card and records nothing.
TEST_F(RecordDialog, RecordsFromTheNamedInputElseTheFirstAndSaysWhenThereIsNone) {
  wave::WaveDeviceSet set;
  std::vector<test::ScriptedWaveIn*> inputs;
  for (const char* name : {"Line In", "Mic"}) {
    auto input = std::make_unique<test::ScriptedWaveIn>();
    input->name = name;
    inputs.push_back(input.get());
    set.inputs.push_back(std::move(input));
  }
  devices_ = std::make_unique<wave::WaveDeviceList>(std::move(set));
  for (const char* named : {"", "Mic", "Gone"}) {
    ProfileSettings::Set(settings::kRecorderInput, QString::fromUtf8(named));
    auto dialog = Make();
    dialog->OnRecord();
    const std::string which = named == std::string("Mic") ? "Mic" : "Line In";
    for (auto* input : inputs) {
      EXPECT_EQ(input->IsOpen(), input->name == which) << named << ": " << input->name;
    }
    dialog.reset();
    for (auto* input : inputs) EXPECT_FALSE(input->IsOpen()) << named;
  }
  EXPECT_TRUE(ui_.messages.empty());

  devices_ = std::make_unique<wave::WaveDeviceList>(wave::WaveDeviceSet{});
  auto dialog = Make();
  dialog->OnRecord();
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(dialog->TakeResult(), Take::None);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, Text(text::kCannotOpenSoundCard));
}

TEST_F(RecordDialog, AShortWriteStopsTheRecordingAndSaysSo) {
  auto dialog = Make(-35, false, "/dev/full");
  dialog->OnRecord();
  for (int i = 0; i < 40 && dialog->IsRecording(); ++i) Deliver(1, kLoud);
  EXPECT_FALSE(dialog->IsRecording());
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->TakeResult(), Take::Unfinished);  // the sizes could not be written
  EXPECT_FALSE(input_->IsOpen());
  EXPECT_EQ(ui_.Texts(), std::vector<QString>{Text(text::kTakeWriteFailed)});
}

}  // namespace
}  // namespace vx
