#include "forecast_job.h"

#include <system_error>

namespace forecastwin {
namespace {

// A new low joins the curve when it lies 2% below the last point drawn: a
// log axis shows no finer step, and an engine that reports thousands of lows
// a second must not make the chart redraw thousands of points at every look.
constexpr double kCurveStep = 0.98;

}  // namespace

ForecastJob::~ForecastJob() {
  stop_.store(true);
  if (worker_.joinable()) worker_.join();
}

bool ForecastJob::start(RunInputs inputs, std::string engineDirectory) {
  if (running()) return false;
  if (worker_.joinable()) worker_.join();
  stop_.store(false);
  finished_.store(false);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    progress_ = RunProgress{};
    lastCurveError_ = 0;
    outcome_ = RunOutcome{};
    outcome_.inputs = std::move(inputs);
  }
  startTime_ = std::chrono::steady_clock::now();
  try {
    worker_ = std::thread([this, directory = std::move(engineDirectory)] { work(directory); });
  } catch (const std::system_error&) {
    return false;
  }
  started_ = true;
  return true;
}

void ForecastJob::noteLow(double seconds, double error) {
  std::lock_guard<std::mutex> lock(mutex_);
  progress_.bestError = error;
  ++progress_.lowCount;
  if (lastCurveError_ == 0 || error < lastCurveError_ * kCurveStep) {
    progress_.newCurvePoints.emplace_back(seconds, error);
    lastCurveError_ = error;
  }
}

void ForecastJob::work(std::string engineDirectory) {
  RunInputs in;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    in = outcome_.inputs;
  }
  RunOutcome out;
  forecast::EngineSession engine;
  forecast::NetworkSettings settings = in.network;
  settings.stop.stopRequested = &stop_;
  const forecast::LowObserver observer = [this](double seconds, double error) {
    noteLow(seconds, error);
  };
  if (engine.open(in.engineChoice, engineDirectory, &out.error)) {
    out.ok = in.kind == RunKind::check
                 ? forecast::runHoldoutCheck(engine, in.series.values, in.count, settings,
                                             observer, &out.check, &out.error)
                 : forecast::runForecastAhead(engine, in.series.values, in.count, settings, "",
                                              observer, &out.ahead, &out.error);
  }
  out.stopped = stop_.load();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    out.inputs = std::move(outcome_.inputs);
    outcome_ = std::move(out);
    progress_.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - startTime_).count();
  }
  finished_.store(true);
}

RunProgress ForecastJob::takeProgress() {
  std::lock_guard<std::mutex> lock(mutex_);
  RunProgress taken = progress_;
  progress_.newCurvePoints.clear();
  if (!finished_.load()) {
    taken.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - startTime_).count();
  }
  return taken;
}

bool ForecastJob::takeOutcome(RunOutcome* outcome) {
  if (!started_ || !finished_.load()) return false;
  if (worker_.joinable()) worker_.join();
  started_ = false;
  std::lock_guard<std::mutex> lock(mutex_);
  *outcome = std::move(outcome_);
  outcome_ = RunOutcome{};
  return true;
}

}  // namespace forecastwin
