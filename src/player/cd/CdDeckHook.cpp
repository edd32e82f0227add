#include "player/cd/CdDeckHook.h"

#include <memory>

#include "player/cd/CCdPlayerDlg.h"

namespace vx::player {

QWidget* MakeCdDeck(CPlayerApp& app, const CPlayerApp::CdDeckPlace& place) {
  CdDeckSetup setup;
  setup.driveLetter = place.driveLetter;
  setup.deckNumber = place.deckNumber;
  setup.output = place.output;
  setup.colors = app.Colors();
  setup.database = &app.Database();
  setup.host = &app;
  auto deck = std::make_unique<CCdPlayerDlg>(std::move(setup), place.frame);
  if (deck->StartUp() != CCdPlayerDlg::kReady) return nullptr;
  return deck.release();
}

}  // namespace vx::player
