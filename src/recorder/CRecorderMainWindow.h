// The recorder's main window "Velumix Recorder". For now a plain window with an Exit
// button; the library summary and the buttons of the recorder's flows come with them.
#pragma once

#include <QDialog>

namespace vx {

class CRecorderApp;

class CRecorderMainWindow : public QDialog {
  Q_OBJECT
 public:
  explicit CRecorderMainWindow(CRecorderApp& app, QWidget* parent = nullptr);

 private:
  CRecorderApp& app_;
};

}  // namespace vx
