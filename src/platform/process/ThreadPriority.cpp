#include "platform/process/ThreadPriority.h"

#include <pthread.h>
#include <sched.h>

namespace vx {

void RaiseToRealTimePriority(std::thread& thread) {
  sched_param param{};
  param.sched_priority = sched_get_priority_max(SCHED_FIFO);
  pthread_setschedparam(thread.native_handle(), SCHED_FIFO, &param);
}

}  // namespace vx
