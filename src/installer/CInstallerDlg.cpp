#include "installer/CInstallerDlg.h"

#include <sys/utsname.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "installer/CLicenseDlg.h"
#include "installer/InstallerText.h"
#include "platform/process/Process.h"
#include "platform/settings/SystemSettings.h"
#include "platform/ui/UserInteraction.h"

namespace vx::installer {

InstallerEnvironment InstallerEnvironment::ForThisMachine() {
  InstallerEnvironment environment;
  environment.mediumFolder = ProgramFolder();
  environment.codecFolder = CodecFolderForThisUser();
  struct utsname names {};
  if (uname(&names) == 0) environment.systemName = names.sysname;
  environment.setSystemValue = &SystemSettings::SetString;
  environment.startProgram = [](const std::string& program) {
    return SpawnDetached(program, {});
  };
  return environment;
}

CInstallerDlg::CInstallerDlg(InstallerEnvironment environment, QWidget* parent)
    : QDialog(parent),
      env_(std::move(environment)),
      status_(new QLabel(QString::fromUtf8(text::kInitializing), this)),
      cancel_(new QPushButton(QString::fromUtf8(text::kCancel), this)) {
  setWindowTitle(QString::fromUtf8(text::kInstallTitle));
  auto* picture = new QLabel(this);
  picture->setPixmap(QPixmap(QString::fromUtf8(text::kPictureResource)));
  picture->setFixedSize(269, 236);

  connect(cancel_, &QPushButton::clicked, this, &CInstallerDlg::OnCancel);
  cancel_->setDefault(true);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(status_, 1);
  bottom->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(picture, 0, Qt::AlignHCenter);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  timer_.setSingleShot(true);
  timer_.setInterval(kStartDelayMs);
  connect(&timer_, &QTimer::timeout, this, &CInstallerDlg::OnTimer);
}

bool CInstallerDlg::IsSupportedPlatform(const std::string& systemName) {
  return systemName == "Linux";
}

void CInstallerDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (opened_) return;
  opened_ = true;
  timer_.start();
}

void CInstallerDlg::OnCancel() { reject(); }

void CInstallerDlg::done(int result) {
  timer_.stop();
  QDialog::done(result);
}

void CInstallerDlg::OnTimer() {
  timer_.stop();
  if (!cancel_->isEnabled()) return;  // the steps are running already
  // Once the steps have begun they run to their end; cancelling half-way would leave a
  // codec copied but not registered.
  cancel_->setEnabled(false);
  outcome_ = RunInstallation();
  accept();
}

InstallOutcome CInstallerDlg::RunInstallation() {
  CLicenseDlg licence(this);
  if (Ui().RunModal(licence) != QDialog::Accepted) {
    Ui().Message(QString::fromUtf8(text::kLicenseRefused), MsgIcon::Stop);
    return InstallOutcome::Refused;
  }
  if (!IsSupportedPlatform(env_.systemName)) {
    Ui().Message(QString::fromUtf8(text::kPlatformUnsupported), MsgIcon::Stop);
    return InstallOutcome::Unsupported;
  }
  setWindowTitle(QString::fromUtf8(text::kInstallTitleLinux));

  InstallCodecFile(env_.mediumFolder + "/" + text::kCodecSource, env_.codecFolder);
  RegisterCodec(env_.setSystemValue);

  status_->setText(QString::fromUtf8(text::kStartingSetup));
  status_->repaint();
  if (env_.startProgram(env_.mediumFolder + "/" + text::kSetupProgram) < 0) {
    Ui().Message(QString::fromUtf8(text::kSetupFailed), MsgIcon::Stop);
    return InstallOutcome::SetupMissing;
  }
  return InstallOutcome::SetupStarted;
}

}  // namespace vx::installer
