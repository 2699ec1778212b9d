#include "platform/thread_priority.h"

#include <windows.h>

bool applyThreadPriority(ThreadPriority priority) {
  int level = THREAD_PRIORITY_NORMAL;
  switch (priority) {
    case ThreadPriority::Idle: level = THREAD_PRIORITY_IDLE; break;
    case ThreadPriority::Normal: level = THREAD_PRIORITY_NORMAL; break;
    case ThreadPriority::High: level = THREAD_PRIORITY_HIGHEST; break;
  }
  return SetThreadPriority(GetCurrentThread(), level) != 0;
}
