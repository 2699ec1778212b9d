#pragma once
#include <cstdint>

class OutputSink;

namespace engine {

// Bits of runFlags.
constexpr std::uint32_t kTrainFlag = 1;
constexpr std::uint32_t kGenerateFlag = 2;
constexpr std::uint32_t kLoadConversionStateFlag = 4;
constexpr std::uint32_t kSaveConversionStateFlag = 8;

// The sixteen arguments of one run, as the front end passed them.
struct RunParameters {
  std::uint32_t runFlags = 0;
  std::uint32_t numberOfNeurons = 0;
  std::uint32_t inputWindowSize = 0;
  std::uint32_t pointsToGenerate = 0;
  std::uint32_t benchmarkingDataPoints = 0;
  std::uint32_t benchmarkingIterations = 0;
  double learningRate = 0.0;
  double toleranceUnit = 0.0;
  double trainToTolerance = 0.0;
  const char* inputFile = nullptr;
  const char* outputFile = nullptr;
  const char* loadStateFile = nullptr;
  const char* saveStateFile = nullptr;
  OutputSink* sink = nullptr;
  const std::int32_t* keepRunning = nullptr;
  void* languageModule = nullptr;

  bool train() const { return (runFlags & kTrainFlag) != 0; }
  bool generate() const { return (runFlags & kGenerateFlag) != 0; }
  bool benchmark() const { return (runFlags & (kTrainFlag | kGenerateFlag)) == 0; }
  bool loadAsText() const { return (runFlags & kLoadConversionStateFlag) != 0; }
  bool saveAsText() const { return (runFlags & kSaveConversionStateFlag) != 0; }
};

// The front end's stop request; read without a lock, as it may change at any moment.
inline bool keepRunningSet(const std::int32_t* keepRunning) {
  return keepRunning == nullptr || __atomic_load_n(keepRunning, __ATOMIC_RELAXED) != 0;
}

}  // namespace engine
