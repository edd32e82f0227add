// compress_runner LIBRARY TICK_MS: runs the recorder's "Compress all songs" dialog over a
// library as the recorder does, presses Go! and waits for the run to complete. Prints "go"
// once the songs are counted and the run starts, so a test can kill it at chosen moments of
// the run. Messages go to standard error at the end; exits 0 when the run completed.
#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "compression/CCompressSongsDlg.h"
#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"
#include "support/ScriptedUi.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: compress_runner LIBRARY TICK_MS\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  vx::test::ScriptedUi ui;  // messages answer at once; they are printed at the end
  const std::string library = argv[1];
  vx::dao::DaoDatabase database;
  database.Open(library + "/Velumix.vxl");

  vx::CCompressSongsDlg::Environment env;
  env.tick = std::chrono::milliseconds(std::atoi(argv[2]));
  vx::CCompressSongsDlg dialog(database, vx::SongsFolder(library), env);
  if (!dialog.OnInitDialog()) return 1;
  std::printf("go\n");
  std::fflush(stdout);
  dialog.OnGo();
  while (!dialog.IsComplete() && dialog.Thread() != nullptr) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  const bool complete = dialog.IsComplete();
  dialog.accept();
  for (const QString& text : ui.Texts()) {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
  }
  return complete ? 0 : 1;
}
