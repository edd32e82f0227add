// vxrec: the Velumix recorder and library manager.
#include <QApplication>
#include <QIcon>

#include <clocale>

#include "platform/ui/TerminationSignals.h"
#include "platform/ui/UserInteraction.h"
#include "recorder/CRecorderApp.h"
#include "recorder/CRecorderMainWindow.h"
#include "recorder/RecorderText.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Qt takes the user's locale; numbers in SQL, settings and reports stay in the C form.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationDisplayName(QString::fromUtf8(vx::text::kRecorderTitle));
  QApplication::setWindowIcon(QIcon(QString::fromUtf8(vx::text::kIconResource)));

  vx::CRecorderApp::Environment environment;
  environment.runMainWindow = [](vx::CRecorderApp& app) {
    vx::CRecorderMainWindow window(vx::RecorderState::FromApp(app), {});
    vx::Ui().RunModal(window);
  };
  // SIGTERM and SIGINT cancel the open dialogs and the main window, so the recorder ends
  // as when its main window closes (takes discarded, library closed, lock released).
  vx::TerminationSignals::Install(nullptr);
  vx::CRecorderApp app(std::move(environment));
  return app.Run();
}
