#pragma once
#include <string>

#include "common/run_numbers.h"

// The run parameters as values, as the last successful read of each field
// left them: the numbers a run takes, and the file names as the fields hold
// them. runFlags stays 0 here; Begin makes it from the mode and the two
// boxes. All zero and empty until the first exchange.
struct ParameterValues : RunNumbers {
  std::string inputFile;
  std::string outputFile;
  std::string saveStateFile;
  std::string loadStateFile;
};
