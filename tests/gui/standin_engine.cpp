// A stand-in engine library for the run tests: it says what it was given,
// then a Train run waits for its stop request and a Benchmark or Generate run
// waits `benchmarkingIterations` milliseconds, so tests control how long a
// run lasts.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "common/output_sink.h"

extern "C" __attribute__((visibility("default"))) std::int32_t Pet(
    std::uint32_t runFlags, std::uint32_t numberOfNeurons, std::uint32_t inputWindowSize,
    std::uint32_t, std::uint32_t, std::uint32_t benchmarkingIterations, double, double, double,
    const char* inputFile, const char*, const char* loadStateFile, const char* saveStateFile,
    OutputSink* sink, const std::int32_t* keepRunning, void*) {
  char text[512];
  std::snprintf(text, sizeof text, "flags %u H %u W %u in '%s' load %s save '%s'", runFlags,
                numberOfNeurons, inputWindowSize, inputFile,
                loadStateFile == nullptr ? "(none)" : loadStateFile, saveStateFile);
  sink->write(kInfoLevel, text);
  sink->write(kProgressLevel, "progress");
  sink->write(kErrorLevel, "error first\nerror second");
  if (runFlags & 1) {
    // Read as the engine reads it: one atomic load per pass.
    auto& flag = *const_cast<std::int32_t*>(keepRunning);
    for (int passes = 0;
         std::atomic_ref<std::int32_t>(flag).load(std::memory_order_relaxed) != 0 && passes < 60000;
         ++passes) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    sink->write(kInfoLevel, "stand-in stopped");
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(benchmarkingIterations));
    sink->write(kInfoLevel, "stand-in finished");
  }
  return 0;
}
