#include "forecast_runs.h"

#include "series_scaling.h"

namespace forecast {

std::string checkSizes(std::size_t values, unsigned window, unsigned count, const char* countName) {
  if (count == 0) return std::string(countName) + " must be at least 1";
  const std::size_t needed = static_cast<std::size_t>(window) + count + 1;
  if (values < needed) {
    return "the series has " + std::to_string(values) + " values; window " +
           std::to_string(window) + " and " + countName + " " + std::to_string(count) +
           " need at least " + std::to_string(needed) + " (window + " + countName + " + 1)";
  }
  return {};
}

bool runHoldoutCheck(EngineSession& engine, const std::vector<double>& series, unsigned holdBack,
                     const NetworkSettings& s, const LowObserver& observer, HoldoutResult* r,
                     std::string* error) {
  *error = checkSizes(series.size(), s.window, holdBack, "hold-out");
  if (!error->empty()) return false;
  r->training.assign(series.begin(), series.end() - holdBack);
  r->heldBack.assign(series.end() - holdBack, series.end());
  r->scaleFactor = s.scaleFactor != 0 ? s.scaleFactor : automaticScaleFactor(r->training);
  const std::vector<double> scaled = scaledDown(r->training, r->scaleFactor);

  const std::string state = engine.scratchPath("checked-state.bin");
  if (!engine.train(scaled, s.neurons, s.window, s.rate, s.stop, "", state, observer,
                    &r->training_run, error)) {
    return false;
  }
  std::vector<double> generated;
  if (!engine.generate(state, scaled, s.neurons, s.window, holdBack, &generated, error) ||
      !engine.stateError(state, scaled, s.neurons, s.window, &r->savedStateError, error)) {
    return false;
  }
  r->forecasts = {{"network", scaledUp(generated, r->scaleFactor), {}},
                  {"last value", lastValueForecast(r->training, holdBack), {}},
                  {"drift", driftForecast(r->training, holdBack), {}}};
  r->best = 0;
  for (std::size_t i = 0; i < r->forecasts.size(); ++i) {
    r->forecasts[i].accuracy = measureAccuracy(r->heldBack, r->forecasts[i].values);
    if (r->forecasts[i].accuracy.meanAbsoluteError <
        r->forecasts[r->best].accuracy.meanAbsoluteError) {
      r->best = i;
    }
  }
  return true;
}

bool runForecastAhead(EngineSession& engine, const std::vector<double>& series, unsigned points,
                      const NetworkSettings& s, const std::string& loadState,
                      const LowObserver& observer, AheadResult* r, std::string* error) {
  if (points == 0) {
    *error = "points must be at least 1";
    return false;
  }
  if (loadState.empty()) {
    *error = checkSizes(series.size(), s.window, 1, "points");
    if (!error->empty()) {
      *error = "the series has " + std::to_string(series.size()) + " values; window " +
               std::to_string(s.window) + " needs at least " + std::to_string(s.window + 1) +
               " to train on";
      return false;
    }
  } else if (series.size() < s.window) {
    *error = "the series has " + std::to_string(series.size()) + " values; window " +
             std::to_string(s.window) + " needs at least " + std::to_string(s.window);
    return false;
  }
  r->scaleFactor = s.scaleFactor != 0 ? s.scaleFactor : automaticScaleFactor(series);
  const std::vector<double> scaled = scaledDown(series, r->scaleFactor);
  r->statePath = loadState;
  if (loadState.empty()) {
    r->statePath = engine.scratchPath("trained-state.bin");
    r->trained = true;
    if (!engine.train(scaled, s.neurons, s.window, s.rate, s.stop, "", r->statePath, observer,
                      &r->training_run, error)) {
      return false;
    }
  }
  std::vector<double> generated;
  if (!engine.generate(r->statePath, scaled, s.neurons, s.window, points, &generated, error)) {
    return false;
  }
  if (series.size() > s.window &&
      !engine.stateError(r->statePath, scaled, s.neurons, s.window, &r->savedStateError, error)) {
    return false;
  }
  r->forecast = scaledUp(generated, r->scaleFactor);
  return true;
}

}  // namespace forecast
