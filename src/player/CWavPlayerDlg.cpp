#include "player/CWavPlayerDlg.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <new>
#include <system_error>

#include "platform/ui/UserInteraction.h"
#include "player/engine/CAudioServerClient.h"
#include "player/CLevelMeter.h"
#include "player/engine/CWavPlayerThread.h"
#include "player/DeckEvents.h"
#include "player/DeckMath.h"
#include "player/PlayerHost.h"
#include "player/PlayerText.h"
#include "player/CSongChooserDlg.h"

namespace vx::player {
namespace {

constexpr auto kThreadWait = std::chrono::milliseconds(15000);
// How long the once-a-second display waits for a busy engine before it skips its turn.
constexpr auto kDisplayWait = std::chrono::milliseconds(100);

const QColor kNotReadyColor{192, 0, 0};
const QColor kPausedColor{250, 250, 0};
const QColor kPlayingColor{0, 192, 0};

QString Text(const char* text) { return QString::fromUtf8(text); }

QString TimeText(std::uint32_t seconds) {
  return QString::asprintf(text::kTimeFormat, static_cast<int>(seconds / 60),
                           static_cast<int>(seconds % 60));
}

// An engine command that was not placed is a failure of the action that gave it.
void Require(bool placed) {
  if (!placed) throw 0;
}

}  // namespace

CWavPlayerDlg::CWavPlayerDlg(WavDeckSetup setup, QWidget* parent)
    : CDeckWindow(kSkinWavDeck, setup.colors, {kCtlProduct, kCtlMessage, kCtlErrorCount}, parent),
      setup_(std::move(setup)),
      meterRing_(setup_.meterDelay),
      bpmColor_(Colors().text) {
  setWindowTitle(QString::asprintf(text::kWavDeckTitle, '1' + setup_.index));
  setFocusPolicy(Qt::StrongFocus);
  setFixedSize(392, 300);
  BuildControls();
  ShowState();
  ShowErrors();

  displayTimer_.setInterval(1000);
  meterTimer_.setInterval(10);
  connect(&displayTimer_, &QTimer::timeout, this, &CWavPlayerDlg::OnDisplayTimer);
  connect(&meterTimer_, &QTimer::timeout, this, &CWavPlayerDlg::OnMeterTimer);
}

CWavPlayerDlg::~CWavPlayerDlg() { CloseDeck(); }

void CWavPlayerDlg::BuildControls() {
  const PlayerColors& c = Colors();
  QFont time = SkinFont("Arial", 36);
  time.setStretch(QFont::SemiCondensed);  // two times side by side also in wider fallbacks
  const QFont song = SkinFont("Arial", 24);
  QFont bpm = SkinFont("Arial", 26);
  bpm.setStretch(QFont::SemiCondensed);
  const QFont small = SkinFont("Arial", 18);
  const QFont label = SkinFont("Arial", 12);

  AddLabel(kCtlProduct, Text(text::kProductLabel), SkinFont("Impact", 36, true), c.text,
           {10, 4, 190, 46});
  AddLabel(kCtlState, Text(text::kNoSong), small, kNotReadyColor, {200, 14, 182, 26})
      ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  AddLabel(kCtlSongName, Text(text::kNoSongSelected), song, c.text, {10, 52, 372, 30});
  AddLabel(kCtlArtist, Text(text::kF4ToChoose), song, c.text, {10, 82, 372, 30});
  AddLabel(kCtlAttributes, QString(), small, c.text, {10, 112, 372, 24});
  AddLabel(kCtlLabelPitchBpm, Text(text::kLabelPitchBpm), label, c.label, {10, 138, 180, 16});
  AddLabel(kCtlLabelCurrentTotal, Text(text::kLabelCurrentTotal), label, c.label,
           {178, 138, 204, 16});
  AddLabel(kCtlBpm, QString(), bpm, bpmColor_, {10, 154, 96, 34});
  AddLabel(kCtlPitch, QString(), bpm, c.text, {106, 154, 66, 34});
  AddLabel(kCtlCurrentTime, Text(text::kNoTime), time, c.text, {176, 150, 104, 42});
  AddLabel(kCtlTotalTime, Text(text::kNoTime), time, c.text, {282, 150, 104, 42})
      ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  AddLabel(kCtlLabelLeft, Text(text::kLabelLeft), label, c.label, {10, 252, 14, 16});
  AddLabel(kCtlLabelRight, Text(text::kLabelRight), label, c.label, {10, 268, 14, 16});
  AddLabel(kCtlMessage, QString(), small, c.highlight, {232, 248, 150, 24});
  AddLabel(kCtlErrorCount, QString(), small, c.text, {232, 272, 150, 24})
      ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  positionSlider_ = new QSlider(Qt::Horizontal, this);
  positionSlider_->setObjectName(QStringLiteral("1004"));
  positionSlider_->setGeometry(10, 194, 372, 22);
  positionSlider_->setRange(0, 0);
  positionSlider_->setTickPosition(QSlider::TicksBelow);
  positionSlider_->setTickInterval(10);
  positionSlider_->setEnabled(false);

  pitchSlider_ = new QSlider(Qt::Horizontal, this);
  pitchSlider_->setObjectName(QStringLiteral("1021"));
  pitchSlider_->setGeometry(10, 220, 372, 28);
  pitchSlider_->setRange(0, kPitchSliderMax);
  pitchSlider_->setValue(kPitchSliderZero);
  pitchSlider_->setTickPosition(QSlider::TicksBelow);
  pitchSlider_->setTickInterval(10);
  pitchSlider_->setEnabled(false);

  // The deck keeps the keyboard focus: its keys are its controls.
  for (QSlider* slider : {positionSlider_, pitchSlider_}) {
    slider->setFocusPolicy(Qt::NoFocus);
    slider->setTracking(false);
  }
  connect(positionSlider_, &QSlider::sliderPressed, this, &CWavPlayerDlg::OnPositionSliderPressed);
  connect(positionSlider_, &QSlider::sliderReleased, this,
          &CWavPlayerDlg::OnPositionSliderReleased);
  connect(positionSlider_, &QSlider::actionTriggered, this,
          &CWavPlayerDlg::OnPositionSliderAction);
  connect(pitchSlider_, &QSlider::actionTriggered, this, &CWavPlayerDlg::OnPitchSliderAction);

  meter_ = new CLevelMeter(this);
  meter_->setObjectName(QStringLiteral("1095"));
  meter_->setGeometry(26, 252, 200, 32);
}

// ------------------------------------------------------------------ start-up and close

int CWavPlayerDlg::StartUp() {
  return GuardedStartUp([&] {
    for (QTimer* timer : {&displayTimer_, &blinkTimer_, &meterTimer_}) timer->start();
    if (!displayTimer_.isActive() || !blinkTimer_.isActive() || !meterTimer_.isActive()) {
      Ui().Message(Text(text::kNoTimer), MsgIcon::Exclamation);
      return kNoTimer;
    }
    engine_ = std::make_unique<CWavPlayerThread>(
        *setup_.devices,
        setup_.makeServerLink ? setup_.makeServerLink() : std::make_unique<CAudioServerClient>());
    engine_->SetPitchQuality(setup_.pitchQuality);  // the thread does not run yet: never waits
    try {
      engine_->RunThread();
    } catch (const std::system_error&) {
      Ui().Message(Text(text::kThreadNotWoken), MsgIcon::Exclamation);
      return kNotWoken;
    }
    const int result = engine_->Start(setup_.device, static_cast<std::uint32_t>(setup_.index + 1),
                                      setup_.programFolder);
    if (result != 0) {
      Ui().Message(QString::asprintf(text::kThreadNotStarted, setup_.index + 1, result),
                   MsgIcon::Exclamation);
      return kNotStarted;
    }
    return kReady;
  }, kNoMemory, kOtherFailure);
}

void CWavPlayerDlg::CloseDeck() {
  if (closed_) return;
  closed_ = true;
  if (mousePitch_.active) SetMousePitch(false);
  for (QTimer* timer : {&displayTimer_, &messageTimer_, &blinkTimer_, &meterTimer_}) {
    timer->stop();
  }
  if (!engine_) return;
  engine_->Close();
  if (!engine_->WaitForExit(kThreadWait)) {
    Ui().Message(Text(text::kThreadCleanupTimeout), MsgIcon::Stop);
    // A thread that did not end still uses the engine: it is left alive, never joined, so
    // closing the player cannot hang on it.
    (void)engine_.release();
  }
  engine_.reset();
}

// ------------------------------------------------------------------ loading

bool CWavPlayerDlg::LoadSong(std::int32_t songId) {
  const long before = ErrorCount();
  Counted([&] { ReadSong(songId); });
  return ErrorCount() == before;
}

void CWavPlayerDlg::ReadSong(std::int32_t songId) {
  if (!engine_ || setup_.database == nullptr) throw 0;
  if (bend_.active) EndBend();
  if (mousePitch_.active) SetMousePitch(false);
  pitch_ = 0;
  liveCueMs_ = 0;
  Require(engine_->SetPitch(0));
  DeckSong song = ReadDeckSong(*setup_.database, setup_.songsFolder, songId);
  Require(engine_->Load(setup_.songsFolder, static_cast<std::uint32_t>(songId), song.name,
                        song.artist, song.CueOffsets()));
  song_ = std::move(song);
  lastReadPosition_ = song_.dataStart;
  endLatch_ = false;
  tracking_ = true;
  state_ = DeckState::Playing;

  positionSlider_->setRange(0, static_cast<int>(song_.Seconds()));
  positionSlider_->setValue(0);
  pitchSlider_->setValue(kPitchSliderZero);
  Control(kCtlSongName)->setText(QString::fromStdString(song_.name));
  Control(kCtlArtist)->setText(QString::fromStdString(song_.artist));
  Control(kCtlAttributes)->setText(QString::fromStdString(song_.attributes));
  ShowCurrentTime(0);
  Control(kCtlTotalTime)->setText(TimeText(song_.Seconds()));
  ShowPitch();
  ShowState();
  positionSlider_->setEnabled(true);
  pitchSlider_->setEnabled(true);
  if (setup_.host) {
    setup_.host->Select(this);
  } else {
    setFocus();
  }
}

// ------------------------------------------------------------------ queries

double CWavPlayerDlg::CurrentBpm() const {
  return HasSong() ? player::CurrentBpm(song_.bpm, pitch_) : 0.0;
}

long CWavPlayerDlg::HeardMs() {
  if (!engine_ || !HasSong()) return 0;
  long heard = 0;
  Counted([&] { heard = std::max(0L, engine_->GetPlayedMs()); });
  return heard;
}

CWavPlayerDlg* CWavPlayerDlg::OtherDeck() const {
  return setup_.host ? setup_.host->WavDeck(1 - setup_.index) : nullptr;
}

// ------------------------------------------------------------------ keys

void CWavPlayerDlg::HandleKeyDown(const QKeyEvent& key) {
  const DeckKey deckKey = DeckKeyFor(key);
  if (state_ == DeckState::NotReady && deckKey.action != DeckAction::ChooseSong) return;
  if (bend_.active) return;
  if (IsBend(deckKey.action)) {
    if (!key.isAutoRepeat())
      Counted([&] { BeginBend(deckKey.action, key.modifiers() & Qt::ShiftModifier); });
    return;
  }
  Counted([&] { RunAction(deckKey, key.modifiers()); });
}

void CWavPlayerDlg::HandleKeyUp(const QKeyEvent& key) {
  if (key.isAutoRepeat() || !bend_.active || !IsBend(DeckKeyFor(key).action)) return;
  Counted([&] { EndBend(); });
}

void CWavPlayerDlg::RunAction(DeckKey key, Qt::KeyboardModifiers modifiers) {
  const bool shift = modifiers & Qt::ShiftModifier;
  const bool control = modifiers & Qt::ControlModifier;
  const std::int64_t avg = song_.format.avgBytesPerSec;
  const std::int64_t played = static_cast<std::int64_t>(lastReadPosition_) - song_.dataStart;
  switch (key.action) {
    case DeckAction::StartStop:
      StartStop(control);
      break;
    case DeckAction::BackTen:
      SeekBytes(std::max<std::int64_t>(0, played - 10 * avg));
      break;
    case DeckAction::ForwardTen: {
      const std::int64_t target = played + 10 * avg;
      SeekBytes(target > song_.dataSize ? 0 : target);
      break;
    }
    case DeckAction::StartOfSong:
      SeekBytes(0);
      ShowMessage(Text(text::kStartOfSong));
      break;
    case DeckAction::EndOfSong:
      SeekBytes(std::max<std::int64_t>(0, static_cast<std::int64_t>(song_.dataSize) - 20 * avg));
      ShowMessage(Text(text::kEndOfSong));
      break;
    case DeckAction::PitchDown:
      StepPitchSlider(shift ? -1 : -10);
      break;
    case DeckAction::PitchUp:
      StepPitchSlider(shift ? 1 : 10);
      break;
    case DeckAction::PitchReset:
      SetPitch(0);
      break;
    case DeckAction::OtherDeck:
      if (CWavPlayerDlg* other = OtherDeck(); other && setup_.host) setup_.host->Select(other);
      break;
    case DeckAction::HotSong:
      if (setup_.host) {
        if (const std::int32_t id = setup_.host->HotListEntry(key.argument); id >= 1) {
          ReadSong(id);
        }
      }
      break;
    case DeckAction::KeyHelp:
      QCoreApplication::postEvent(this, new DeckEvent(kShowKeyHelpMessage, setup_.index));
      break;
    case DeckAction::Identify:
      ShowMessage(setup_.deviceName);
      break;
    case DeckAction::LoadOther:
      LoadOtherDecksSong();
      break;
    case DeckAction::MousePitch:
      SetMousePitch(!mousePitch_.active);
      break;
    case DeckAction::PlayLiveCue:
      SeekMs(std::max(0L, liveCueMs_));
      positionSlider_->setValue(static_cast<int>(std::max(0L, liveCueMs_) / 1000));
      ShowMessage(Text(text::kLiveCue));
      break;
    case DeckAction::PresetCue:
      PlayPresetCue(key.argument);
      break;
    case DeckAction::SetLiveCue:
      if (engine_) liveCueMs_ = std::max(0L, engine_->GetPlayedMs());
      ShowMessage(Text(text::kSetLiveCue));
      break;
    case DeckAction::SyncBpm:
      if (control) {
        liveCueMs_ = std::max(0L, liveCueMs_ - 100);
      } else if (CWavPlayerDlg* other = OtherDeck(); other && other->CurrentBpm() != 0) {
        SyncBpm();
        ShowMessage(Text(text::kSyncBpm));
      }
      break;
    case DeckAction::Flange:
      Flange();
      break;
    case DeckAction::BeatChorus:
      BeatChorus(modifiers);
      break;
    case DeckAction::ChooseSong:
      QCoreApplication::postEvent(
          this, new DeckEvent(shift ? kChooseSongLikeMessage : kChooseSongMessage, setup_.index));
      break;
    case DeckAction::BendLeft:
    case DeckAction::BendRight:
    case DeckAction::BendDown:
    case DeckAction::BendUp:
    case DeckAction::None:
      break;
  }
}

void CWavPlayerDlg::StartStop(bool control) {
  if (control) {
    liveCueMs_ += 100;
    if (liveCueMs_ > static_cast<long>(song_.Seconds()) * 1000) liveCueMs_ = 0;
    return;
  }
  if (state_ == DeckState::Playing) {
    Require(engine_->Pause());
    state_ = DeckState::Paused;
  } else if (state_ == DeckState::Paused) {
    Require(engine_->Play());
    state_ = DeckState::Playing;
  }
  ShowState();
}

void CWavPlayerDlg::SeekBytes(std::int64_t target) {
  const std::int64_t seconds = target / song_.format.avgBytesPerSec;
  SeekMs(static_cast<long>(seconds * 1000));
  positionSlider_->setValue(static_cast<int>(seconds));
}

void CWavPlayerDlg::SeekMs(long ms) {
  const auto target = static_cast<std::int32_t>(ms);
  Require(state_ == DeckState::Playing ? engine_->SeekToAndPlay(target) : engine_->SeekTo(target));
}

void CWavPlayerDlg::StepPitchSlider(int delta) {
  const int position = std::clamp(pitchSlider_->value() + delta, 0, kPitchSliderMax);
  SetPitch(SliderToPitch(position));
}

void CWavPlayerDlg::BeginBend(DeckAction action, bool shift) {
  double step = 0;
  switch (action) {
    case DeckAction::BendLeft:
      step = shift ? -1 : -2;
      break;
    case DeckAction::BendRight:
      step = shift ? 1 : 2;
      break;
    case DeckAction::BendDown:
      step = shift ? -4 : -8;
      break;
    case DeckAction::BendUp:
      step = shift ? 4 : 8;
      break;
    default:
      return;
  }
  bend_ = {true, pitch_};
  SetPitch(std::clamp(pitch_ + step, kMinPitch, kMaxPitch));
}

void CWavPlayerDlg::EndBend() {
  bend_.active = false;
  SetPitch(bend_.pitch);
}

void CWavPlayerDlg::PlayPresetCue(int cue) {
  if (cue < 1 || static_cast<std::size_t>(cue) > song_.cues.size()) return;
  const DeckCue& entry = song_.cues[static_cast<std::size_t>(cue - 1)];
  Require(state_ == DeckState::Playing ? engine_->JumpToCueAndPlay(cue - 1)
                                       : engine_->JumpToCue(cue - 1));
  positionSlider_->setValue(entry.byteOffset < song_.dataSize
                                ? static_cast<int>(entry.byteOffset / song_.format.avgBytesPerSec)
                                : 0);
  ShowMessage(QString::fromStdString(entry.description));
}

// ------------------------------------------------------------------ effects with the other deck

void CWavPlayerDlg::Flange() {
  CWavPlayerDlg* other = OtherDeck();
  if (!other || !other->HasSong() || other->SongId() != SongId()) return;
  Require(engine_->SeekToAndPlay(static_cast<std::int32_t>(other->HeardMs())));
  state_ = DeckState::Playing;
  ShowState();
  ShowMessage(Text(text::kFlangeChorus));
}

void CWavPlayerDlg::BeatChorus(Qt::KeyboardModifiers modifiers) {
  CWavPlayerDlg* other = OtherDeck();
  const double bpm = other ? other->CurrentBpm() : 0.0;
  if (bpm == 0) return;
  double factor = 0.5;
  const char* message = text::kFullBeatChorus;
  if (modifiers & Qt::ControlModifier) {
    factor = 1.0;
    message = text::kHalfBeatChorus;
  } else if (modifiers & Qt::ShiftModifier) {
    factor = 2.0;
    message = text::kQuarterBeatChorus;
  }
  if (other->HasSong() && other->SongId() == SongId()) {
    const double beat = 60000.0 / bpm;
    const long target = other->HeardMs() - static_cast<long>(std::trunc(beat / factor));
    Require(engine_->SeekToAndPlay(static_cast<std::int32_t>(std::max(0L, target))));
    state_ = DeckState::Playing;
    ShowState();
  }
  ShowMessage(Text(message));
}

void CWavPlayerDlg::SyncBpm() {
  const CWavPlayerDlg* other = OtherDeck();
  if (!other) return;
  if (const auto pitch = SyncBpmPitch(song_.bpm, other->CurrentBpm())) SetPitch(*pitch);
}

void CWavPlayerDlg::LoadOtherDecksSong() {
  const CWavPlayerDlg* other = OtherDeck();
  if (other && other->HasSong() && other->SongId() != SongId()) ReadSong(other->SongId());
}

void CWavPlayerDlg::ChooseSong(bool likeOtherDeck) {
  if (setup_.database == nullptr) return;
  SongChooserRequest request;
  request.playerNumber = setup_.index + 1;
  request.currentSongName = QString::fromStdString(song_.name);
  if (likeOtherDeck) {
    if (const CWavPlayerDlg* other = OtherDeck(); other && other->HasSong()) {
      request.typeCode = other->SongTypeCode().toStdString();
      request.bpm = other->CurrentBpm();
    }
  }
  if (const auto songId = vx::player::ChooseSong(*setup_.database, request, this)) {
    ReadSong(*songId);
  }
}

void CWavPlayerDlg::customEvent(QEvent* event) {
  const auto type = event->type();
  if (type == DeckEventType(kChooseSongMessage) || type == DeckEventType(kChooseSongLikeMessage)) {
    Counted([&] { ChooseSong(type == DeckEventType(kChooseSongLikeMessage)); });
  } else if (type == DeckEventType(kShowKeyHelpMessage) && setup_.host) {
    setup_.host->ShowHelp(this, Text(text::kWavHelpTitle), Text(text::kWavHelpText));
  }
}

// ------------------------------------------------------------------ pitch and mouse pitch

void CWavPlayerDlg::SetPitchQuality(PitchQuality quality) {
  setup_.pitchQuality = quality;
  Counted([&] {
    if (engine_) Require(engine_->SetPitchQuality(quality));
  });
}

void CWavPlayerDlg::SetPitch(double pitch) {
  pitch_ = std::clamp(pitch, kMinPitch, kMaxPitch);
  pitchSlider_->setValue(PitchToSlider(pitch_));
  ShowPitch();
  if (engine_) Require(engine_->SetPitch(pitch_));
}

void CWavPlayerDlg::SetMousePitch(bool on) {
  if (on == mousePitch_.active) return;
  if (on) {
    mousePitch_ = {true, pitch_};
    // Qt cannot clip the pointer to a rectangle: the deck grabs the mouse and puts the
    // pointer back inside the pitch slider whenever a move leaves it.
    const QRect slider(pitchSlider_->mapToGlobal(QPoint(0, 0)), pitchSlider_->size());
    const int thumbX = slider.left() + slider.width() * pitchSlider_->value() / kPitchSliderMax;
    QCursor::setPos(QPoint(thumbX, slider.center().y()));
    setMouseTracking(true);
    grabMouse(Qt::SizeHorCursor);
    return;
  }
  mousePitch_.active = false;
  releaseMouse();
  setMouseTracking(false);
  unsetCursor();
  SetPitch(mousePitch_.pitch);
}

void CWavPlayerDlg::mouseMoveEvent(QMouseEvent* event) {
  if (!mousePitch_.active) {
    CSkinnedDialog::mouseMoveEvent(event);
    return;
  }
  const QPoint global = event->globalPosition().toPoint();
  const QRect slider(pitchSlider_->mapToGlobal(QPoint(0, 0)), pitchSlider_->size());
  const int width = std::max(1, slider.width());
  const int x = std::clamp(global.x() - slider.left(), 0, width);
  const QPoint confined(slider.left() + x, std::clamp(global.y(), slider.top(), slider.bottom()));
  if (confined != global) QCursor::setPos(confined);
  const int position =
      static_cast<int>(std::trunc(static_cast<double>(kPitchSliderMax) / width * x));
  Counted([&] { SetPitch(SliderToPitch(position)); });
}

void CWavPlayerDlg::focusOutEvent(QFocusEvent* event) {
  // A bend or mouse pitch whose key-up or toggle would go to another window ends here, so
  // the deck never keeps a held pitch or ignores its keys after losing the focus.
  Counted([&] {
    if (mousePitch_.active) SetMousePitch(false);
    if (bend_.active) EndBend();
  });
  CSkinnedDialog::focusOutEvent(event);
}

// ------------------------------------------------------------------ sliders

// A slider's change counts once it is complete: at the end of a drag, and at once for a
// wheel turn or a click on the track. (The deck's own moves of a slider are no actions.)
bool CWavPlayerDlg::IsCompleteChange(const QSlider& slider, int action) {
  return action != QAbstractSlider::SliderNoAction && !slider.isSliderDown();
}

void CWavPlayerDlg::OnPositionSliderPressed() { tracking_ = false; }

void CWavPlayerDlg::OnPositionSliderReleased() { tracking_ = true; }

void CWavPlayerDlg::OnPositionSliderAction(int action) {
  if (!IsCompleteChange(*positionSlider_, action)) return;
  Counted([&] {
    tracking_ = true;
    if (!HasSong()) return;
    std::int64_t target =
        static_cast<std::int64_t>(positionSlider_->sliderPosition()) * song_.format.avgBytesPerSec;
    if (target > song_.dataSize) target = 0;
    SeekBytes(target);
  });
}

void CWavPlayerDlg::OnPitchSliderAction(int action) {
  if (!IsCompleteChange(*pitchSlider_, action)) return;
  Counted([&] { SetPitch(SliderToPitch(pitchSlider_->sliderPosition())); });
}

// ------------------------------------------------------------------ timers and displays

void CWavPlayerDlg::OnDisplayTimer() {
  if (!tracking_ || !HasSong() || !engine_) return;
  Counted([&] {
    std::uint32_t end = 0;
    // The engine holds its lock while it loads (and while a hung audio server keeps it
    // waiting): the window waits only briefly, the next tick shows the position.
    const long position = engine_->GetReadPosition(end, kDisplayWait);
    if (position < 0) return;
    lastReadPosition_ = static_cast<std::uint32_t>(position);
    if (end != 0) {
      state_ = DeckState::Paused;
      if (!endLatch_) {
        endLatch_ = true;
        if (setup_.controlPanel) {
          QCoreApplication::postEvent(setup_.controlPanel,
                                      new DeckEvent(kSongEndedMessage, setup_.index));
        }
      }
    } else {
      endLatch_ = false;
    }
    const std::uint32_t played =
        lastReadPosition_ > song_.dataStart ? lastReadPosition_ - song_.dataStart : 0;
    ShowCurrentTime(played / song_.format.avgBytesPerSec);
    positionSlider_->setValue(static_cast<int>(played / song_.format.avgBytesPerSec));
    ShowState();
    ShowErrors();
  });
}

void CWavPlayerDlg::OnMeterTimer() {
  int left = 0;
  int right = 0;
  if (state_ == DeckState::Playing && engine_) {
    std::uint32_t leftPeak = 0, rightPeak = 0, leftAverage = 0, rightAverage = 0;
    // A busy engine skips this frame rather than holding the window.
    if (engine_->GetLevels(leftPeak, rightPeak, leftAverage, rightAverage,
                           std::chrono::milliseconds::zero()) != 0) {
      return;
    }
    left = MeterValue(leftPeak);
    right = MeterValue(rightPeak);
  }
  const auto [shownLeft, shownRight] = meterRing_.Push(left, right);
  meter_->SetLevels(shownLeft, shownRight);
}

void CWavPlayerDlg::ShowPitch() {
  if (pitch_ == 0) {
    bpmColor_ = Colors().text;
    Control(kCtlBpm)->setText(QString::asprintf(text::kBpmFormat, song_.bpm));
    Control(kCtlPitch)->setText(Text(text::kPitchZero));
  } else {
    bpmColor_ = Colors().highlight;
    Control(kCtlBpm)->setText(QString::asprintf(text::kBpmFormat, CurrentBpm()));
    Control(kCtlPitch)->setText(QString::asprintf(text::kPitchFormat, pitch_));
  }
  Control(kCtlBpm)->SetColor(bpmColor_);
}

void CWavPlayerDlg::ShowState() {
  SkinLabel* label = Control(kCtlState);
  switch (state_) {
    case DeckState::NotReady:
      label->setText(Text(HasSong() ? text::kNotReady : text::kNoSong));
      label->SetColor(kNotReadyColor);
      break;
    case DeckState::Paused:
      label->setText(Text(text::kPaused));
      label->SetColor(kPausedColor);
      break;
    case DeckState::Playing:
      label->setText(Text(text::kPlaying));
      label->SetColor(kPlayingColor);
      break;
  }
}

void CWavPlayerDlg::ShowCurrentTime(std::uint32_t seconds) {
  Control(kCtlCurrentTime)->setText(TimeText(seconds));
}

// The state and the fixed captions keep the label colour they were made with.
bool CWavPlayerDlg::KeepsColor(int id) const {
  return id == kCtlState || id == kCtlLabelPitchBpm || id == kCtlLabelCurrentTotal ||
         id == kCtlLabelLeft || id == kCtlLabelRight;
}

void CWavPlayerDlg::RedrawInColors() {
  ShowPitch();
  positionSlider_->update();
  pitchSlider_->update();
}

}  // namespace vx::player
