#include "platform/report/CReportPreviewDlg.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/report/CReportEngine.h"
#include "platform/report/ReportText.h"
#include "platform/ui/DialogControls.h"
#include "platform/ui/UserInteraction.h"

namespace vx::report {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

const QPageLayout& ReportPageLayout() {
  static const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  return layout;
}

}  // namespace

CReportPreviewDlg::CReportPreviewDlg(const CPrintJob& job, const QString& title, QWidget* parent)
    : QDialog(parent), job_(job), printer_(new QPrinter(QPrinter::HighResolution)) {
  setWindowTitle(title);
  printer_->setPageLayout(ReportPageLayout());
  preview_ = new QPrintPreviewWidget(printer_, this);
  preview_->setObjectName(QStringLiteral("preview"));
  connect(preview_, &QPrintPreviewWidget::paintRequested, this,
          [this](QPrinter* printer) { job_.Paint(*printer); });

  auto* print = MakeButton(text::kPreviewPrint, "printButton", this);
  auto* save = MakeButton(text::kPreviewSavePdf, "savePdfButton", this);
  auto* close = MakeButton(text::kPreviewClose, "closeButton", this);
  close->setDefault(true);
  connect(print, &QPushButton::clicked, this, &CReportPreviewDlg::OnPrint);
  connect(save, &QPushButton::clicked, this, &CReportPreviewDlg::OnSavePdf);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(print);
  buttons->addWidget(save);
  buttons->addStretch(1);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(preview_, 1);
  layout->addLayout(buttons);
  // The engine's window: 10, 10 from its parent's corner, 600 x 400 at least.
  if (parent != nullptr) move(parent->mapToGlobal(QPoint(10, 10)));
  resize(600, 400);
  preview_->fitToWidth();
}

CReportPreviewDlg::~CReportPreviewDlg() { delete printer_; }

void CReportPreviewDlg::OnPrint() {
  QPrintDialog dialog(printer_, this);
  if (Ui().RunModal(dialog) != QDialog::Accepted) return;
  job_.Paint(*printer_);
}

bool CReportPreviewDlg::SavePdf(const QString& path) {
  QPdfWriter writer(path);
  writer.setPageLayout(ReportPageLayout());
  writer.setResolution(300);
  writer.setTitle(windowTitle());
  writer.setCreator(QStringLiteral("Velumix"));
  job_.Paint(writer);
  return QFileInfo(path).size() > 0;
}

void CReportPreviewDlg::OnSavePdf() {
  FileRequest request;
  request.title = Text(text::kPreviewSaveTitle);
  request.filter = Text(text::kPreviewPdfFilter);
  request.defaultExtension = QStringLiteral("pdf");
  const std::optional<QString> path = Ui().SaveFile(request);
  if (!path) return;
  if (!SavePdf(*path)) {
    Ui().Message(Text(text::kPreviewSaveFailed).replace(QStringLiteral("%s"), *path),
                 MsgIcon::Stop);
  }
}

}  // namespace vx::report
