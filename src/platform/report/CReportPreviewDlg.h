// The modal preview of a checked print job: its pages as they will print, with "&Print..."
// (the system's print dialog), "Save &PDF..." and "&Close" (also Escape). The job belongs
// to the caller and outlives the window.
//
// Controls by object name: "preview", "printButton", "savePdfButton", "closeButton".
#pragma once

#include <QDialog>

class QPrintPreviewWidget;
class QPrinter;

namespace vx::report {

class CPrintJob;

class CReportPreviewDlg : public QDialog {
  Q_OBJECT
 public:
  CReportPreviewDlg(const CPrintJob& job, const QString& title, QWidget* parent = nullptr);
  ~CReportPreviewDlg() override;

  // Writes the report as a PDF file; false when the file cannot be written.
  bool SavePdf(const QString& path);

 public slots:
  void OnPrint();
  void OnSavePdf();

 private:
  const CPrintJob& job_;
  QPrinter* printer_;
  QPrintPreviewWidget* preview_;
};

}  // namespace vx::report
