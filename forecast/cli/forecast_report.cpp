#include "forecast_report.h"

#include <cmath>
#include <cstdio>

namespace forecast {
namespace {

// The series' name: its column's header, else its file's name.
std::string seriesName(const ForecastOptions& o, const Series& series) {
  if (!series.columnName.empty()) return series.columnName;
  return o.seriesPath.substr(o.seriesPath.rfind('/') + 1);
}

std::string format(const char* pattern, double v) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, v);
  return text;
}

std::string networkLine(const ForecastOptions& o, double factor) {
  return "Network: neurons " + std::to_string(o.network.neurons) + ", window " +
         std::to_string(o.network.window) + ", rate " + format("%g", o.network.rate) +
         ", engine " + engineName(o.engineChoice) + "; series divided by " +
         format("%g", factor) + "\n";
}

std::string trainingLine(const TrainingReport& t, double savedError) {
  return "Training: " + format("%.1f", t.seconds) + " s, " + std::to_string(t.lows.size()) +
         " new lows, best pass error " + percentText(t.bestError) +
         "; error of the state as saved " + percentText(savedError) + "\n";
}

}  // namespace

std::string percentText(double fraction) {
  if (!std::isfinite(fraction)) return "inf";
  return format("%.1f%%", fraction * 100);
}

std::string checkReport(const ForecastOptions& o, const Series& series, const HoldoutResult& r) {
  const std::size_t n = r.training.size();
  std::string text = "Hold-out check of " +
                     seriesName(o, series) +
                     ": trained on values 1-" + std::to_string(n) + ", forecast " +
                     std::to_string(n + 1) + "-" + std::to_string(n + r.heldBack.size()) + "\n";
  text += networkLine(o, r.scaleFactor);
  text += trainingLine(r.training_run, r.savedStateError);
  text += "\n";
  char line[160];
  std::snprintf(line, sizeof line, "%-12s %12s %12s %9s %14s\n", "forecast", "MAE", "RMSE", "MAPE",
                "largest rel.");
  text += line;
  for (std::size_t i = 0; i < r.forecasts.size(); ++i) {
    const auto& f = r.forecasts[i];
    std::snprintf(line, sizeof line, "%-12s %12.4g %12.4g %9s %14s%s\n", f.name.c_str(),
                  f.accuracy.meanAbsoluteError, f.accuracy.rootMeanSquareError,
                  percentText(f.accuracy.meanAbsolutePercentError).c_str(),
                  percentText(f.accuracy.largestRelativeError).c_str(),
                  i == r.best ? "  <- best" : "");
    text += line;
  }
  text += "\nBest by mean absolute error: " + r.forecasts[r.best].name + "\n";
  return text;
}

std::string aheadReport(const ForecastOptions& o, const Series& series, const AheadResult& r) {
  std::string text = "Forecast of " +
                     seriesName(o, series) + ": " +
                     std::to_string(r.forecast.size()) + " values after value " +
                     std::to_string(series.values.size()) + ", written to " + o.outputPath + "\n";
  text += networkLine(o, r.scaleFactor);
  if (r.trained) {
    text += trainingLine(r.training_run, r.savedStateError);
  } else {
    text += "State " + o.statePath + "; its error on the series " +
            percentText(r.savedStateError) + "\n";
  }
  return text;
}

}  // namespace forecast
