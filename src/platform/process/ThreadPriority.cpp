#include "platform/process/ThreadPriority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace vx {

void RaiseToRealTimePriority(std::thread& thread) {
  sched_param param{};
  param.sched_priority = sched_get_priority_max(SCHED_FIFO);
  pthread_setschedparam(thread.native_handle(), SCHED_FIFO, &param);
}

bool LowerCallingThreadBelowNormal() {
  // On Linux the nice value belongs to the thread named by its id, not to the process.
  constexpr int kBelowNormal = 4;
  const id_t thread = static_cast<id_t>(gettid());
  errno = 0;
  const int current = getpriority(PRIO_PROCESS, thread);
  if (current == -1 && errno != 0) return false;
  return setpriority(PRIO_PROCESS, thread, current + kBelowNormal) == 0;
}

}  // namespace vx
