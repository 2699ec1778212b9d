#include "thread_priority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr int kHighestRaise = 10;

}  // namespace

bool applyThreadPriority(ThreadPriority priority) {
  switch (priority) {
    case ThreadPriority::Idle: {
      sched_param parameter{};
      parameter.sched_priority = 0;
      return pthread_setschedparam(pthread_self(), SCHED_IDLE, &parameter) == 0;
    }
    case ThreadPriority::Normal:
      return true;
    case ThreadPriority::High: {
      // On Linux the nice value of a thread id belongs to that thread alone.
      const auto thread = static_cast<id_t>(syscall(SYS_gettid));
      errno = 0;
      const int current = getpriority(PRIO_PROCESS, thread);
      if (current == -1 && errno != 0) return false;
      // An unprivileged process may go down only to its RLIMIT_NICE: try the
      // largest raise first and settle for the first one it is granted.
      for (int raise = kHighestRaise; raise > 0; --raise) {
        if (setpriority(PRIO_PROCESS, thread, current - raise) == 0) return true;
      }
      return false;
    }
  }
  return false;
}
