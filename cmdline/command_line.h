#pragma once
#include <cstdint>
#include <vector>

#include "common/run_numbers.h"

// What the console program's arguments ask for. Everything starts at zero or
// absent: there are no defaults.
struct CommandLine : RunNumbers {
  const char* inputFile = nullptr;
  const char* outputFile = nullptr;
  const char* loadStateFile = nullptr;
  const char* saveStateFile = nullptr;
  bool trainSeen = false;
  bool generateSeen = false;
  bool benchmarkSeen = false;
  bool doublePrecision = false;
  bool nnvec2 = false;
  bool sse = false;

  std::uint32_t engineChoice() const;
};

// Scans argv[1..argc−1]. Options match exactly (case and all); an option with a
// value takes the next argument whatever it is. False, for the usage text, on
// an unknown option, an option given last without its value, a clash of
// engine options, or not exactly one mode.
bool parseCommandLine(int argc, char** argv, CommandLine* line);

// The checks made before a run, in order; each failing one adds its message
// number (2 to 14). Message 4 takes 4294967295 as its argument.
std::vector<unsigned> checkCommandLine(const CommandLine& line);
