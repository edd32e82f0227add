// The player's CD deck as the application places it: a started deck window for the first CD
// drive, taking the application's colours, library and key help.
#pragma once

#include "player/CPlayerApp.h"

namespace vx::player {

// The deck, or null when it could not start (the reason was shown).
QWidget* MakeCdDeck(CPlayerApp& app, const CPlayerApp::CdDeckPlace& place);

}  // namespace vx::player
