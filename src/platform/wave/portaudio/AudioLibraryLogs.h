// The sound libraries' own complaints (ALSA's "cannot find card", JACK's "cannot connect to
// server") go to the debug log instead of the terminal: a machine without cards or without
// a JACK server is normal, not an error to show.
#pragma once

namespace vx::wave {

// Installs the handlers; call before the libraries start. Harmless twice.
void RouteAudioLibraryLogs();

}  // namespace vx::wave
