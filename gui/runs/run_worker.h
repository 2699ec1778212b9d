#pragma once
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <variant>

#include "common/run_numbers.h"
#include "list_box_sink.h"
#include "platform/thread_priority.h"

class RunWindow;

// The engine reads the run flag through a plain `const int32_t*` with an
// atomic load; the dialog keeps it as an atomic of the same size and layout.
static_assert(std::atomic<std::int32_t>::is_always_lock_free);
static_assert(sizeof(std::atomic<std::int32_t>) == sizeof(std::int32_t));
static_assert(alignof(std::atomic<std::int32_t>) == alignof(std::int32_t));

// One run: made by Begin on the window's thread, handed to the worker, and
// released by the worker with everything it owns when the run is over.
struct RunRequest : RunNumbers {
  std::uint32_t engineChoice = 0;
  RunWindow* window = nullptr;
  // Where the engine libraries are looked for; empty: by bare name, the
  // loader's own search (the program's directory first).
  std::string engineDirectory;

  std::string inputFile;
  std::string outputFile;
  std::optional<std::string> loadStateFile;  // absent when the field is empty
  std::string saveStateFile;
  std::variant<std::monostate, ListBoxSink, ListBoxLogSink> sink;
  std::atomic<std::int32_t>* keepRunning = nullptr;
  std::atomic<std::int32_t>* runActive = nullptr;
  void* languageModule = nullptr;

  OutputSink* outputSink();
};

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
