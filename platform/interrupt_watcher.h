#pragma once
#include <functional>
#include <memory>

// Takes Ctrl+C on a thread of its own, so that the work it triggers never runs
// in signal context, and runs `onInterrupt` once for the first Ctrl+C; a
// second Ctrl+C then ends the process at once. On POSIX, SIGINT is blocked in
// the thread that started the watcher (and every thread started later
// inherits the block) and the watcher takes it with sigwait(). On Windows the
// work runs on the console-event thread the system starts for a console
// control handler. stop() (or the destructor) ends the watcher: after it
// returns, `onInterrupt` is not running and will not run.
class InterruptWatcher {
 public:
  explicit InterruptWatcher(std::function<void()> onInterrupt);
  ~InterruptWatcher();
  InterruptWatcher(const InterruptWatcher&) = delete;
  InterruptWatcher& operator=(const InterruptWatcher&) = delete;

  bool running() const { return started_; }
  void stop();

 private:
  struct Watch;  // the platform's thread and what it restores

  std::function<void()> onInterrupt_;
  std::unique_ptr<Watch> watch_;
  bool started_ = false;
};
