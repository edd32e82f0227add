// The mode codes callers keep for a device's "mode" reply: the dialogs and the CD deck decide
// on these codes, not on the reply's words. The reply must match exactly (case-sensitive);
// any other text counts as not ready, so an unknown reply is treated like "no disc".
#pragma once

#include <string_view>

namespace vx::mci {

enum ModeCode : int {
  kModeNotReady = 0,  // "init", "not ready", or anything unknown
  kModeOpen = 1,      // door open / no disc
  kModePaused = 2,
  kModePlaying = 3,
  kModeSeeking = 4,
  kModeStopped = 5,
};

ModeCode ModeCodeOf(std::string_view reply);

// True for the two codes that mean no medium can be played (not ready, open).
inline bool IsNoMedium(ModeCode code) { return code == kModeNotReady || code == kModeOpen; }

}  // namespace vx::mci
