#pragma once
#include <string>
#include <vector>

namespace forecast {

// How far a forecast lies from the values it forecast, in the series' units.
// The relative figures are fractions (0.05 is 5%); a true value of 0 makes
// them infinite.
struct Accuracy {
  double meanAbsoluteError = 0;
  double rootMeanSquareError = 0;
  double meanAbsolutePercentError = 0;  // a fraction, shown as a percentage
  double largestRelativeError = 0;      // max |forecast / actual - 1|, as the engine measures
};

Accuracy measureAccuracy(const std::vector<double>& actual, const std::vector<double>& forecast);

// The two forecasts any method must beat, for `count` values after `history`.
std::vector<double> lastValueForecast(const std::vector<double>& history, std::size_t count);
// The straight line through the first and the last value of the history, continued.
std::vector<double> driftForecast(const std::vector<double>& history, std::size_t count);

}  // namespace forecast
