// The stereo level meter: two horizontal bars, left above right, each showing 0..100.
// Green up to 70, yellow to 90, red above, on a dark track.
#pragma once

#include <QWidget>

namespace vx::player {

class CLevelMeter : public QWidget {
  Q_OBJECT
 public:
  explicit CLevelMeter(QWidget* parent = nullptr);

  // Values outside 0..100 are limited to it.
  void SetLevels(int left, int right);
  int Left() const { return left_; }
  int Right() const { return right_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintBar(class QPainter& painter, const QRect& track, int value);
  int left_ = 0;
  int right_ = 0;
};

}  // namespace vx::player
