#include "curation/CPlaybackPanel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "curation/CurationText.h"
#include "curation/SongPlayback.h"

namespace vx {
namespace {

const QColor kGreen(0, 255, 20);
const QColor kYellow(255, 255, 0);

QLineEdit* ReadOnlyField(const char* name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QLatin1String(name));
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  return field;
}

}  // namespace

void PaintField(QLineEdit& field, bool green) {
  QPalette palette = field.palette();
  palette.setColor(QPalette::Base, green ? kGreen : kYellow);
  palette.setColor(QPalette::Text, Qt::black);
  field.setPalette(palette);
}

CPlaybackPanel::CPlaybackPanel(SongPlayback& playback, bool withDoor, QWidget* parent)
    : QGroupBox(QString::fromUtf8(text::kPlaybackControl), parent),
      song_(ReadOnlyField("songField", this)),
      status_(ReadOnlyField("statusField", this)),
      position_(ReadOnlyField("positionField", this)) {
  struct ButtonSpec {
    const char* name;
    QStyle::StandardPixmap icon;
    const char* tip;
    void (SongPlayback::*action)();
  };
  const ButtonSpec specs[] = {
      {"toStart", QStyle::SP_MediaSkipBackward, text::kToStartTip, &SongPlayback::ToStart},
      {"back", QStyle::SP_MediaSeekBackward, text::kBackTip, &SongPlayback::Back},
      {"play", QStyle::SP_MediaPlay, text::kPlayTip, &SongPlayback::Play},
      {"forward", QStyle::SP_MediaSeekForward, text::kForwardTip, &SongPlayback::Forward},
      {"toEnd", QStyle::SP_MediaSkipForward, text::kToEndTip, &SongPlayback::ToEnd},
      {"stop", QStyle::SP_MediaStop, text::kStopTip, &SongPlayback::Stop},
      {"door", QStyle::SP_ArrowUp, text::kDoorTip, &SongPlayback::Door},
  };
  auto* buttons = new QHBoxLayout;
  for (std::size_t i = 0; i < std::size(specs); ++i) {
    const ButtonSpec& spec = specs[i];
    if (i == transport_.size() && !withDoor) break;
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(spec.name));
    button->setIcon(i == transport_.size() ? QIcon::fromTheme(QStringLiteral("media-eject"),
                                                              style()->standardIcon(spec.icon))
                                           : style()->standardIcon(spec.icon));
    button->setToolTip(QString::fromUtf8(spec.tip));
    button->setAccessibleName(QString::fromUtf8(spec.tip));
    connect(button, &QToolButton::clicked, this,
            [&playback, action = spec.action] { (playback.*action)(); });
    buttons->addWidget(button);
    if (i < transport_.size()) transport_[i] = button;
  }
  buttons->addStretch(1);

  auto* form = new QFormLayout;
  form->addRow(QString::fromUtf8(text::kSongLabel), song_);
  form->addRow(QString::fromUtf8(text::kStatusLabel), status_);
  form->addRow(QString::fromUtf8(text::kPositionLabel), position_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  PaintField(*status_, false);
}

void CPlaybackPanel::SetSong(const QString& name) { song_->setText(name); }

void CPlaybackPanel::ShowStatus(const QString& text, bool moving) {
  status_->setText(text);
  PaintField(*status_, moving);
}

void CPlaybackPanel::ShowPosition(const QString& text) { position_->setText(text); }

void CPlaybackPanel::SetTransportEnabled(bool enabled) {
  for (QToolButton* button : transport_) button->setEnabled(enabled);
}

bool CPlaybackPanel::TransportEnabled() const { return transport_.front()->isEnabled(); }

}  // namespace vx
