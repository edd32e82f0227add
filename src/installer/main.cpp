// vxinst: the Velumix installer. It lies at the top of the release folder, beside vx/.
#include <QApplication>
#include <QIcon>

#include "installer/CInstallerDlg.h"
#include "installer/InstallerText.h"
#include "platform/ui/UserInteraction.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("QFL"));
  QApplication::setApplicationName(QStringLiteral("Velumix"));
  QApplication::setApplicationDisplayName(QString::fromUtf8(vx::text::kInstallTitle));
  QApplication::setWindowIcon(QIcon(QString::fromUtf8(vx::text::kInstallerIconResource)));

  vx::installer::CInstallerDlg window(vx::installer::InstallerEnvironment::ForThisMachine());
  vx::Ui().RunModal(window);
  return 0;
}
