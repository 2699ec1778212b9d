#pragma once
#include <pthread.h>

#include <functional>

// Takes Ctrl+C (SIGINT) on a thread of its own, so that the work it triggers
// never runs in signal context. While it runs, SIGINT is blocked in the thread
// that started it, and every thread started later inherits the block; the
// watcher takes the first SIGINT with sigwait(), restores the default action
// and runs `onInterrupt` once. A second Ctrl+C then ends the process at once.
// stop() (or the destructor) ends the watcher: after it returns, `onInterrupt`
// is not running and will not run.
class InterruptWatcher {
 public:
  explicit InterruptWatcher(std::function<void()> onInterrupt);
  ~InterruptWatcher();
  InterruptWatcher(const InterruptWatcher&) = delete;
  InterruptWatcher& operator=(const InterruptWatcher&) = delete;

  bool running() const { return started_; }
  void stop();

 private:
  static void* threadMain(void* self);

  std::function<void()> onInterrupt_;
  pthread_t thread_{};
  sigset_t previousMask_{};
  bool started_ = false;
};
