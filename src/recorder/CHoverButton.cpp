#include "recorder/CHoverButton.h"

#include <QEvent>

namespace vx {

CHoverButton::CHoverButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {}

void CHoverButton::Link(QWidget* hint) {
  hint_ = hint;
  if (hint_ != nullptr) hint_->hide();
  // Moves are needed even without a pressed mouse button to reveal the hint.
  setMouseTracking(hint_ != nullptr);
}

bool CHoverButton::event(QEvent* event) {
  const bool handled = QPushButton::event(event);
  const bool hover = event->type() == QEvent::Enter || event->type() == QEvent::MouseMove;
  if (!hover || hint_ == nullptr) return handled;
  hint_->show();
  emit Hovered(this);
  // The move is ours, also while the button is disabled, so that it does not reach the
  // owner, which hides the hints on its own moves.
  event->accept();
  return true;
}

}  // namespace vx
