#pragma once
#include <cstdint>

// Bits of the user's engine choice.
constexpr std::uint32_t kEngineDouble = 1;
constexpr std::uint32_t kEngineNnvec2 = 2;
constexpr std::uint32_t kEngineSse = 4;

// The engine library for a choice; the first rule that applies wins: double
// precision, then the pair build, then the four-lane build, else the reference.
inline const char* selectEngineLibrary(std::uint32_t engineChoice) {
  if (engineChoice & kEngineDouble) return "nndouble.dll";
  if (engineChoice & kEngineNnvec2) return "nnvec2.dll";
  if (engineChoice & kEngineSse) return "nnvec4.dll";
  return "nnsingle.dll";
}

// The engine library's one export.
class OutputSink;
using PetFunction = std::int32_t (*)(std::uint32_t runFlags, std::uint32_t numberOfNeurons,
                                     std::uint32_t inputWindowSize, std::uint32_t pointsToGenerate,
                                     std::uint32_t benchmarkingDataPoints,
                                     std::uint32_t benchmarkingIterations, double learningRate,
                                     double toleranceUnit, double trainToTolerance,
                                     const char* inputFile, const char* outputFile,
                                     const char* loadStateFile, const char* saveStateFile,
                                     OutputSink* sink, const std::int32_t* keepRunning,
                                     void* languageModule);
