// The CD deck: one window that plays the audio CD in the first CD drive through the media
// control layer's CD audio device, driven from the keyboard like a WAV deck: start/pause,
// jumps by seconds and frames inside the track, previous/next track (SHIFT: logged tracks
// only), preset cue points of logged tracks with an optional compensation of the drive's
// start-up lag, and one live cue. Timers: 1 the once-a-second look at the device (mode,
// track, position, disc changes), 2 the message line, 3 the blink of the product label.
//
// Failures while handling a key, slider or timer end that action and are counted on the
// deck; the deck never shows a message box once it is up.
#pragma once

#include <QString>
#include <QTimer>

#include <cstddef>
#include <functional>

#include "platform/mci/MciModeCode.h"
#include "platform/mci/MciSession.h"
#include "player/PlayerColors.h"
#include "player/CDeckWindow.h"
#include "player/Skin.h"
#include "player/cd/CdLagHistory.h"
#include "player/cd/CdTrackList.h"

class QKeyEvent;
class QSlider;

namespace vx::dao {
class DaoDatabase;
}

namespace vx::player {

class PlayerHost;

// Control ids of the CD deck window.
enum CdControl : int {
  kCdCtlProduct = 1087,
  kCdCtlMode = 1043,
  kCdCtlTitle = 1039,
  kCdCtlArtist = 1045,
  kCdCtlThird = 1044,
  kCdCtlBpm = 1041,
  kCdCtlPosition = 1047,
  kCdCtlLength = 1048,
  kCdCtlTrack = 1049,
  kCdCtlMessage = 1042,
  kCdCtlErrorCount = 1080,
  kCdCtlLabelTrackBpm = 1083,
  kCdCtlLabelCurrentTotal = 1084,
};

struct CdDeckSetup {
  char driveLetter = 'D';
  int deckNumber = 0;  // the WAV deck count: the deck answers to F(deckNumber + 1)
  PlayerColors colors;
  dao::DaoDatabase* database = nullptr;  // the library, for the logged tracks; may be null
  PlayerHost* host = nullptr;            // shows the key help; may be null
  std::size_t output = 0;                // the wave output the CD audio is heard on
  mci::MciSession* session = nullptr;    // the process's session when null
  std::function<long()> tickCount;       // milliseconds; a steady clock when unset
};

class CCdPlayerDlg : public CDeckWindow {
  Q_OBJECT
 public:
  // Start-up results; any result but kReady means the deck must go.
  enum StartResult : int { kReady = 0, kNoTimer = 1, kNoMemory = 2, kOtherFailure = 3,
                           kNotOpened = 4 };

  explicit CCdPlayerDlg(CdDeckSetup setup, QWidget* parent = nullptr);
  // Stops and closes the device.
  ~CCdPlayerDlg() override;

  // Opens the device, builds the track list and starts the timers.
  int StartUp();

  // State for the application and for tests.
  int DeckNumber() const { return setup_.deckNumber; }
  std::size_t Output() const { return setup_.output; }
  mci::ModeCode Mode() const { return mode_; }
  bool Ready() const { return ready_; }
  bool DiscChanged() const { return discChanged_; }
  const CdTrackList& Tracks() const { return tracks_; }
  long LiveCue() const { return liveCue_; }
  bool LagCompensation() const { return lagCompensation_; }
  const CdLagHistory& LagHistory() const { return lag_; }
  const QString& Alias() const { return alias_; }
  mci::MciDeviceId Device() const { return device_; }
  SkinLabel* Control(CdControl id) const { return Label(id); }
  QSlider* TrackSlider() const { return trackSlider_; }
  QSlider* PositionSlider() const { return positionSlider_; }

 public slots:
  void OnStatusTimer();   // timer 1
  void OnTrackSliderReleased();
  void OnPositionSliderReleased();
  // Decks close only with the player.
  void reject() override {}

 protected:
  void customEvent(QEvent* event) override;

 private:
  void BuildControls();

  // Opens the device afresh (the old alias closed first) and rebuilds the deck from the disc:
  // 0 done (also with no disc), 1 the device did not open, 2 its time format was refused.
  // Failures after the device opened throw.
  int RefreshWithReload();
  void RefreshDisplay();
  void ShowNoDisc();
  void CloseDevice();

  void HandleKeyDown(const QKeyEvent& key) override;
  bool KeepsColor(int id) const override;
  void RedrawInColors() override;
  mci::ModeCode ReadMode();
  long Position();
  // Plays from the position when playing, else seeks to it.
  void GoTo(long position);
  void StartStop();
  void StepTrack(bool forward, bool loggedOnly);
  void SelectTrack(int number);
  void PlayCue(int cue);
  long Tick() const;

  void ShowMode();

  CdDeckSetup setup_;
  mci::MciSession& session_;
  mci::MciDeviceId device_ = 0;
  QString alias_;
  mci::ModeCode mode_ = mci::kModeNotReady;
  bool ready_ = false;
  bool discChanged_ = false;
  bool closed_ = false;
  CdTrackList tracks_;
  long liveCue_ = 0;
  bool lagCompensation_ = false;
  CdLagHistory lag_;

  QTimer statusTimer_;

  QSlider* trackSlider_ = nullptr;
  QSlider* positionSlider_ = nullptr;
};

}  // namespace vx::player
