#include "installer/CLicenseDlg.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "installer/InstallerText.h"

namespace vx::installer {

CLicenseDlg::CLicenseDlg(QWidget* parent)
    : QDialog(parent),
      agreement_(new QPlainTextEdit(this)),
      agree_(new QPushButton(QString::fromUtf8(text::kAgree), this)),
      disagree_(new QPushButton(QString::fromUtf8(text::kDisagree), this)) {
  setWindowTitle(QString::fromUtf8(text::kLicenseTitle));
  agreement_->setReadOnly(true);
  agreement_->setPlainText(AgreementText());
  agreement_->setMinimumSize(440, 260);

  agree_->setAutoDefault(false);
  disagree_->setDefault(true);
  connect(agree_, &QPushButton::clicked, this, &QDialog::accept);
  connect(disagree_, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(agree_);
  buttons->addWidget(disagree_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(agreement_);
  layout->addLayout(buttons);
  // Keyboard first: the reader can page through the text at once, and Enter refuses.
  agreement_->setFocus();
}

QString CLicenseDlg::AgreementText() {
  QString text;
  for (const char* piece : text::kLicensePieces) text += QString::fromUtf8(piece);
  return text;
}

}  // namespace vx::installer
