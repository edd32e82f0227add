// "Log Song From Audio CD": a small CD player with the disc's track list (named through
// CDDB), with Normal, Intro and Scan play modes, that ends either with Log Track (the current
// track becomes a song that stays on the CD) or by ripping the selected tracks into
// temporary WAVE files of the Songs folder, which the caller then offers as new songs.
//
// The CD is polled once a second (timer 1). The ripping component copies on its own worker
// thread; its progress and done events are posted to the dialog (kProgressMessage,
// kTrackDoneMessage) and every step runs on the dialog's thread. Failed media commands go
// to the caller's status line as "MCI ERROR: %s".
//
// Track numbers: the current track and every number given to the media device or to the
// ripping component are the disc's own; the track list holds the audio tracks only, so list
// positions are translated through the scan's audio track table (a disc whose data track
// comes first has its first audio track at position 0 and number 2).
//
// Controls by object name: "modeDisplay", "indicator", "trackCounter", "totalCounter",
// "currentTime", "totalTime", "positionSlider", "ejectButton", "playButton", "stopButton",
// "normalRadio", "introRadio", "scanRadio", "secondsBox", "trackList", "selectAllButton",
// "clearAllButton", "useCddbCheck", "cddbButton", "cddbStatus", "albumLine", "trackProgress",
// "overallProgress", "ripButton", "logTrackButton", "cancelButton".
#pragma once

#include <QDialog>
#include <QEvent>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cd/CdRipQueue.h"
#include "cd/CddbClient.h"
#include "platform/cdrom/CdRipper.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace vx {
class CMciDevice;
}

namespace vx::cd {

struct LogCdSetup {
  char driveLetter = ' ';
  CMciDevice* mci = nullptr;                       // the recorder's media control wrapper
  std::function<void(const QString&)> statusLine;  // the main window's status line
  std::string songsFolder;                         // where ripped tracks are written
  bool useCddb = true;
  CddbClient::Server cddbServer = CddbClient::ConfiguredServer();
  cdrom::CdRipper::Inventory ripperDrives;  // empty: this machine's drives
  int timerPeriodMs = 1000;
};

class CLogCdDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr QEvent::Type kTrackDoneMessage = QEvent::Type(QEvent::User + 102);
  static constexpr QEvent::Type kProgressMessage = QEvent::Type(QEvent::User + 105);
  enum PlayMode : int { kNormal = 0, kIntro = 1, kScan = 2 };

  explicit CLogCdDlg(LogCdSetup setup, QWidget* parent = nullptr);
  // Cancels a running copy and closes the CD if it is still open.
  ~CLogCdDlg() override;

  // Opens the CD, reads the disc and starts the timer. False when the dialog could not
  // start; it has then ended as cancelled and the user has been told.
  bool OnInitDialog();

  // Results, once the dialog has ended.
  bool UseCddb() const { return useCddb_; }
  bool RippingStarted() const { return rip_ != nullptr && rip_->Started(); }
  std::vector<RippedTrack> RippedTracks() const;
  int CurrentTrack() const { return currentTrack_; }  // the disc's own number
  const QString& CurrentTrackLength() const { return currentLength_; }
  const QString& DiscIdentity() const { return identity_; }
  std::uint32_t CddbDiscId() const { return client_->DiscId(); }
  QString Artist() const { return client_->Artist(); }
  QString DiscTitle() const { return client_->DiscTitle(); }
  QString Category() const { return client_->Category(); }
  // The title ("Track %d" without CDDB) and extended data of a list entry.
  QString TrackTitle(int entry) const;
  QString ExtendedData(int entry) const;

  // State, for tests.
  int PlayModeNow() const { return playMode_; }
  int Seconds() const { return seconds_; }
  int TickCount() const { return tickCounter_; }
  int AudioTrackCount() const { return static_cast<int>(scan_.audioTracks.size()); }
  const CddbDiscScan& Scan() const { return scan_; }
  bool Playing() const { return playing_; }
  bool CdOpen() const { return cdOpen_; }
  bool TimerRunning() const { return timer_.isActive(); }
  CddbClient& Client() { return *client_; }

 public slots:
  void OnTimer();
  void OnEject();
  void OnPlay();
  void OnStop();
  void OnNormal();
  void OnIntro();
  void OnScan();
  void OnSecondsChanged(int seconds);
  void OnSliderPressed();
  void OnSliderReleased();
  void OnTrackSelectionChanged();
  void OnSelectAll();
  void OnClearAll();
  void OnUseCddb(bool checked);
  void OnCddbButton();
  void OnLogTrack();
  void OnRip();
  // Cancel and Escape: a running copy is cancelled, then the CD stopped and closed.
  void reject() override;

 protected:
  void customEvent(QEvent* event) override;

 private:
  void BuildControls();
  // Runs a handler; a failure is reported and ends the dialog as cancelled.
  void Guarded(const std::function<void()>& work);
  // Shows a failed media command on the status line; answers ok.
  bool Mci(bool ok);
  // Stops the timer, closes the CD and ends the dialog with `result`.
  void EndDialog(int result);
  void StopAndCloseCd();

  void ReadDisc();
  void ShowNoDisc();
  void EnablePlayControls(bool enable);
  void FillTrackList();
  void SelectTrack(int track);
  void ReadTrackLength();
  void UpdatePosition();
  void ShowCounters();
  void ShowMode(const QString& reply);
  void SetModeText(const QString& text);
  void SetJumping(bool jumping);
  void ScanJump();
  void UpdateRipButton();
  // The list position of a disc track; -1 when it is no audio track of the disc.
  int EntryOf(int track) const;
  void OnTrackDone();
  void ExtractionError(std::int16_t status);

  LogCdSetup setup_;
  CMciDevice& mci_;
  std::unique_ptr<CddbClient> client_;
  cdrom::CdRipper ripper_;
  std::unique_ptr<CdRipQueue> rip_;
  QTimer timer_;

  bool cdOpen_ = false;
  bool ended_ = false;
  bool useCddb_ = true;
  QString previousMode_ = QStringLiteral("init");
  bool playing_ = false;
  int currentTrack_ = 0;
  CddbDiscScan scan_;
  QString currentLength_;
  QString identity_;
  int drivePosition_ = 0;
  int playMode_ = kNormal;
  int seconds_ = 10;
  int tickCounter_ = 0;
  bool dragging_ = false;
  bool jumping_ = false;
  std::int32_t lastProgress_ = 1000;

  QLabel* modeDisplay_ = nullptr;
  QLabel* indicator_ = nullptr;
  QLabel* trackCounter_ = nullptr;
  QLabel* totalCounter_ = nullptr;
  QLabel* currentTime_ = nullptr;
  QLabel* totalTime_ = nullptr;
  QSlider* slider_ = nullptr;
  QPushButton* eject_ = nullptr;
  QPushButton* play_ = nullptr;
  QPushButton* stop_ = nullptr;
  QRadioButton* normal_ = nullptr;
  QRadioButton* intro_ = nullptr;
  QRadioButton* scanRadio_ = nullptr;
  QSpinBox* secondsBox_ = nullptr;
  QListWidget* trackList_ = nullptr;
  QPushButton* selectAll_ = nullptr;
  QPushButton* clearAll_ = nullptr;
  QCheckBox* useCddbCheck_ = nullptr;
  QPushButton* cddbButton_ = nullptr;
  QLabel* cddbStatus_ = nullptr;
  QLabel* albumLine_ = nullptr;
  QProgressBar* trackProgress_ = nullptr;
  QProgressBar* overallProgress_ = nullptr;
  QPushButton* ripButton_ = nullptr;
  QPushButton* logTrack_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace vx::cd
