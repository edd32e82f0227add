// A WAV deck: one window that plays library songs through one wave output with its own
// playback engine, driven from the keyboard (start/pause, pitch steps and bends, ten-second
// jumps, preset and live cue points, hot list, and effects with the other deck: load its
// song, flange, beat chorus, BPM sync). Timers: 1 the once-a-second display, 2 the message
// line, 3 the blink of the product label, 4 the 10 ms level meter with its delay ring.
//
// Failures while handling a key, slider, timer or song choice end that action and are
// counted on the deck (control 1080); the deck never shows a message box while playing.
#pragma once

#include <QColor>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "player/engine/AudioServerLink.h"
#include "player/engine/PitchProcessor.h"
#include "player/DeckKeys.h"
#include "player/DeckSong.h"
#include "player/MeterDelayRing.h"
#include "player/PlayerColors.h"
#include "player/CDeckWindow.h"
#include "player/Skin.h"

class QSlider;

namespace vx::dao {
class DaoDatabase;
}
namespace vx::wave {
class WaveDeviceList;
}

namespace vx::player {

class CLevelMeter;
class CWavPlayerThread;
class PlayerHost;

enum class DeckState { Playing = 0, Paused = 1, NotReady = 2 };

// Control ids of the deck window.
enum DeckControl : int {
  kCtlProduct = 1087,
  kCtlState = 1043,
  kCtlSongName = 1039,
  kCtlArtist = 1045,
  kCtlAttributes = 1044,
  kCtlCurrentTime = 1047,
  kCtlTotalTime = 1048,
  kCtlBpm = 1041,
  kCtlPitch = 1040,
  kCtlMessage = 1042,
  kCtlErrorCount = 1080,
  kCtlLabelPitchBpm = 1083,
  kCtlLabelCurrentTotal = 1084,
  kCtlLabelLeft = 1085,
  kCtlLabelRight = 1086,
};

struct WavDeckSetup {
  std::uint32_t device = 0;
  QString deviceName;
  int index = 0;  // 0 or 1
  std::string songsFolder;
  std::string programFolder;  // where the audio server program is
  dao::DaoDatabase* database = nullptr;
  PlayerColors colors;
  float syncOffset = 0.1f;
  int meterDelay = 7;
  PlayerHost* host = nullptr;
  QObject* controlPanel = nullptr;  // receives the song-ended message; may be null
  wave::WaveDeviceList* devices = nullptr;
  // The engine's link to its audio server; the real client when not set.
  std::function<std::unique_ptr<AudioServerLink>()> makeServerLink;
  PitchQuality pitchQuality = PitchQuality::kClassic;
};

class CWavPlayerDlg : public CDeckWindow {
  Q_OBJECT
 public:
  // Start-up results.
  enum StartResult : int {
    kReady = 0, kNoTimer = 1, kNotWoken = 2, kNotStarted = 3, kNoMemory = 4, kOtherFailure = 5
  };

  CWavPlayerDlg(WavDeckSetup setup, QWidget* parent = nullptr);
  // Closes the engine and waits for it (at most 15000 ms).
  ~CWavPlayerDlg() override;

  // Starts the timers and the engine; any result but kReady means the deck must go.
  int StartUp();

  // Loads a song and starts playing it; false (and one failure counted) when it failed.
  bool LoadSong(std::int32_t songId);
  // How the deck changes speed, heard from the next load, seek or cue jump on.
  void SetPitchQuality(PitchQuality quality);

  // What the other deck and the application ask.
  int Index() const { return setup_.index; }
  const QString& DeviceName() const { return setup_.deviceName; }
  bool HasSong() const { return song_.songId > 0; }
  std::int32_t SongId() const { return song_.songId; }
  QString SongTypeCode() const { return QString::fromStdString(song_.typeCode); }
  double CurrentBpm() const;
  // Milliseconds heard of the song, 0 when nothing is loaded or the engine cannot tell.
  long HeardMs();

  // State for the windows around and for tests.
  DeckState State() const { return state_; }
  double Pitch() const { return pitch_; }
  long LiveCueMs() const { return liveCueMs_; }
  bool BendActive() const { return bend_.active; }
  bool MousePitchActive() const { return mousePitch_.active; }
  const DeckSong& Song() const { return song_; }
  int MeterDelay() const { return meterRing_.Delay(); }
  SkinLabel* Control(DeckControl id) const { return Label(id); }
  QSlider* PositionSlider() const { return positionSlider_; }
  QSlider* PitchSlider() const { return pitchSlider_; }
  CLevelMeter* Meter() const { return meter_; }
  CWavPlayerThread* Engine() const { return engine_.get(); }

 public slots:
  void OnDisplayTimer();  // timer 1
  void OnMeterTimer();    // timer 4
  void OnPositionSliderPressed();
  void OnPositionSliderReleased();
  // A change of a slider by the person (QAbstractSlider::SliderAction): seek, or set the
  // pitch, once the change is complete.
  void OnPositionSliderAction(int action);
  void OnPitchSliderAction(int action);
  // Decks close only with the player.
  void reject() override {}

 protected:
  void customEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  struct Saved {
    bool active = false;
    double pitch = 0;
  };

  void BuildControls();
  void CloseDeck();
  static bool IsCompleteChange(const QSlider& slider, int action);

  void HandleKeyDown(const QKeyEvent& key) override;
  void HandleKeyUp(const QKeyEvent& key) override;
  bool KeepsColor(int id) const override;
  void RedrawInColors() override;
  void RunAction(DeckKey key, Qt::KeyboardModifiers modifiers);
  void StartStop(bool control);
  void SeekBytes(std::int64_t target);
  void SeekMs(long ms);
  void StepPitchSlider(int delta);
  void BeginBend(DeckAction action, bool shift);
  void EndBend();
  void SetMousePitch(bool on);
  void PlayPresetCue(int cue);
  void Flange();
  void BeatChorus(Qt::KeyboardModifiers modifiers);
  void SyncBpm();
  void LoadOtherDecksSong();
  void ChooseSong(bool likeOtherDeck);
  CWavPlayerDlg* OtherDeck() const;

  void ReadSong(std::int32_t songId);
  void SetPitch(double pitch);
  void ShowPitch();
  void ShowState();
  void ShowCurrentTime(std::uint32_t seconds);

  WavDeckSetup setup_;
  std::unique_ptr<CWavPlayerThread> engine_;
  bool closed_ = false;

  DeckState state_ = DeckState::NotReady;
  bool tracking_ = true;
  DeckSong song_;
  std::uint32_t lastReadPosition_ = 0;
  double pitch_ = 0;
  Saved bend_;
  Saved mousePitch_;
  long liveCueMs_ = 0;
  MeterDelayRing meterRing_;
  bool endLatch_ = false;
  QColor bpmColor_;

  QTimer displayTimer_;
  QTimer meterTimer_;

  QSlider* positionSlider_ = nullptr;
  QSlider* pitchSlider_ = nullptr;
  CLevelMeter* meter_ = nullptr;
};

}  // namespace vx::player
