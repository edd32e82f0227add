#include "recorder/CCreditScroller.h"

#include <QFont>
#include <QPainter>

namespace vx {
namespace {

CCreditScroller::Line ParseLine(QString text) {
  using Style = CCreditScroller::LineStyle;
  Style style = Style::Normal;
  if (!text.isEmpty()) {
    switch (text.back().unicode()) {
      case '\t': style = Style::TopTitle; break;
      case '\n': style = Style::TopGroup; break;
      case '\r': style = Style::GroupTitle; break;
      case '^': style = Style::Bitmap; break;
      default: break;
    }
    if (style != Style::Normal) text.chop(1);
  }
  return {text, style};
}

}  // namespace

CCreditScroller::CCreditScroller(QWidget* parent) : QWidget(parent) {
  timer_.setObjectName(QStringLiteral("creditsTimer%1").arg(kTimerId));
  timer_.setInterval(static_cast<int>(Speed::Medium));
  connect(&timer_, &QTimer::timeout, this, &CCreditScroller::OnTimer);
  setAttribute(Qt::WA_OpaquePaintEvent);
  ClearCanvas();
}

void CCreditScroller::SetContent(const QString& text, QChar separator) {
  lines_.clear();
  for (const QString& part : text.split(separator)) lines_.push_back(ParseLine(part));
  current_ = 0;
  step_ = 0;
  currentImage_ = {};
}

void CCreditScroller::SetSpeed(int millisecondsPerStep) {
  timer_.setInterval(millisecondsPerStep > 0 ? millisecondsPerStep : 1);
}

void CCreditScroller::SetColors(const Colors& colors) {
  colors_ = colors;
  currentImage_ = {};
}

void CCreditScroller::SetTextHeights(const TextHeights& heights) {
  heights_ = heights;
  currentImage_ = {};
}

void CCreditScroller::StartScrolling() {
  ClearCanvas();
  current_ = 0;
  step_ = 0;
  currentImage_ = {};
  timer_.start();
  update();
}

void CCreditScroller::StopScrolling() { timer_.stop(); }

int CCreditScroller::TextHeight(LineStyle style) const {
  switch (style) {
    case LineStyle::TopTitle: return heights_.topTitle;
    case LineStyle::TopGroup: return heights_.topGroup;
    case LineStyle::GroupTitle: return heights_.groupTitle;
    case LineStyle::Normal:
    case LineStyle::Bitmap: break;
  }
  return heights_.normal;
}

QColor CCreditScroller::TextColor(LineStyle style) const {
  switch (style) {
    case LineStyle::TopTitle: return colors_.topTitle;
    case LineStyle::TopGroup: return colors_.topGroup;
    case LineStyle::GroupTitle: return colors_.groupTitle;
    case LineStyle::Normal:
    case LineStyle::Bitmap: break;
  }
  return colors_.normal;
}

QImage CCreditScroller::RenderLine(const Line& line) const {
  const QImage picture = line.style == LineStyle::Bitmap ? QImage(line.text) : QImage();
  const int height = picture.isNull() ? TextHeight(line.style) : picture.height();
  QImage image(qMax(1, width()), qMax(1, height), QImage::Format_RGB32);
  image.fill(colors_.background);
  QPainter painter(&image);
  if (line.style == LineStyle::Bitmap) {
    if (!picture.isNull()) painter.drawImage((image.width() - picture.width()) / 2, 0, picture);
    return image;
  }
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(image.height());
  font.setWeight(line.style == LineStyle::Normal ? QFont::Thin : QFont::Bold);
  painter.setFont(font);
  painter.setPen(TextColor(line.style));
  painter.drawText(image.rect(), Qt::AlignHCenter | Qt::AlignVCenter, line.text);
  return image;
}

void CCreditScroller::OnTimer() {
  if (lines_.empty() || canvas_.isNull()) return;
  if (currentImage_.isNull()) currentImage_ = RenderLine(lines_[current_]);

  const int bottom = canvas_.height() - 1;
  canvas_.scroll(0, -1, canvas_.rect());
  {
    QPainter painter(&canvas_);
    painter.fillRect(0, bottom, canvas_.width(), 1, colors_.background);
    painter.drawImage(QPoint(0, bottom), currentImage_, QRect(0, step_, currentImage_.width(), 1));
  }

  if (++step_ >= currentImage_.height()) {
    current_ = (current_ + 1) % static_cast<int>(lines_.size());
    step_ = 0;
    currentImage_ = {};
  }
  update();
}

void CCreditScroller::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, canvas_);
}

void CCreditScroller::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ClearCanvas();
  currentImage_ = {};
  step_ = 0;
}

void CCreditScroller::ClearCanvas() {
  canvas_ = QPixmap(qMax(1, width()), qMax(1, height()));
  canvas_.fill(colors_.background);
}

}  // namespace vx
