#include "player/CDeckWindow.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>

#include <cassert>
#include <new>

#include "player/PlayerGuard.h"
#include "platform/ui/UserInteraction.h"
#include "player/PlayerText.h"

namespace vx::player {

CDeckWindow::CDeckWindow(int skinId, const PlayerColors& colors, LabelIds ids, QWidget* parent)
    : CSkinnedDialog(skinId, SkinMode::Centre, colors.background, parent),
      colors_(colors),
      ids_(ids) {
  messageTimer_.setInterval(kMessageMs);
  messageTimer_.setSingleShot(true);
  blinkTimer_.setInterval(kBlinkMs);
  connect(&messageTimer_, &QTimer::timeout, this, &CDeckWindow::OnMessageTimer);
  connect(&blinkTimer_, &QTimer::timeout, this, &CDeckWindow::OnBlinkTimer);
}

SkinLabel* CDeckWindow::AddLabel(int id, const QString& text, const QFont& font,
                                 const QColor& color, const QRect& geometry) {
  auto* label = new SkinLabel(text, font, color, this);
  label->setObjectName(QString::number(id));
  label->setGeometry(geometry);
  return label;
}

SkinLabel* CDeckWindow::Label(int id) const {
  return findChild<SkinLabel*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

bool CDeckWindow::IsActive() const {
  const QWidget* focus = QApplication::focusWidget();
  return focus != nullptr && (focus == this || isAncestorOf(focus));
}

void CDeckWindow::ShowMessage(const QString& message) {
  SkinLabel* line = Label(ids_.message);
  assert(line != nullptr);
  line->setText(message);
  messageTimer_.start();
}

void CDeckWindow::OnMessageTimer() {
  SkinLabel* line = Label(ids_.message);
  assert(line != nullptr);
  line->clear();
}

void CDeckWindow::OnBlinkTimer() {
  SkinLabel* product = Label(ids_.product);
  assert(product != nullptr);
  if (!IsActive()) {
    if (blinkPhase_) {
      blinkPhase_ = false;
      product->SetColor(colors_.text);
    }
    return;
  }
  blinkPhase_ = !blinkPhase_;
  product->SetColor(blinkPhase_ ? colors_.highlight : colors_.text);
}

int CDeckWindow::GuardedStartUp(const std::function<int()>& steps, int noMemory,
                                int otherFailure) {
  try {
    return steps();
  } catch (const std::bad_alloc&) {
    Ui().Message(QString::fromUtf8(text::kPlayerNoMemory), MsgIcon::Stop);
    return noMemory;
  } catch (...) {
    Ui().Message(QString::fromUtf8(text::kPlayerUnexpected), MsgIcon::Stop);
    return otherFailure;
  }
}

void CDeckWindow::Counted(const std::function<void()>& action) {
  if (!CountedOperation(action)) CountFailure();
}

void CDeckWindow::CountFailure() {
  ++errors_;
  ShowErrors();
}

void CDeckWindow::ShowErrors() {
  SkinLabel* count = Label(ids_.errorCount);
  assert(count != nullptr);
  count->setText(QString::asprintf(text::kErrorCountFormat, errors_));
}

bool CDeckWindow::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    HandleKeyDown(*static_cast<QKeyEvent*>(event));
    return true;
  }
  if (event->type() == QEvent::KeyRelease) {
    HandleKeyUp(*static_cast<QKeyEvent*>(event));
    return true;
  }
  return CSkinnedDialog::event(event);
}

void CDeckWindow::ApplyColors(const PlayerColors& colors) {
  colors_.background = colors.background;
  colors_.text = colors.text;
  colors_.highlight = colors.highlight;
  SetBackground(colors.background);
  for (SkinLabel* label : findChildren<SkinLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
    const int id = label->objectName().toInt();
    if (KeepsColor(id)) continue;
    label->SetColor(id == ids_.message ? colors.highlight : colors.text);
  }
  RedrawInColors();
}

}  // namespace vx::player
