#pragma once
#include <cstdint>
#include <limits>

#include "common/engine_choice.h"

class OutputSink;

// Bits of runFlags: the mode (neither of the first two means Benchmark) and the
// text form of the state files read and written.
constexpr std::uint32_t kRunTrain = 1;
constexpr std::uint32_t kRunGenerate = 2;
constexpr std::uint32_t kRunLoadConversionState = 4;
constexpr std::uint32_t kRunSaveConversionState = 8;

// The largest product of the hidden units and the window a front end lets
// through (a larger one is refused before any engine is asked); the refusal's
// message names it.
inline constexpr std::uint32_t kLargestSizeProduct = std::numeric_limits<std::uint32_t>::max();

// The numbers of one run, as both front ends collect them and the engine
// receives them. The file names and the run's companions (sink, stop flag,
// string table) stay with each side, which holds them its own way.
struct RunNumbers {
  std::uint32_t runFlags = 0;
  std::uint32_t numberOfNeurons = 0;
  std::uint32_t inputWindowSize = 0;
  std::uint32_t pointsToGenerate = 0;
  std::uint32_t benchmarkingDataPoints = 0;
  std::uint32_t benchmarkingIterations = 0;
  double learningRate = 0.0;
  double toleranceUnit = 0.0;
  double trainToTolerance = 0.0;
};

// One call of an engine's Pet with the numbers and the rest of its arguments,
// in the order the export takes them.
inline std::int32_t callPet(PetFunction pet, const RunNumbers& n, const char* inputFile,
                            const char* outputFile, const char* loadStateFile,
                            const char* saveStateFile, OutputSink* sink,
                            const std::int32_t* keepRunning, void* languageModule) {
  return pet(n.runFlags, n.numberOfNeurons, n.inputWindowSize, n.pointsToGenerate,
             n.benchmarkingDataPoints, n.benchmarkingIterations, n.learningRate, n.toleranceUnit,
             n.trainToTolerance, inputFile, outputFile, loadStateFile, saveStateFile, sink,
             keepRunning, languageModule);
}
