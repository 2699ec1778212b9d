#pragma once
#include <cstdint>
#include <ctime>
#include <new>

#include "run/run.h"

class OutputSink;

namespace engine {

// The last guard of Pet: nothing is thrown across the library boundary, and
// what escaped is reported, as an out-of-memory failure, not swallowed. The
// report itself may throw again if the sink threw; then it is dropped.
inline std::int32_t reportEscapedException(OutputSink* sink, void* languageModule) noexcept {
  try {
    RunOutput out(sink, languageModule);
    out.say(kErrorLevel, msg::kNetworkTooLarge);
  } catch (...) {
  }
  return kOutOfMemory;
}

}  // namespace engine

// The one export of an engine library. Each library's source defines it with
// its build; nothing is thrown across it.
#define VANTIRO_DEFINE_PET(BUILD)                                                                     \
  extern "C" __attribute__((visibility("default"))) std::int32_t Pet(                                \
      std::uint32_t runFlags, std::uint32_t numberOfNeurons, std::uint32_t inputWindowSize,           \
      std::uint32_t pointsToGenerate, std::uint32_t benchmarkingDataPoints,                           \
      std::uint32_t benchmarkingIterations, double learningRate, double toleranceUnit,                \
      double trainToTolerance, const char* inputFile, const char* outputFile,                         \
      const char* loadStateFile, const char* saveStateFile, OutputSink* sink,                         \
      const std::int32_t* keepRunning, void* languageModule) {                                        \
    const engine::RunParameters parameters{                                                          \
        {runFlags, numberOfNeurons, inputWindowSize, pointsToGenerate, benchmarkingDataPoints,        \
         benchmarkingIterations, learningRate, toleranceUnit, trainToTolerance},                      \
        inputFile,                                                                                    \
        outputFile,                                                                                   \
        loadStateFile,                                                                                \
        saveStateFile,                                                                                \
        sink,                                                                                         \
        keepRunning,                                                                                  \
        languageModule};                                                                              \
    try {                                                                                             \
      /* The only place the engine reads the calendar time: the run's seed. */                        \
      return engine::runEngine<BUILD>(parameters, static_cast<std::uint32_t>(std::time(nullptr)));    \
    } catch (...) {                                                                                   \
      /* Only an allocation inside the C++ library, or the caller's own sink, can throw. */           \
      return engine::reportEscapedException(sink, languageModule);                                    \
    }                                                                                                 \
  }
