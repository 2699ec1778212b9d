#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "platform/thread_priority.h"
#include "run_request.h"

// The list threshold of a run: progress is left out of Benchmark runs.
std::uint32_t listThresholdFor(std::uint32_t runFlags);

// The worker's procedure: loads the chosen engine library, calls Pet once and
// gives the window back. Returns Pet's result, or 1 when the library or its
// Pet is missing.
int runWorker(std::unique_ptr<RunRequest> request);

// Starts `runWorker` on a new thread at `priority`. On failure the request
// comes back untouched in `request`, `error` holds the reason and false is
// returned.
bool startWorkerThread(std::unique_ptr<RunRequest>& request, ThreadPriority priority,
                       std::thread* thread, int* error);

// The deferred close: polls `runActive` every `pollMilliseconds` until it is
// 0, then calls `close` once.
template <typename Close>
void waitAndClose(const std::atomic<std::int32_t>* runActive, int pollMilliseconds, Close close) {
  while (runActive->load() != 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(pollMilliseconds));
  close();
}
