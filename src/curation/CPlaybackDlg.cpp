#include "curation/CPlaybackDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "cd/MciText.h"
#include "curation/CPlaybackPanel.h"
#include "curation/CurationText.h"
#include "library/CueOffset.h"
#include "platform/mci/MciModeCode.h"
#include "platform/ui/DialogControls.h"

namespace vx {
namespace {

bool IsNoMediumReply(const std::string& reply) { return reply == "open" || reply == "not ready"; }

}  // namespace

CPlaybackDlg::CPlaybackDlg(bool cd, SongPlayback::Units units, QWidget* parent)
    : QDialog(parent),
      playback_(device_, cd ? CMciDevice::kCd : CMciDevice::kWave, units),
      cd_(cd),
      panel_(new CPlaybackPanel(playback_, cd, this)),
      hint_(new QLineEdit(this)),
      timer_(new QTimer(this)) {
  playback_.onError = [this] { ReportMciError(); };
  hint_->setObjectName(QStringLiteral("hint"));
  hint_->setReadOnly(true);
  hint_->setFocusPolicy(Qt::NoFocus);
  timer_->setInterval(1000);
  connect(timer_, &QTimer::timeout, this, &CPlaybackDlg::OnTimer);
}

CPlaybackDlg::~CPlaybackDlg() {
  timer_->stop();
  device_.StopDevice(playback_.Selector());
  device_.CloseDevice(playback_.Selector());
}

void CPlaybackDlg::ShowHint(const QString& text) { hint_->setText(text); }

void CPlaybackDlg::ReportMciError() {
  ShowHint(QString::asprintf(text::kMciErrorReport, device_.GetLastErrorText().c_str()));
}

void CPlaybackDlg::EndAsCancelled() {
  timer_->stop();
  QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

void CPlaybackDlg::StartTicking() { timer_->start(); }

bool CPlaybackDlg::SongDiscReady(const QString& albumName) {
  const std::string mode = playback_.Mode();
  lastMode_ = mode;
  std::string identity;
  if (!mci::IsNoMedium(mci::ModeCodeOf(mode)) && device_.GetIdentity(identity) &&
      identity == discIdentity_) {
    return true;
  }
  panel_->SetTransportEnabled(false);
  ShowHint(QString::asprintf(text::kInsertCd, qUtf8Printable(albumName)));
  return false;
}

bool CPlaybackDlg::RefreshPosition() {
  long position = 0;
  if (!playback_.Position(position)) return false;
  const CueMedium medium = playback_.PositionUnits() == SongPlayback::Units::kCdFrames
                               ? CueMedium::kCd
                               : CueMedium::kWave;
  const std::string text = FormatCueOffset(medium, position, playback_.Start(), playback_.End());
  panel_->ShowPosition(QString::fromStdString(text.substr(0, 5)));
  PositionRead(position);
  return true;
}

void CPlaybackDlg::ShowMode(const std::string& reply) {
  const mci::ModeCode code = mci::ModeCodeOf(reply);
  panel_->ShowStatus(QString::fromStdString(reply).toUpper(),
                     code == mci::kModePlaying || code == mci::kModeSeeking);
}

void CPlaybackDlg::ShowNoDisc() {
  panel_->SetTransportEnabled(false);
  panel_->ShowStatus(QString::fromUtf8(text::kInsertCdStatus), false);
  panel_->ShowPosition({});
}

void CPlaybackDlg::OnTimer() {
  const std::string reply = playback_.Mode();
  const std::string last = lastMode_;
  lastMode_ = reply;
  if (reply == last && !IsNoMediumReply(reply)) {
    RefreshPosition();
    return;
  }
  if (!cd_) {
    RefreshPosition();
    ShowMode(reply);
    return;
  }
  if (mci::IsNoMedium(mci::ModeCodeOf(reply))) {
    ShowNoDisc();
    return;
  }
  if (!IsNoMediumReply(last)) {
    RefreshPosition();
    ShowMode(reply);
    return;
  }
  // A disc has just come in: only the song's own disc brings the transport back.
  std::string identity;
  if (!device_.GetIdentity(identity)) {
    IdentityFailed();
    return;
  }
  if (identity != discIdentity_) return;
  panel_->SetTransportEnabled(true);
  RestartSong();
  ShowMode(reply);
}

}  // namespace vx
