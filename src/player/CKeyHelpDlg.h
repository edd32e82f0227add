// The key help window: one read-only text over the window that asked for it, titled
// "<title> - Press H key to dismiss". Pressing H gives the focus back to that window.
#pragma once

#include <QDialog>
#include <QPointer>

class QPlainTextEdit;

namespace vx::player {

class CKeyHelpDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CKeyHelpDlg(QWidget* parent = nullptr);
  void ShowHelp(QWidget* caller, const QString& title, const QString& text);
  QWidget* Caller() const { return caller_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPlainTextEdit* text_;
  QPointer<QWidget> caller_;
};

}  // namespace vx::player
