// Thread priorities: raising a time-critical thread (an audio engine, a metronome clock) to
// the highest real-time priority the system grants (without real-time rights the call is
// refused and the thread keeps its normal priority), and lowering a background worker below
// normal so that it never competes with the user interface.
#pragma once

#include <thread>

namespace vx {

void RaiseToRealTimePriority(std::thread& thread);

// Lowers the calling thread below normal priority (a higher nice value for this thread
// only). Answers false when the system refused; the thread then keeps its priority.
bool LowerCallingThreadBelowNormal();

}  // namespace vx
