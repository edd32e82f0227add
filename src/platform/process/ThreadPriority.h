// Raising a time-critical thread (an audio engine, a metronome clock) to the highest
// real-time priority the system grants. Without real-time rights the call is refused and
// the thread simply keeps its normal priority.
#pragma once

#include <thread>

namespace vx {

void RaiseToRealTimePriority(std::thread& thread);

}  // namespace vx
