#include "curation/MediaBadge.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>

#include <cstring>

#include "curation/CurationText.h"
#include "library/SongStore.h"

namespace vx {
namespace {

struct MediaLook {
  char code;
  const char* badge;
  QColor color;
  const char* tip;
};

const MediaLook kMediaLooks[] = {
    {kCodePcm, "WAV", QColor(0x2e, 0x7d, 0x32), text::kMediaWave},
    {kCodeAdpcm, "ADPCM", QColor(0x15, 0x65, 0xc0), text::kMediaAdpcm},
    {kCodeMp3, "MP3", QColor(0x8e, 0x24, 0xaa), text::kMediaMp3},
    {kCodeCd, "CD", QColor(0xc6, 0x28, 0x28), text::kMediaCd},
};

const MediaLook* FindMediaLook(char code) {
  for (const MediaLook& look : kMediaLooks) {
    if (look.code == code) return &look;
  }
  return nullptr;
}

}  // namespace

QIcon MediaBadgeIcon(char code, QSize size) {
  const MediaLook* look = FindMediaLook(code);
  if (look == nullptr || size.isEmpty()) return {};
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(look->color);
  painter.setPen(Qt::NoPen);
  const int radius = std::max(2, size.height() / 5);
  painter.drawRoundedRect(pixmap.rect().adjusted(1, 1, -1, -1), radius, radius);
  QFont font = painter.font();
  font.setBold(true);
  // Long names get a smaller letter so that they fit the badge.
  const int length = static_cast<int>(std::strlen(look->badge));
  font.setPixelSize(std::max(6, size.height() / 2 - (length > 3 ? size.height() / 8 : 0)));
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::fromUtf8(look->badge));
  return QIcon(pixmap);
}

QString MediaBadgeTip(char code) {
  const MediaLook* look = FindMediaLook(code);
  return look == nullptr ? QString() : QString::fromUtf8(look->tip);
}

}  // namespace vx
