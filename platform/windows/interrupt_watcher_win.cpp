#include "platform/interrupt_watcher.h"

#include <windows.h>

#include <mutex>
#include <utility>

// Windows runs a console control handler on a thread it starts for the event,
// the console-event thread: the work is done there, never in an interrupt.
// A handler takes no argument, so the one watcher of the process is reached
// through a pointer guarded by a lock that stop() also takes.
namespace {

std::mutex watcherLock;
InterruptWatcher* activeWatcher = nullptr;
bool interrupted = false;

}  // namespace

struct InterruptWatcher::Watch {
  static BOOL WINAPI handler(DWORD event);
};

BOOL WINAPI InterruptWatcher::Watch::handler(DWORD event) {
  if (event != CTRL_C_EVENT) return FALSE;  // Ctrl+Break, closing: the system's way
  std::lock_guard<std::mutex> hold(watcherLock);
  // The second Ctrl+C goes on to the default handler, which ends the process.
  if (activeWatcher == nullptr || interrupted) return FALSE;
  interrupted = true;
  activeWatcher->onInterrupt_();
  return TRUE;
}

InterruptWatcher::InterruptWatcher(std::function<void()> onInterrupt)
    : onInterrupt_(std::move(onInterrupt)), watch_(std::make_unique<Watch>()) {
  std::lock_guard<std::mutex> hold(watcherLock);
  if (activeWatcher != nullptr) return;  // one at a time, as with a signal
  // A program started with Ctrl+C ignored (CREATE_NEW_PROCESS_GROUP) takes it again.
  SetConsoleCtrlHandler(nullptr, FALSE);
  if (SetConsoleCtrlHandler(&Watch::handler, TRUE) == 0) return;
  activeWatcher = this;
  interrupted = false;
  started_ = true;
}

InterruptWatcher::~InterruptWatcher() { stop(); }

void InterruptWatcher::stop() {
  if (!started_) return;
  started_ = false;
  SetConsoleCtrlHandler(&Watch::handler, FALSE);
  // A handler already running finishes before the lock is ours.
  std::lock_guard<std::mutex> hold(watcherLock);
  activeWatcher = nullptr;
}
