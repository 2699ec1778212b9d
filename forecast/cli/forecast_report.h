#pragma once
#include <string>

#include "forecast/forecast_runs.h"
#include "forecast/series_reader.h"
#include "forecast_options.h"

namespace forecast {

// The text the program prints: the accuracy table of a check, the summary of
// a forecast ahead. Figures in the series' units, relative ones in percent.
std::string checkReport(const ForecastOptions& options, const Series& series,
                        const HoldoutResult& result);
std::string aheadReport(const ForecastOptions& options, const Series& series,
                        const AheadResult& result);

// A relative error (a fraction) as a percentage; "inf" when a true value was 0.
std::string percentText(double fraction);

}  // namespace forecast
