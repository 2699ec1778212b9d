#pragma once
#include <cstdint>
#include <ctime>
#include <new>

#include "run.h"

class OutputSink;

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
    const engine::RunParameters parameters{runFlags,         numberOfNeurons,                         \
                                           inputWindowSize,  pointsToGenerate,                        \
                                           benchmarkingDataPoints, benchmarkingIterations,            \
                                           learningRate,     toleranceUnit,                           \
                                           trainToTolerance, inputFile,                               \
                                           outputFile,       loadStateFile,                           \
                                           saveStateFile,    sink,                                    \
                                           keepRunning,      languageModule};                         \
    try {                                                                                             \
      /* The only place the engine reads the calendar time: the run's seed. */                        \
      return engine::runEngine<BUILD>(parameters, static_cast<std::uint32_t>(std::time(nullptr)));    \
    } catch (...) {                                                                                   \
      return engine::kOutOfMemory; /* only an allocation inside the C++ library can throw */          \
    }                                                                                                 \
  }
