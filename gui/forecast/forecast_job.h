#pragma once
// One run of the Forecast window on a worker thread of its own: a hold-out
// check or a forecast ahead, through the forecasting library. The window's
// thread starts it, asks it to stop and reads its progress; the worker never
// calls the window, so a window that goes away never waits on it for more
// than the end of a pass. Plain C++ (std::thread).
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "forecast/forecast_runs.h"
#include "forecast_inputs.h"

namespace forecastwin {

// What the window shows while training goes on. The curve holds the new lows
// thinned to those a log axis can tell apart; `lowCount` counts them all.
struct RunProgress {
  double seconds = 0;  // since the start of the run
  double bestError = 0;
  std::size_t lowCount = 0;
  std::vector<std::pair<double, double>> newCurvePoints;  // since the last look
};

struct RunOutcome {
  bool ok = false;
  bool stopped = false;  // Stop ended the training before its budget
  std::string error;
  RunInputs inputs;
  forecast::HoldoutResult check;  // RunKind::check
  forecast::AheadResult ahead;    // RunKind::ahead
};

class ForecastJob {
 public:
  ForecastJob() = default;
  ~ForecastJob();  // asks a run still going to stop and waits for it
  ForecastJob(const ForecastJob&) = delete;
  ForecastJob& operator=(const ForecastJob&) = delete;

  // `engineDirectory` empty: the engines and Language.dll by bare name, from
  // the program's own directory first. False if a run is still going or no
  // thread could be made.
  bool start(RunInputs inputs, std::string engineDirectory);
  void requestStop() { stop_.store(true); }
  // From start until the outcome is taken: the window stays busy until it
  // has shown what the run gave.
  bool running() const { return started_; }
  bool finished() const { return finished_.load(); }
  bool stopRequested() const { return stop_.load(); }

  // Progress since the last call (curve points) and as it stands.
  RunProgress takeProgress();
  // Once the run has finished: joins the worker and hands over the outcome,
  // once. False while the run goes on or when there is nothing to hand over.
  bool takeOutcome(RunOutcome* outcome);

 private:
  void work(std::string engineDirectory);
  void noteLow(double seconds, double error);

  std::thread worker_;
  bool started_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::chrono::steady_clock::time_point startTime_;

  std::mutex mutex_;  // guards what follows
  RunProgress progress_;
  double lastCurveError_ = 0;
  RunOutcome outcome_;
};

}  // namespace forecastwin
