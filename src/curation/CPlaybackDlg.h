// What the dialogs that play a song while they run have in common: their own media control
// device with the song on it, the "Playback Control" group, the hint line at the bottom, and
// the one-second tick that follows the device's mode and position. For CD tracks the tick
// also watches the tray: without a disc the transport is disabled, and when the song's disc
// comes back the dialog starts the song again.
#pragma once

#include <QDialog>
#include <string>

#include "cd/CMciDevice.h"
#include "curation/SongPlayback.h"

class QLineEdit;
class QPushButton;
class QTimer;

namespace vx {

class CPlaybackPanel;

class CPlaybackDlg : public QDialog {
  Q_OBJECT
 public:
  // Stops and closes the song's device.
  ~CPlaybackDlg() override;

  // The song's span in device units.
  long SongStart() const { return playback_.Start(); }
  long SongEnd() const { return playback_.End(); }

  // Child "hint": the one-line hint field.
 public slots:
  // The one-second tick.
  void OnTimer();

 protected:
  // cd: the song is a track of an audio CD (device selector 0) rather than a file.
  CPlaybackDlg(bool cd, SongPlayback::Units units, QWidget* parent);

  CMciDevice& Device() { return device_; }
  SongPlayback& Playback() { return playback_; }
  CPlaybackPanel& Panel() { return *panel_; }
  bool IsCd() const { return cd_; }


  void ShowHint(const QString& text);
  // "MCI ERROR: <last error text>" in the hint field.
  void ReportMciError();
  // Ends the dialog as cancelled once it runs (also when it fails while opening).
  void EndAsCancelled();
  void StartTicking();

  // The song's disc identity (CD) and whether the drive has no medium for the given reply.
  void SetDiscIdentity(const std::string& identity) { discIdentity_ = identity; }
  const std::string& DiscIdentity() const { return discIdentity_; }

  // Whether the song's disc is in the drive (the mode is remembered for the next tick). When
  // it is not, the transport is disabled and the hint asks for the album.
  bool SongDiscReady(const QString& albumName);
  // Reads the position and shows it; answers false when the device could not tell.
  bool RefreshPosition();
  // Shows a mode reply in capitals, green while playing or seeking.
  void ShowMode(const std::string& reply);
  // "*INSERT CD*", no position, transport disabled.
  void ShowNoDisc();

  // Hooks of the concrete dialog.
  // The position was read (and shown); the cue editors move their slider.
  virtual void PositionRead(long /*position*/) {}
  // The song's disc is back in the drive: start the song again on the open device.
  virtual void RestartSong() = 0;
  // The identity of a disc that came in could not be read.
  virtual void IdentityFailed() { ReportMciError(); }

 private:
  CMciDevice device_;
  SongPlayback playback_;
  bool cd_;
  CPlaybackPanel* panel_;
  QLineEdit* hint_;
  QTimer* timer_;
  std::string lastMode_;
  std::string discIdentity_;

 protected:
  QLineEdit& HintField() { return *hint_; }
};

}  // namespace vx
