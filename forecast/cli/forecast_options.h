#pragma once
#include <string>
#include <vector>

#include "forecast/forecast_runs.h"
#include "forecast/series_reader.h"

namespace forecast {

// What the command line asks for.
struct ForecastOptions {
  enum class Command { help, check, ahead, stateError } command = Command::help;
  std::string seriesPath;
  ColumnChoice column;
  unsigned holdBack = 0;  // check
  unsigned points = 0;    // ahead
  NetworkSettings network;
  std::uint32_t engineChoice = 0;
  bool engineGiven = false, neuronsGiven = false, windowGiven = false, scaleGiven = false;
  std::string svgPath;
  std::string outputPath;     // ahead: the forecast CSV
  std::string saveStatePath;  // ahead: keep the trained state (and its .scale)
  std::string statePath;      // ahead, error: use this state instead of training
};

// The program's exit codes, as its help and man page list them.
enum ExitCode {
  kExitOk = 0,
  kExitUsage = 1,   // the command line is wrong
  kExitInput = 2,   // the series, the state or its .scale file is refused
  kExitEngine = 3,  // an engine library cannot be loaded or its run failed
  kExitOutput = 4,  // an output file cannot be written
};

// Parses the arguments after the program name; false with a one-line reason.
bool parseForecastOptions(const std::vector<std::string>& arguments, ForecastOptions* options,
                          std::string* error);

const char* forecastUsage();

}  // namespace forecast
