#include "platform/mci/MciModeCode.h"

namespace vx::mci {

ModeCode ModeCodeOf(std::string_view reply) {
  struct Entry {
    std::string_view word;
    ModeCode code;
  };
  static constexpr Entry kTable[] = {
      {"init", kModeNotReady}, {"not ready", kModeNotReady}, {"open", kModeOpen},
      {"paused", kModePaused}, {"playing", kModePlaying},    {"seeking", kModeSeeking},
      {"stopped", kModeStopped},
  };
  for (const Entry& entry : kTable) {
    if (entry.word == reply) return entry.code;
  }
  return kModeNotReady;
}

}  // namespace vx::mci
