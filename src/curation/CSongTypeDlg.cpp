#include "curation/CSongTypeDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "curation/CurationText.h"
#include "platform/ui/TextFields.h"

namespace vx {

CSongTypeDlg::CSongTypeDlg(SongTypeMode mode, const QString& code, const QString& description,
                           QWidget* parent)
    : QDialog(parent), code_(new QLineEdit(this)), description_(new QPlainTextEdit(this)) {
  setWindowTitle(QString::fromUtf8(text::kSongTypeTitle));
  code_->setObjectName(QStringLiteral("codeEdit"));
  code_->setText(code);
  SetTextRule(*code_, {true, kCodeLimit});
  description_->setObjectName(QStringLiteral("descriptionEdit"));
  description_->setPlainText(description);
  description_->setTabChangesFocus(true);
  description_->setFixedHeight(description_->fontMetrics().lineSpacing() * 5 + 12);
  SetTextRule(*description_, {false, kDescriptionLimit});

  const bool codeEditable = mode == SongTypeMode::New;
  const bool descriptionEditable = mode == SongTypeMode::New || mode == SongTypeMode::Edit;
  code_->setReadOnly(!codeEditable);
  description_->setReadOnly(!descriptionEditable);

  auto* form = new QFormLayout;
  form->addRow(QString::fromUtf8(text::kTypeCodeLabel), code_);
  form->addRow(QString::fromUtf8(text::kTypeDescriptionLabel), description_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setMinimumWidth(420);
  (codeEditable ? static_cast<QWidget*>(code_) : description_)->setFocus();
}

QString CSongTypeDlg::Code() const { return code_->text(); }

QString CSongTypeDlg::Description() const { return description_->toPlainText(); }

}  // namespace vx
