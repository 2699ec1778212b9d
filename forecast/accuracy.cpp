#include "accuracy.h"

#include <cmath>
#include <limits>

namespace forecast {

Accuracy measureAccuracy(const std::vector<double>& actual, const std::vector<double>& forecast) {
  Accuracy a;
  const std::size_t n = std::min(actual.size(), forecast.size());
  if (n == 0) return a;
  double absSum = 0, squareSum = 0, relativeSum = 0, relativeMax = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double difference = forecast[i] - actual[i];
    absSum += std::fabs(difference);
    squareSum += difference * difference;
    const double relative = actual[i] != 0.0 ? std::fabs(difference / actual[i])
                                             : (difference == 0.0 ? 0.0
                                                : std::numeric_limits<double>::infinity());
    relativeSum += relative;
    relativeMax = std::max(relativeMax, relative);
  }
  a.meanAbsoluteError = absSum / n;
  a.rootMeanSquareError = std::sqrt(squareSum / n);
  a.meanAbsolutePercentError = relativeSum / n;
  a.largestRelativeError = relativeMax;
  return a;
}

std::vector<double> lastValueForecast(const std::vector<double>& history, std::size_t count) {
  if (history.empty()) return {};
  return std::vector<double>(count, history.back());
}

std::vector<double> driftForecast(const std::vector<double>& history, std::size_t count) {
  if (history.empty()) return {};
  const double slope =
      history.size() > 1 ? (history.back() - history.front()) / (history.size() - 1.0) : 0.0;
  std::vector<double> out;
  for (std::size_t h = 1; h <= count; ++h) out.push_back(history.back() + slope * h);
  return out;
}

}  // namespace forecast
