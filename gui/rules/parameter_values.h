#pragma once
#include <cstdint>
#include <string>

// The run parameters as values, as the last successful read of each field
// left them. All zero and empty until the first exchange.
struct ParameterValues {
  std::uint32_t numberOfNeurons = 0;
  std::uint32_t inputWindowSize = 0;
  double learningRate = 0.0;
  double toleranceUnit = 0.0;
  double trainToTolerance = 0.0;
  std::uint32_t benchmarkingIterations = 0;
  std::uint32_t benchmarkingDataPoints = 0;
  std::string inputFile;
  std::string outputFile;
  std::uint32_t pointsToGenerate = 0;
  std::string saveStateFile;
  std::string loadStateFile;
};
