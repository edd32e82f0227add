#include "player/CColorButton.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace vx::player {

CColorButton::CColorButton(const QString& caption, const QColor& color, QWidget* parent)
    : QPushButton(caption, parent), color_(color) {}

void CColorButton::SetColor(const QColor& color) {
  color_ = color;
  update();
}

void CColorButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect face = rect().adjusted(1, 1, -1, -1);
  painter.fillRect(face, color_);
  painter.setPen(isDown() ? palette().color(QPalette::Dark) : palette().color(QPalette::Light));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  // The caption in whichever of black or white reads better on the face.
  painter.setPen(color_.lightness() > 128 ? Qt::black : Qt::white);
  painter.drawText(face, Qt::AlignCenter | Qt::TextShowMnemonic, text());
  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = face.adjusted(3, 3, -3, -3);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

}  // namespace vx::player
