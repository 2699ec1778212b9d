#pragma once
#include <cstdint>

namespace engine {

// What a run returns; exactly one per run, distinct bits.
enum ResultCode : std::int32_t {
  kOk = 0,
  // The kernel set asked for through the environment is not available. Bit 0,
  // unused by the other codes, so that the console's exit status stays nonzero.
  kInstructionSetMissing = 1,
  kTooFewPoints = 2,
  kInputFileError = 4,
  kStateFileCorrupt = 8,
  kStateSaveFailed = 16,
  kOutputFileError = 32,
  kStateRequired = 64,
  kOutOfMemory = 128,
};

// Message numbers the engine issues.
namespace msg {
constexpr unsigned kRunStarted = 38;
constexpr unsigned kInputNotOpened = 39;
constexpr unsigned kTooFewLines = 40;
constexpr unsigned kSeriesTooLarge = 41;
constexpr unsigned kLineNotRead = 42;
constexpr unsigned kTooFewDataPoints = 43;
constexpr unsigned kDataPointsTooMany = 44;
constexpr unsigned kNetworkTooLarge = 45;
constexpr unsigned kLoadingTextState = 46;
constexpr unsigned kLoadingBinaryState = 47;
constexpr unsigned kStateMalformed = 48;
constexpr unsigned kStateRequired = 49;
constexpr unsigned kBenchmarkStarting = 50;
constexpr unsigned kProgress = 51;
constexpr unsigned kSavingTextState = 52;
constexpr unsigned kSavingBinaryState = 53;
constexpr unsigned kStateNotCreated = 54;
constexpr unsigned kStateWriteFailed = 55;
constexpr unsigned kTrainingDone = 56;
constexpr unsigned kBenchmarkDone = 57;
constexpr unsigned kOutputNotCreated = 58;
constexpr unsigned kGenerating = 59;
constexpr unsigned kGenerationDone = 60;
}  // namespace msg

// Message levels.
constexpr std::uint32_t kProgressLevel = 0;
constexpr std::uint32_t kInfoLevel = 1;
constexpr std::uint32_t kErrorLevel = 2;

}  // namespace engine
