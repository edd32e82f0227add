// A push button whose face is filled with a colour, with its caption on top and, when it
// has the focus, a focus rectangle inside its edge. The preferences use one per colour.
#pragma once

#include <QPushButton>

namespace vx::player {

class CColorButton : public QPushButton {
  Q_OBJECT
 public:
  CColorButton(const QString& caption, const QColor& color, QWidget* parent = nullptr);
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_;
};

}  // namespace vx::player
