// vxplayer: the Velumix live player.
#include <QApplication>
#include <QMainWindow>

#include <clocale>
#include <memory>

#include "platform/ui/TerminationSignals.h"
#include "player/CControlPanelDlg.h"
#include "player/CPlayerApp.h"
#include "player/HostDeckAccess.h"
#include "player/PlayerText.h"
#include "player/cd/CdDeckHook.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Qt takes the user's locale; numbers in SQL, settings and reports stay in the C form.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationDisplayName(QString::fromUtf8(vx::text::kPlayerTitle));
  // The player ends when its frame closes (Exit, or the window's close box).
  QApplication::setQuitOnLastWindowClosed(true);

  // The control panel reaches the decks through the application, which exists only once
  // the environment is handed over; the deck access outlives the panel.
  vx::player::CPlayerApp* app = nullptr;
  std::unique_ptr<vx::player::HostDeckAccess> decks;
  vx::player::CPlayerApp::Environment environment;
  environment.makeControlPanel = [&](QWidget* frame) -> QWidget* {
    decks = std::make_unique<vx::player::HostDeckAccess>(*app);
    vx::player::ControlPanelHooks hooks;
    hooks.openPreferences = [&] { app->OnPreferences(); };
    hooks.showHelp = [&](QWidget* caller, const QString& title, const QString& text) {
      app->ShowHelp(caller, title, text);
    };
    hooks.endPlayer = [&] { app->Frame()->close(); };
    return new vx::player::CControlPanelDlg(app->Database(), *decks, app->Colors(), hooks,
                                            frame);
  };
  environment.makeCdDeck = vx::player::MakeCdDeck;
  vx::player::CPlayerApp player(std::move(environment));
  app = &player;
  // SIGTERM and SIGINT close the frame once the modal windows are cancelled: the usual
  // exit follows (decks closed, library closed, lock released).
  vx::TerminationSignals::Install([&player] {
    if (player.Frame() != nullptr) {
      player.Frame()->close();
    } else {
      QApplication::quit();
    }
  });
  return player.Run();
}
