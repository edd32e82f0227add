// The licence agreement: a read-only scrolling text and the two answers. Refusing is the
// default button, and Escape refuses too.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vx::installer {

class CLicenseDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CLicenseDlg(QWidget* parent = nullptr);

  // The whole agreement, its pieces one after the other.
  static QString AgreementText();

  QPlainTextEdit* Agreement() const { return agreement_; }
  QPushButton* AgreeButton() const { return agree_; }
  QPushButton* DisagreeButton() const { return disagree_; }

 private:
  QPlainTextEdit* agreement_;
  QPushButton* agree_;
  QPushButton* disagree_;
};

}  // namespace vx::installer
