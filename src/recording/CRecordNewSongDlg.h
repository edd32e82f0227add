// "Record New Song": captures 16-bit PCM from the first wave input into a take (a WAVE file)
// with left and right level meters and the elapsed time, and can start and stop by itself on
// the sound level ("Auto Start": armed by Prep, recording starts with the first buffer whose
// average level is above the trigger level and stops after more than two seconds at or
// below it).
//
// The device's callback thread only notes each finished buffer and posts kBufferFullMessage;
// appending, metering and handing the buffer back all happen on the dialog's thread, in
// arrival order. Ten buffers of 100 ms each are queued, so the dialog's thread may be busy
// for nearly a second before sound is lost.
//
// Device errors go to the caller's status line as "Audio Device Error: %s". The take is
// created before capture starts; a take that cannot be created is never recorded, and a
// write that falls short stops the recording and keeps what was written.
//
// Controls by object name: "formatList", "prepButton", "autoStartCheck", "triggerLevel",
// "recordButton", "pauseButton", "doneButton", "cancelButton", "statusBox", "timeBox",
// "leftMeter", "rightMeter".
#pragma once

#include <QDialog>
#include <QEvent>
#include <QString>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/riff/WaveFile.h"
#include "platform/wave/WaveTypes.h"
#include "recording/CWaveWriter.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

namespace vx {

namespace wave {
class WaveDeviceList;
class WaveIn;
}  // namespace wave
struct BufferLevels;

class CRecordNewSongDlg : public QDialog {
  Q_OBJECT
 public:
  // Posted by the device's callback whenever buffers are full.
  static constexpr QEvent::Type kBufferFullMessage = QEvent::Type(QEvent::User + 101);
  static constexpr int kBufferCount = 10;

  enum class State { Ready = 0, Record = 1, Paused = 2 };
  // What the dialog left in its take file.
  enum class Take {
    None,        // nothing usable: cancelled, or the take never started
    Complete,    // a finished WAVE file with sound in it
    Empty,       // a finished WAVE file without a single sample
    Unfinished,  // the file could not be completed (its sizes are not written)
  };

  struct Setup {
    std::string takePath;
    std::function<void(const QString&)> statusLine;  // the main window's status line
    QString libraryFolder;
    int triggerLevel = -35;  // dB, -60..0
    bool autoStart = false;
    wave::WaveDeviceList* devices = nullptr;  // nullptr: the machine's devices
  };

  explicit CRecordNewSongDlg(Setup setup, QWidget* parent = nullptr);
  // Closes the device if it is still open.
  ~CRecordNewSongDlg() override;

  // Results, once the dialog has ended.
  QString RecordedLength() const;  // milliseconds, "%ld"
  std::uint32_t RecordedMilliseconds() const { return lengthMs_; }
  int TriggerLevel() const { return triggerLevel_; }
  bool AutoStart() const { return autoStart_; }
  Take TakeResult() const { return take_; }

  // The running state.
  State CurrentState() const { return state_; }
  bool IsRecording() const { return recording_; }
  bool IsArmed() const { return armed_; }
  bool DeviceOpen() const { return device_ != nullptr; }
  std::uint64_t BytesWritten() const { return writer_.BytesWritten(); }
  const riff::WaveFormat& Format() const { return format_; }

 public slots:
  void OnPrep();
  void OnRecord();
  void OnPause();
  void OnDone();
  void OnTimer();
  // Works through the buffers the device has finished.
  void OnBuffersFull();
  // Cancel and Escape.
  void reject() override;

 protected:
  void customEvent(QEvent* event) override;
  void done(int result) override;

 private:
  QWidget* MakeControls();
  void SetState(State state);
  // Opens the device, queues the buffers, creates the take and starts capture. On failure
  // the dialog has ended as cancelled and false is answered.
  bool OpenDevice();
  void FailToOpen(unsigned result);
  void StartRecording();
  bool StartTimer();
  void ProcessBuffer(wave::WaveHeader& header);
  void ShowLevels(const BufferLevels& levels);
  // Appends a buffer to the take; a short write stops the recording.
  bool AppendToTake(const wave::WaveHeader& header);
  void WriteFailed();
  // Moves the buffers the callback noted into pending_.
  void CollectFinished();
  // Stops capture and writes what the last buffers hold before the take is closed.
  void StopCapture();
  void ReportDeviceError(unsigned result);
  void CloseDevice();
  void Guarded(const std::function<void()>& work);

  Setup setup_;
  wave::WaveDeviceList& devices_;
  wave::WaveIn* device_ = nullptr;
  riff::WaveFormat format_;
  CWaveWriter writer_;
  std::vector<std::int16_t> storage_;
  std::array<wave::WaveHeader, kBufferCount> headers_;

  // Filled by the callback thread, emptied by the dialog's thread.
  std::mutex finishedLock_;
  std::array<int, kBufferCount> finished_{};
  int finishedCount_ = 0;
  std::deque<int> pending_;

  State state_ = State::Ready;
  bool recording_ = false;
  bool armed_ = false;
  bool paused_ = false;
  bool finishing_ = false;
  bool autoStartFlag_ = false;
  int trigger_ = -35;
  std::uint64_t quietBytes_ = 0;
  std::uint64_t autoStopLimit_ = 0;

  std::uint32_t lengthMs_ = 0;
  int triggerLevel_ = -35;
  bool autoStart_ = false;
  Take take_ = Take::None;

  QComboBox* formatList_ = nullptr;
  QPushButton* prep_ = nullptr;
  QCheckBox* autoStartCheck_ = nullptr;
  QSpinBox* triggerLevelBox_ = nullptr;
  QPushButton* record_ = nullptr;
  QPushButton* pause_ = nullptr;
  QPushButton* done_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QLabel* statusBox_ = nullptr;
  QLabel* timeBox_ = nullptr;
  QProgressBar* leftMeter_ = nullptr;
  QProgressBar* rightMeter_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace vx
