#pragma once
#include <string>
#include <vector>

#include "accuracy.h"
#include "engine_session.h"

namespace forecast {

struct NetworkSettings {
  unsigned neurons = 2;
  unsigned window = 3;
  double rate = 0.01;
  StopRule stop;
  double scaleFactor = 0;  // 0: chosen from the series
};

// One forecast of the hold-out check with its accuracy on the held-back values.
struct RatedForecast {
  std::string name;
  std::vector<double> values;
  Accuracy accuracy;
};

struct HoldoutResult {
  std::vector<double> training;  // the values trained on, in the series' units
  std::vector<double> heldBack;
  std::vector<RatedForecast> forecasts;  // the network, last value, drift
  std::size_t best = 0;                  // index of the lowest mean absolute error
  double scaleFactor = 1;
  TrainingReport training_run;
  double savedStateError = 0;  // the trained state's own pass error on the training values
};

// Holds back the last `holdBack` values, trains on the rest, forecasts the
// held-back values from the window that ends where the training values end,
// and rates that forecast beside the two naive ones.
bool runHoldoutCheck(EngineSession& engine, const std::vector<double>& series, unsigned holdBack,
                     const NetworkSettings& settings, const LowObserver& observer,
                     HoldoutResult* result, std::string* error);

struct AheadResult {
  std::vector<double> forecast;  // in the series' units
  double scaleFactor = 1;
  bool trained = false;
  TrainingReport training_run;
  double savedStateError = 0;
  std::string statePath;  // the state used: the given one, or the scratch one trained
};

// Trains on the whole series (or takes the state `loadState`, with its factor)
// and forecasts `points` values after its end.
bool runForecastAhead(EngineSession& engine, const std::vector<double>& series, unsigned points,
                      const NetworkSettings& settings, const std::string& loadState,
                      const LowObserver& observer, AheadResult* result, std::string* error);

// The refusals both runs share, as one-line reasons: empty if the sizes fit.
std::string checkSizes(std::size_t values, unsigned window, unsigned holdBack,
                       const char* holdBackName);

}  // namespace forecast
