#include "player/Skin.h"

#include <QFontDatabase>
#include <QImageReader>
#include <QPainter>

#include <cstdio>

#include "player/PlayerText.h"

namespace vx::player {
namespace {

void InstallFontFallbacks() {
  static const bool installed = [] {
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Impact"),
                               {QStringLiteral("Anton"), QStringLiteral("Oswald"),
                                QStringLiteral("DejaVu Sans Condensed"),
                                QStringLiteral("DejaVu Sans")});
    return true;
  }();
  (void)installed;
}

}  // namespace

QPixmap LoadSkin(int id) {
  QImageReader reader(QStringLiteral(":/velumix/skins/%1.png").arg(id));
  if (!reader.canRead()) {
    std::fputs(text::kNotDib, stderr);
    return {};
  }
  const QImage image = reader.read();
  if (image.isNull()) {
    std::fputs(text::kNoDataStorage, stderr);
    return {};
  }
  return QPixmap::fromImage(image);
}

QFont SkinFont(const char* family, int pixelHeight, bool italic) {
  InstallFontFallbacks();
  QFont font(QString::fromLatin1(family));
  font.setPixelSize(pixelHeight);
  font.setWeight(QFont::Bold);
  font.setItalic(italic);
  return font;
}

CSkinnedDialog::CSkinnedDialog(int skinId, SkinMode mode, const QColor& background,
                               QWidget* parent)
    : QDialog(parent), skin_(LoadSkin(skinId)), mode_(mode), background_(background) {}

void CSkinnedDialog::SetBackground(const QColor& background) {
  background_ = background;
  update();
}

void CSkinnedDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), background_);
  if (skin_.isNull()) return;
  switch (mode_) {
    case SkinMode::Stretch:
      painter.drawPixmap(rect(), skin_);
      break;
    case SkinMode::Centre:
      painter.drawPixmap((width() - skin_.width()) / 2, (height() - skin_.height()) / 2, skin_);
      break;
    case SkinMode::Tile:
      painter.drawTiledPixmap(rect(), skin_);
      break;
  }
}

SkinLabel::SkinLabel(const QString& text, const QFont& font, const QColor& color,
                     QWidget* parent)
    : QLabel(text, parent) {
  setFont(font);
  setAttribute(Qt::WA_TranslucentBackground);
  setAutoFillBackground(false);
  SetColor(color);
}

void SkinLabel::SetColor(const QColor& color) {
  color_ = color;
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, color);
  setPalette(palette);
}

}  // namespace vx::player
