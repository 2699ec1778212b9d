#pragma once
#include <string>
#include <vector>

namespace forecast {

// The network learns best from values near 1 (its units respond to sums near 0,
// and its error is relative), so every series is divided by a factor before it
// reaches the engine and every value coming back is multiplied by it again.

// A round power of ten that brings the typical (median) magnitude to between
// about 0.3 and 3; 1 for a series of zeros.
double automaticScaleFactor(const std::vector<double>& values);

std::vector<double> scaledDown(const std::vector<double>& values, double factor);
std::vector<double> scaledUp(const std::vector<double>& values, double factor);

// What is kept beside a state file in "<state>.scale", one line: the factor
// first (so that a script can read it alone), then the network's sizes and the
// engine that wrote the state, which the state file itself cannot tell.
struct ScaleRecord {
  double factor = 1.0;
  unsigned neurons = 0;
  unsigned window = 0;
  std::string engine;  // single, double, sse or nnvec2
};

std::string scaleFilePath(const std::string& statePath);
std::string formatScaleRecord(const ScaleRecord& record);
bool parseScaleRecord(const std::string& text, ScaleRecord* record, std::string* error);

}  // namespace forecast
