#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/interrupt_watcher.h"

namespace {

using namespace std::chrono_literals;

bool waitFor(const std::atomic<int>& value, int wanted) {
  for (int i = 0; i < 400 && value.load() != wanted; ++i) std::this_thread::sleep_for(5ms);
  return value.load() == wanted;
}

bool sigintBlockedHere() {
  sigset_t mask;
  pthread_sigmask(SIG_SETMASK, nullptr, &mask);
  return sigismember(&mask, SIGINT) == 1;
}

// The work of a Ctrl+C runs on the watcher's own thread while the thread that
// started it is busy (as the engine is), and the process lives on.
TEST(InterruptWatcher, RunsTheWorkOnItsOwnThreadOnce) {
  std::atomic<int> calls{0};
  std::thread::id workThread;
  {
    InterruptWatcher watcher([&] {
      workThread = std::this_thread::get_id();
      calls.fetch_add(1);
    });
    ASSERT_TRUE(watcher.running());
    EXPECT_TRUE(sigintBlockedHere());
    kill(getpid(), SIGINT);
    EXPECT_TRUE(waitFor(calls, 1));
    EXPECT_NE(workThread, std::this_thread::get_id());
  }
  EXPECT_EQ(calls.load(), 1);
  EXPECT_FALSE(sigintBlockedHere()) << "stopping must give SIGINT back to the thread";
}

TEST(InterruptWatcher, StopWithoutInterruptRunsNothing) {
  std::atomic<int> calls{0};
  InterruptWatcher watcher([&] { calls.fetch_add(1); });
  watcher.stop();
  EXPECT_FALSE(watcher.running());
  watcher.stop();  // twice is harmless
  EXPECT_EQ(calls.load(), 0);
  EXPECT_FALSE(sigintBlockedHere());
}

// stop() while the work is running waits for it to finish.
TEST(InterruptWatcher, StopWaitsForRunningWork) {
  std::atomic<int> state{0};
  InterruptWatcher watcher([&] {
    state.store(1);
    std::this_thread::sleep_for(150ms);
    state.store(2);
  });
  kill(getpid(), SIGINT);
  ASSERT_TRUE(waitFor(state, 1));
  watcher.stop();
  EXPECT_EQ(state.load(), 2);
}

TEST(InterruptWatcherDeathTest, SecondInterruptEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::atomic<int> calls{0};
        InterruptWatcher watcher([&] { calls.fetch_add(1); });
        kill(getpid(), SIGINT);
        if (!waitFor(calls, 1)) _exit(3);
        kill(getpid(), SIGINT);
        std::this_thread::sleep_for(2s);
        _exit(4);  // not reached when the second Ctrl+C ends the process
      },
      ::testing::KilledBySignal(SIGINT), "");
}

}  // namespace
