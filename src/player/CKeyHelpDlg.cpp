#include "player/CKeyHelpDlg.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "player/Skin.h"

namespace vx::player {

CKeyHelpDlg::CKeyHelpDlg(QWidget* parent) : QDialog(parent), text_(new QPlainTextEdit(this)) {
  text_->setReadOnly(true);
  text_->setFont(SkinFont("Arial", 18));
  text_->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text_);
}

void CKeyHelpDlg::ShowHelp(QWidget* caller, const QString& title, const QString& text) {
  caller_ = caller;
  setWindowTitle(QStringLiteral("%1 - Press %2 key to dismiss").arg(title).arg(QLatin1Char('H')));
  if (caller) setGeometry(QRect(caller->mapToGlobal(QPoint(0, 0)), caller->size()));
  text_->setPlainText(text);
  show();
  raise();
  activateWindow();
  text_->setFocus();
}

bool CKeyHelpDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_H) {
    hide();
    if (caller_) {
      caller_->activateWindow();
      caller_->setFocus();
    }
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vx::player
