// SIGTERM and SIGINT end a program in order instead of killing it. The signal handler only
// writes to a pipe; on the user-interface thread the program's modal windows (dialogs,
// message boxes) are then cancelled one by one, innermost first, as if the user pressed
// Cancel, and finally `end` runs, which ends the program's main loop, so the program leaves
// by its usual exit path (devices closed, settings written, library closed). A second
// signal while that runs kills the program at once.
#pragma once

#include <functional>

namespace vx {

class TerminationSignals {
 public:
  // Installs the handlers; call once, after the application object exists.
  static void Install(std::function<void()> end);
  // True once a signal asked the program to end.
  static bool Received();
};

}  // namespace vx
