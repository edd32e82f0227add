#include "recorder/CTechInfoDlg.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "recorder/RecorderText.h"

namespace vx {

CTechInfoDlg::CTechInfoDlg(const QString& report, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(text::kTechInfoTitle));

  auto* box = new QPlainTextEdit(this);
  box->setObjectName(QStringLiteral("report"));
  box->setReadOnly(true);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  box->setTabStopDistance(box->fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 8);
  box->setPlainText(report);

  auto* close = new QPushButton(QString::fromUtf8(text::kClose), this);
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box, 1);
  layout->addLayout(row);
  resize(680, 520);
}

}  // namespace vx
