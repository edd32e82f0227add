#include "recorder/CRecorderMainWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "recorder/CRecorderApp.h"
#include "recorder/RecorderText.h"

namespace vx {

CRecorderMainWindow::CRecorderMainWindow(CRecorderApp& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setWindowTitle(QString::fromUtf8(text::kRecorderTitle));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(app_.LibraryFolder(), this));
  auto* exit = new QPushButton(QString::fromUtf8(text::kExit), this);
  connect(exit, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(exit);
  resize(800, 600);
}

}  // namespace vx
