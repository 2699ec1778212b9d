#pragma once
#include <atomic>
#include <cstdint>

#include "common/run_numbers.h"

class OutputSink;

namespace engine {

// Bits of runFlags.
constexpr std::uint32_t kTrainFlag = kRunTrain;
constexpr std::uint32_t kGenerateFlag = kRunGenerate;
constexpr std::uint32_t kLoadConversionStateFlag = kRunLoadConversionState;
constexpr std::uint32_t kSaveConversionStateFlag = kRunSaveConversionState;

// The sixteen arguments of one run, as the front end passed them.
struct RunParameters : RunNumbers {
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
// std::atomic_ref wants a modifiable object; the load only reads it.
inline bool keepRunningSet(const std::int32_t* keepRunning) {
  if (keepRunning == nullptr) return true;
  auto& flag = *const_cast<std::int32_t*>(keepRunning);
  return std::atomic_ref<std::int32_t>(flag).load(std::memory_order_relaxed) != 0;
}

}  // namespace engine
