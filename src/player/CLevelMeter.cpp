#include "player/CLevelMeter.h"

#include <QPainter>

#include <algorithm>

namespace vx::player {

CLevelMeter::CLevelMeter(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CLevelMeter::SetLevels(int left, int right) {
  left = std::clamp(left, 0, 100);
  right = std::clamp(right, 0, 100);
  if (left == left_ && right == right_) return;
  left_ = left;
  right_ = right;
  update();
}

void CLevelMeter::PaintBar(QPainter& painter, const QRect& track, int value) {
  painter.fillRect(track, QColor(20, 20, 20));
  const int segments = 25;
  const double segmentWidth = static_cast<double>(track.width()) / segments;
  const int lit = (value * segments + 50) / 100;
  for (int i = 0; i < lit; ++i) {
    const int level = (i + 1) * 100 / segments;
    const QColor color = level > 90   ? QColor(230, 30, 30)
                         : level > 70 ? QColor(240, 220, 0)
                                      : QColor(0, 200, 60);
    const int x = track.left() + static_cast<int>(i * segmentWidth);
    painter.fillRect(QRect(x + 1, track.top() + 1, std::max(1, static_cast<int>(segmentWidth) - 2),
                           track.height() - 2),
                     color);
  }
}

void CLevelMeter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int half = height() / 2;
  PaintBar(painter, QRect(0, 0, width(), half - 1), left_);
  PaintBar(painter, QRect(0, half + 1, width(), height() - half - 1), right_);
}

}  // namespace vx::player
