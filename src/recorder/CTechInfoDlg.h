// The "Technical Information" dialog: the report in one read-only text box and "&Close".
#pragma once

#include <QDialog>

namespace vx {

class CTechInfoDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CTechInfoDlg(const QString& report, QWidget* parent = nullptr);
  // The text box holds the report exactly ("report").
};

}  // namespace vx
