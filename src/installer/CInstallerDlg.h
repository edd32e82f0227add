// The installer's main window: a picture, a status line and Cancel. Four seconds after it
// opens, the installation runs: licence, platform check, codec file and registration, then
// the main setup program is started and the window closes. Cancel before that installs
// nothing.
#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>
#include <string>

#include "installer/CodecInstall.h"

class QLabel;
class QPushButton;

namespace vx::installer {

struct InstallerEnvironment {
  std::string mediumFolder;  // the folder that holds vx/setup and vx/vxaudiox.sys
  std::string codecFolder;
  std::string systemName;    // the kernel's name, as uname gives it
  SetSystemValue setSystemValue;
  // Starts a program without waiting for it; answers its process id, or -1.
  std::function<int(const std::string& program)> startProgram;

  // The machine's own: the folder vxinst lies in, the user's codec folder, the system-wide
  // settings and a detached process.
  static InstallerEnvironment ForThisMachine();
};

// How the installation ended, for the callers and tests that want to know.
enum class InstallOutcome { NotRun, Refused, Unsupported, SetupMissing, SetupStarted };

class CInstallerDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kStartDelayMs = 4000;

  explicit CInstallerDlg(InstallerEnvironment environment, QWidget* parent = nullptr);

  QLabel* Status() const { return status_; }
  QPushButton* CancelButton() const { return cancel_; }
  const QTimer& StartTimer() const { return timer_; }
  InstallOutcome Outcome() const { return outcome_; }

  // Whether the installer runs on a platform it supports (Linux).
  static bool IsSupportedPlatform(const std::string& systemName);

 public slots:
  // The start timer fired: runs every step, then closes the window.
  void OnTimer();
  void OnCancel();

  // However the window closes (Cancel, Escape, the close box), the start timer stops.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  InstallOutcome RunInstallation();

  InstallerEnvironment env_;
  QLabel* status_;
  QPushButton* cancel_;
  QTimer timer_;
  bool opened_ = false;
  InstallOutcome outcome_ = InstallOutcome::NotRun;
};

}  // namespace vx::installer
