// A stand-in engine library for the Forecast window's tests: a Train run
// reports a new low every few dozen microseconds until it is asked to stop
// (many more than a real engine on a small series, to press the window), then
// saves a state of zeros; a Train pass at learning rate 0 reports one error
// and saves the state it loaded; Generate writes 1 for every value asked.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "common/output_sink.h"

namespace {

bool stopped(const std::int32_t* keepRunning) {
  return std::atomic_ref<std::int32_t>(*const_cast<std::int32_t*>(keepRunning))
             .load(std::memory_order_relaxed) == 0;
}

void report(OutputSink* sink, double error) {
  char text[96];
  std::snprintf(text, sizeof text, "Largest relative error of the pass: %g", error);
  sink->write(kProgressLevel, text);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) std::int32_t Pet(
    std::uint32_t runFlags, std::uint32_t neurons, std::uint32_t window,
    std::uint32_t pointsToGenerate, std::uint32_t, std::uint32_t, double learningRate, double,
    double, const char*, const char* outputFile, const char* loadStateFile,
    const char* saveStateFile, OutputSink* sink, const std::int32_t* keepRunning, void*) {
  if (runFlags & 2) {
    std::ofstream out(outputFile);
    for (std::uint32_t i = 0; i < pointsToGenerate; ++i) out << "1\n";
    return out ? 0 : 32;
  }
  if (learningRate == 0 && loadStateFile != nullptr) {
    report(sink, 0.5);
    while (!stopped(keepRunning)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::ifstream in(loadStateFile, std::ios::binary);
    const std::string state((std::istreambuf_iterator<char>(in)), {});
    std::ofstream(saveStateFile, std::ios::binary) << state;
    return 0;
  }
  double error = 10;
  while (!stopped(keepRunning)) {
    report(sink, error);
    error *= 0.9999;
    std::this_thread::sleep_for(std::chrono::microseconds(20));
  }
  std::ofstream(saveStateFile, std::ios::binary)
      << std::string(4 * (1 + static_cast<std::size_t>(neurons) * window + neurons), '\0');
  return 0;
}
