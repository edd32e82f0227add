#include "player/cd/CCdPlayerDlg.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QSlider>

#include <algorithm>
#include <chrono>
#include <new>

#include "platform/ui/UserInteraction.h"
#include "player/DeckEvents.h"
#include "player/DeckKeys.h"
#include "player/PlayerHost.h"
#include "player/PlayerText.h"

namespace vx::player {
namespace {

constexpr long kTenSeconds = 10 * kCdFramesPerSecond;
constexpr long kTwoSeconds = 2 * kCdFramesPerSecond;
constexpr long kOneSecond = kCdFramesPerSecond;
// The position slider counts in steps of ten frames.
constexpr long kSliderFrames = 10;

QString Text(const char* text) { return QString::fromUtf8(text); }
QString Text(const std::string& text) { return QString::fromStdString(text); }

// A failed device command ends the action that gave it.
void Check(unsigned rc) {
  if (rc != mci::kMciOk) throw rc;
}

struct ModeLook {
  const char* text;
  QColor color;
};

ModeLook LookOf(mci::ModeCode mode) {
  switch (mode) {
    case mci::kModeNotReady: return {text::kNotReady, {192, 0, 0}};
    case mci::kModeStopped: return {text::kStopped, {240, 240, 0}};
    case mci::kModePlaying: return {text::kPlaying, {0, 192, 0}};
    case mci::kModeSeeking: return {text::kSeeking, {192, 0, 0}};
    case mci::kModePaused: return {text::kPaused, {250, 250, 0}};
    case mci::kModeOpen: return {text::kOpen, {192, 0, 0}};
  }
  return {text::kNotReady, {192, 0, 0}};
}

}  // namespace

CCdPlayerDlg::CCdPlayerDlg(CdDeckSetup setup, QWidget* parent)
    : CDeckWindow(kSkinCdDeck, setup.colors, {kCdCtlProduct, kCdCtlMessage, kCdCtlErrorCount}, parent),
      setup_(std::move(setup)),
      session_(setup_.session ? *setup_.session : mci::MciSession::System()) {
  setWindowTitle(QString::asprintf(text::kCdDeckTitle, '1' + setup_.deckNumber));
  setFocusPolicy(Qt::StrongFocus);
  setFixedSize(392, 260);
  BuildControls();
  ShowNoDisc();
  ShowMode();
  ShowErrors();

  statusTimer_.setInterval(1000);
  connect(&statusTimer_, &QTimer::timeout, this, &CCdPlayerDlg::OnStatusTimer);
}

CCdPlayerDlg::~CCdPlayerDlg() {
  closed_ = true;
  for (QTimer* timer : {&statusTimer_, &messageTimer_, &blinkTimer_}) timer->stop();
  CloseDevice();
}

void CCdPlayerDlg::BuildControls() {
  const PlayerColors& c = Colors();
  QFont time = SkinFont("Arial", 36);
  time.setStretch(QFont::SemiCondensed);
  const QFont title = SkinFont("Arial", 22);
  const QFont artist = SkinFont("Arial", 20);
  const QFont small = SkinFont("Arial", 18);
  const QFont third = SkinFont("Arial", 16);
  const QFont label = SkinFont("Arial", 12);
  QFont numbers = SkinFont("Arial", 22);
  numbers.setStretch(QFont::SemiCondensed);

  AddLabel(kCdCtlProduct, Text(text::kProductLabel), SkinFont("Impact", 36, true), c.text,
           {10, 4, 190, 46});
  AddLabel(kCdCtlMode, QString(), small, LookOf(mode_).color, {200, 14, 182, 26})
      ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  AddLabel(kCdCtlTitle, QString(), title, c.text, {10, 52, 372, 28});
  AddLabel(kCdCtlArtist, QString(), artist, c.text, {10, 80, 372, 26});
  AddLabel(kCdCtlThird, QString(), third, c.text, {10, 106, 372, 22});
  AddLabel(kCdCtlLabelTrackBpm, Text(text::kLabelTrackBpm), label, c.label, {10, 130, 166, 16});
  AddLabel(kCdCtlLabelCurrentTotal, Text(text::kLabelCurrentTotal), label, c.label,
           {178, 130, 204, 16});
  AddLabel(kCdCtlTrack, QString(), numbers, c.text, {10, 146, 100, 34});
  AddLabel(kCdCtlBpm, QString(), numbers, c.text, {110, 146, 66, 34});
  AddLabel(kCdCtlPosition, QString(), time, c.text, {176, 142, 104, 42});
  AddLabel(kCdCtlLength, QString(), time, c.text, {282, 142, 104, 42})
      ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  AddLabel(kCdCtlMessage, QString(), small, c.highlight, {10, 234, 220, 22});
  AddLabel(kCdCtlErrorCount, QString(), small, c.text, {232, 234, 150, 22})
      ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  trackSlider_ = new QSlider(Qt::Horizontal, this);
  trackSlider_->setObjectName(QStringLiteral("1005"));
  trackSlider_->setGeometry(10, 186, 372, 22);
  trackSlider_->setRange(1, 1);
  trackSlider_->setTickPosition(QSlider::TicksBelow);
  trackSlider_->setTickInterval(1);

  positionSlider_ = new QSlider(Qt::Horizontal, this);
  positionSlider_->setObjectName(QStringLiteral("1004"));
  positionSlider_->setGeometry(10, 210, 372, 22);
  positionSlider_->setRange(0, 0);
  positionSlider_->setTickPosition(QSlider::TicksBelow);
  positionSlider_->setTickInterval(static_cast<int>(kCdFramesPerSecond));

  // The deck keeps the keyboard focus: its keys are its controls.
  for (QSlider* slider : {trackSlider_, positionSlider_}) {
    slider->setFocusPolicy(Qt::NoFocus);
    slider->setTracking(false);
  }
  connect(trackSlider_, &QSlider::sliderReleased, this, &CCdPlayerDlg::OnTrackSliderReleased);
  connect(positionSlider_, &QSlider::sliderReleased, this,
          &CCdPlayerDlg::OnPositionSliderReleased);
}

// ------------------------------------------------------------------ start-up and the device

int CCdPlayerDlg::StartUp() {
  return GuardedStartUp([&] {
    int refresh = 0;
    try {
      refresh = RefreshWithReload();
    } catch (const std::bad_alloc&) {
      throw;
    } catch (...) {
      // The device is open but the disc could not be read: the deck stays and the status
      // timer tries the disc again.
      CountFailure();
    }
    if (refresh != 0) {
      Ui().Message(QString::asprintf(text::kCdNotOpened, setup_.driveLetter, refresh),
                   MsgIcon::Exclamation);
      return kNotOpened;
    }
    for (QTimer* timer : {&statusTimer_, &blinkTimer_}) timer->start();
    if (!statusTimer_.isActive() || !blinkTimer_.isActive()) {
      Ui().Message(Text(text::kNoTimer), MsgIcon::Exclamation);
      return kNoTimer;
    }
    return kReady;
  }, kNoMemory, kOtherFailure);
}

void CCdPlayerDlg::CloseDevice() {
  if (device_ == 0) return;
  session_.Stop(device_);
  session_.Close(device_);
  device_ = 0;
  ready_ = false;
}

int CCdPlayerDlg::RefreshWithReload() {
  // A device left open under its old alias would keep playing the old disc's stream.
  CloseDevice();
  alias_ = QString::asprintf("CD%lu:", static_cast<unsigned long>(Tick()));
  mci::MciOpenParams params;
  params.type = mci::kCdAudioType;
  params.element = std::string(1, setup_.driveLetter) + ":";
  params.alias = alias_.toStdString();
  mci::MciDeviceId device = 0;
  if (session_.Open(params, device) != mci::kMciOk) return 1;
  device_ = device;
  if (session_.SetTimeFormat(device_, mci::TimeFormat::kMsf) != mci::kMciOk) {
    CloseDevice();
    return 2;
  }
  session_.SetOutput(device_, setup_.output);
  // From here the status timer looks after the device, also when no disc is in it yet: the
  // next disc to arrive is then built like a changed one.
  ready_ = true;
  discChanged_ = true;
  mode_ = ReadMode();
  if (mci::IsNoMedium(mode_)) {
    ShowNoDisc();
    ShowMode();
    return 0;
  }
  Check(session_.Stop(device_));
  Check(BuildCdTrackList(session_, device_, setup_.database, tracks_));
  discChanged_ = false;
  mode_ = mci::kModeStopped;
  trackSlider_->setRange(1, std::max(1, tracks_.Count()));
  if (tracks_.Count() == 0) {
    ShowNoDisc();
    return 0;
  }
  trackSlider_->setValue(tracks_.current);
  liveCue_ = tracks_.Current().start;
  RefreshDisplay();
  Check(session_.Seek(device_, CdMsfOfFrames(tracks_.Current().start)));
  return 0;
}

void CCdPlayerDlg::RefreshDisplay() {
  if (tracks_.current == 0) return;
  const CdTrack& track = tracks_.Current();
  if (!positionSlider_->isSliderDown()) {
    positionSlider_->setRange(0, static_cast<int>(track.length / kSliderFrames));
    positionSlider_->setValue(0);
  }
  Control(kCdCtlTitle)->setText(Text(track.title));
  Control(kCdCtlArtist)->setText(Text(track.artist));
  Control(kCdCtlThird)->setText(Text(track.third));
  Control(kCdCtlBpm)->setText(QString::asprintf(text::kBpmFormat, static_cast<double>(track.bpm)));
  Control(kCdCtlPosition)->setText(Text(CdMinutesSeconds(0)));
  Control(kCdCtlLength)->setText(Text(CdMinutesSeconds(track.length)));
  Control(kCdCtlTrack)->setText(
      QString::asprintf(text::kCdTrackOfCount, tracks_.current, tracks_.Count()));
  ShowMode();
}

void CCdPlayerDlg::ShowNoDisc() {
  Control(kCdCtlTitle)->setText(Text(text::kCdInsertDisc));
  Control(kCdCtlArtist)->clear();
  Control(kCdCtlPosition)->setText(Text(text::kNoTime));
  Control(kCdCtlLength)->setText(Text(text::kNoTime));
  Control(kCdCtlTrack)->setText(Text(text::kCdNoTrack));
}

mci::ModeCode CCdPlayerDlg::ReadMode() {
  mci::MciMode mode = mci::MciMode::kNotReady;
  Check(session_.StatusMode(device_, mode));
  // The deck decides on the mode table's codes, as every caller of the layer does.
  return mci::ModeCodeOf(mci::ModeWord(mode));
}

long CCdPlayerDlg::Position() {
  std::uint32_t position = 0;
  Check(session_.StatusPosition(device_, position));
  return CdFramesOfMsf(position);
}

long CCdPlayerDlg::Tick() const {
  if (setup_.tickCount) return setup_.tickCount();
  using namespace std::chrono;
  return static_cast<long>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// ------------------------------------------------------------------ keys

void CCdPlayerDlg::customEvent(QEvent* event) {
  if (event->type() == DeckEventType(kShowKeyHelpMessage) && setup_.host) {
    setup_.host->ShowHelp(this, Text(text::kCdHelpTitle), Text(text::kCdHelpText));
  }
}

void CCdPlayerDlg::HandleKeyDown(const QKeyEvent& key) {
  if (!ready_ || mci::IsNoMedium(mode_) || tracks_.current == 0) return;
  const bool shift = key.modifiers() & Qt::ShiftModifier;
  const DeckKey deckKey = DeckKeyFor(key);
  Counted([&] {
    switch (key.key()) {
      case Qt::Key_Space:
        StartStop();
        return;
      case Qt::Key_Insert:
        StepTrack(false, shift);
        return;
      case Qt::Key_Delete:
        StepTrack(true, shift);
        return;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        lagCompensation_ = !lagCompensation_;
        return;
      case Qt::Key_I:
        ShowMessage(QString::asprintf(text::kCdIdentify, setup_.driveLetter));
        return;
      case Qt::Key_H:
        QCoreApplication::postEvent(this, new DeckEvent(kShowKeyHelpMessage, setup_.deckNumber));
        return;
      default:
        break;
    }
    // The numeric pad's cue keys, as the WAV deck reads them.
    if (deckKey.action == DeckAction::SetLiveCue) {
      liveCue_ = Position();
      ShowMessage(Text(text::kSetLiveCue));
      return;
    }
    if (deckKey.action == DeckAction::PlayLiveCue) {
      ShowMessage(Text(text::kLiveCue));
      GoTo(liveCue_);
      return;
    }
    if (deckKey.action == DeckAction::PresetCue) {
      PlayCue(deckKey.argument);
      return;
    }
    // The rest move inside the track that holds the position. The track's end is the next
    // track's first frame, so moves forward stop one frame before it.
    const long p = Position();
    const CdTrack& t = tracks_.Track(tracks_.TrackAt(p));
    switch (key.key()) {
      case Qt::Key_Home: GoTo(t.start); break;
      case Qt::Key_End: GoTo(t.Last()); break;
      case Qt::Key_PageUp: GoTo(std::max(p - kTenSeconds, t.start)); break;
      case Qt::Key_PageDown: GoTo(std::min(p + kTenSeconds, t.Last())); break;
      case Qt::Key_Left: GoTo(std::max(p - kTwoSeconds, t.start)); break;
      case Qt::Key_Right: GoTo(std::min(p + kTwoSeconds, t.Last())); break;
      case Qt::Key_Up: GoTo(std::max(p - 1, t.start)); break;
      case Qt::Key_Down: GoTo(std::min(p + kOneSecond, t.Last())); break;
      default: break;
    }
  });
  ShowMode();
}

void CCdPlayerDlg::GoTo(long position) {
  if (mode_ == mci::kModePlaying) {
    Check(session_.Play(device_, CdMsfOfFrames(position)));
  } else {
    Check(session_.Seek(device_, CdMsfOfFrames(position)));
  }
}

void CCdPlayerDlg::StartStop() {
  // Our device reports a paused play as "paused": that counts as stopped here, so Space
  // goes on playing from it.
  if (mode_ == mci::kModeStopped || mode_ == mci::kModePaused) {
    Check(session_.Play(device_));
    mode_ = mci::kModePlaying;
  } else {
    Check(session_.Pause(device_));
    mode_ = mci::kModeStopped;
  }
}

void CCdPlayerDlg::StepTrack(bool forward, bool loggedOnly) {
  const int number = forward ? tracks_.Next(tracks_.current, loggedOnly)
                             : tracks_.Previous(tracks_.current, loggedOnly);
  if (number != 0) SelectTrack(number);
}

void CCdPlayerDlg::SelectTrack(int number) {
  tracks_.current = number;
  trackSlider_->setValue(number);
  liveCue_ = tracks_.Current().start;
  RefreshDisplay();
  GoTo(tracks_.Current().start);
}

void CCdPlayerDlg::PlayCue(int cue) {
  const long p = Position();
  const CdTrack& t = tracks_.Track(tracks_.TrackAt(p));
  if (cue < 1 || static_cast<int>(t.cues.size()) < cue) return;
  const CdCue& chosen = t.cues[static_cast<std::size_t>(cue - 1)];
  const long target = t.start + chosen.offset;
  // A cue never sends the deck out of its track, also with the lag added.
  const auto inTrack = [&](long position) { return std::clamp(position, t.start, t.Last()); };
  ShowMessage(Text(chosen.description));
  if (mode_ != mci::kModePlaying) {
    Check(session_.Seek(device_, CdMsfOfFrames(inTrack(target))));
    return;
  }
  if (!lagCompensation_) {
    Check(session_.Play(device_, CdMsfOfFrames(inTrack(target))));
    return;
  }
  const long lag = lag_.Lag();
  const long t0 = Tick();
  Check(session_.Play(device_, CdMsfOfFrames(inTrack(target + lag))));
  const long position = Position();
  const long t1 = Tick();
  lag_.Add(CdLagHistory::Sample(t1 - t0, position, target, lag));
}

// ------------------------------------------------------------------ sliders

void CCdPlayerDlg::OnTrackSliderReleased() {
  if (!ready_ || mci::IsNoMedium(mode_) || tracks_.current == 0) return;
  const int number = std::clamp(trackSlider_->sliderPosition(), 1, tracks_.Count());
  Counted([&] { SelectTrack(number); });
}

void CCdPlayerDlg::OnPositionSliderReleased() {
  if (!ready_ || mci::IsNoMedium(mode_) || tracks_.current == 0) return;
  const CdTrack& track = tracks_.Current();
  const long target = track.start + positionSlider_->sliderPosition() * kSliderFrames;
  Counted([&] { GoTo(std::clamp(target, track.start, track.Last())); });
}

// ------------------------------------------------------------------ timers and displays

void CCdPlayerDlg::OnStatusTimer() {
  if (!ready_ || closed_) return;
  Counted([&] {
    const mci::ModeCode mode = ReadMode();
    mode_ = mode;
    if (mode == mci::kModeOpen) {
      ShowNoDisc();
      discChanged_ = true;
      return;
    }
    if (mode == mci::kModeSeeking || mode == mci::kModeNotReady) return;
    if (discChanged_) {
      if (const int result = RefreshWithReload(); result != 0) throw result;
      if (tracks_.current == 0) return;
      Check(session_.Play(device_, CdMsfOfFrames(tracks_.Current().start)));
      mode_ = mci::kModePlaying;
      return;
    }
    const long p = Position();
    const int number = tracks_.TrackAt(p);
    if (number == 0) return;
    if (number != tracks_.current) {
      tracks_.current = number;
      trackSlider_->setValue(number);
      RefreshDisplay();
      return;
    }
    const long elapsed = std::max(0L, p - tracks_.Current().start);
    if (!positionSlider_->isSliderDown()) {
      positionSlider_->setValue(static_cast<int>(elapsed / kSliderFrames));
    }
    Control(kCdCtlPosition)->setText(Text(CdMinutesSeconds(elapsed)));
  });
  ShowMode();
}

void CCdPlayerDlg::ShowMode() {
  const ModeLook look = LookOf(mode_);
  SkinLabel* label = Control(kCdCtlMode);
  label->setText(Text(look.text));
  label->SetColor(look.color);
}

// The mode text and the fixed captions keep the colour they were made with.
bool CCdPlayerDlg::KeepsColor(int id) const {
  return id == kCdCtlMode || id == kCdCtlLabelTrackBpm || id == kCdCtlLabelCurrentTotal;
}

void CCdPlayerDlg::RedrawInColors() {
  trackSlider_->update();
  positionSlider_->update();
}

}  // namespace vx::player
