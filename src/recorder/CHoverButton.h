// A push button that reveals a linked hint text while the mouse moves over it, without
// activating anything. Hiding the hint again is the owner's job (the main window hides all
// hints when the mouse is over the window itself). Without a linked hint it is a plain
// push button.
#pragma once

#include <QPointer>
#include <QPushButton>

namespace vx {

class CHoverButton : public QPushButton {
  Q_OBJECT
 public:
  explicit CHoverButton(const QString& caption, QWidget* parent = nullptr);

  // Links the hint (a widget of the same window, kept hidden until hovered).
  void Link(QWidget* hint);
  QWidget* Hint() const { return hint_; }

 signals:
  // The mouse entered or moved over the button and its hint is now shown.
  void Hovered(vx::CHoverButton* button);

 protected:
  bool event(QEvent* event) override;

 private:
  QPointer<QWidget> hint_;
};

}  // namespace vx
