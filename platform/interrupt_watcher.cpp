#include "interrupt_watcher.h"

#include <pthread.h>
#include <signal.h>

#include <utility>

namespace {

// The watcher is woken with this signal when it is to end without an interrupt.
constexpr int kStopSignal = SIGUSR2;

sigset_t watchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, kStopSignal);
  return set;
}

}  // namespace

struct InterruptWatcher::Watch {
  static void* threadMain(void* self);
  pthread_t thread{};
  sigset_t previousMask{};
};

InterruptWatcher::InterruptWatcher(std::function<void()> onInterrupt)
    : onInterrupt_(std::move(onInterrupt)), watch_(std::make_unique<Watch>()) {
  const sigset_t set = watchedSignals();
  if (pthread_sigmask(SIG_BLOCK, &set, &watch_->previousMask) != 0) return;
  // Any SIGINT from now on is pending until the watcher takes it.
  signal(SIGINT, SIG_DFL);
  if (pthread_create(&watch_->thread, nullptr, &Watch::threadMain, this) != 0) {
    pthread_sigmask(SIG_SETMASK, &watch_->previousMask, nullptr);
    return;
  }
  started_ = true;
}

InterruptWatcher::~InterruptWatcher() { stop(); }

void InterruptWatcher::stop() {
  if (!started_) return;
  started_ = false;
  pthread_kill(watch_->thread, kStopSignal);
  pthread_join(watch_->thread, nullptr);
  // A Ctrl+C that arrives from here on takes its default action again.
  pthread_sigmask(SIG_SETMASK, &watch_->previousMask, nullptr);
}

void* InterruptWatcher::Watch::threadMain(void* self) {
  auto* watcher = static_cast<InterruptWatcher*>(self);
  sigset_t waitFor = watchedSignals();
  bool interrupted = false;
  for (;;) {
    int signalNumber = 0;
    if (sigwait(&waitFor, &signalNumber) != 0) continue;
    if (signalNumber == kStopSignal) return nullptr;
    if (signalNumber == SIGINT && !interrupted) {
      interrupted = true;
      watcher->onInterrupt_();
      // From now on this thread lets SIGINT through with its default action:
      // the second Ctrl+C ends the process.
      sigset_t onlyInt;
      sigemptyset(&onlyInt);
      sigaddset(&onlyInt, SIGINT);
      sigdelset(&waitFor, SIGINT);
      pthread_sigmask(SIG_UNBLOCK, &onlyInt, nullptr);
    }
  }
}
