// vantiro-forecast: checks a forecast on held-back values and extends a series,
// over the same engine libraries as the other programs.
#include <signal.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "forecast/engine_session.h"
#include "forecast/forecast_runs.h"
#include "forecast/forecast_table.h"
#include "forecast/safe_output.h"
#include "forecast/series_scaling.h"
#include "forecast/svg_plot.h"
#include "forecast_options.h"
#include "forecast_report.h"

namespace forecast {
namespace {

// The series' name in titles: its column's header, else its file's name.
std::string seriesName(const ForecastOptions& o, const Series& series) {
  if (!series.columnName.empty()) return series.columnName;
  return o.seriesPath.substr(o.seriesPath.rfind('/') + 1);
}

int fail(int code, const std::string& message) {
  std::fprintf(stderr, "vantiro-forecast: %s\n", message.c_str());
  return code;
}

// The state named by --state, with what its .scale file says about it; sizes
// the user gives must agree with it, and the state file must have the size
// those sizes make.
int loadStateRecord(const ForecastOptions& o, ScaleRecord* record) {
  std::string text, error;
  const std::string scalePath = scaleFilePath(o.statePath);
  struct stat st{};
  if (::stat(o.statePath.c_str(), &st) != 0) return fail(kExitInput, "cannot open " + o.statePath);
  if (!readWholeFile(scalePath, &text)) {
    return fail(kExitInput, "state " + o.statePath + " has no " + scalePath +
                                " beside it (save states with ahead --save-state)");
  }
  if (!parseScaleRecord(text, record, &error)) return fail(kExitInput, scalePath + ": " + error);
  std::uint32_t choice = 0;
  if (record->neurons == 0 || record->window == 0 || !parseEngineName(record->engine, &choice)) {
    return fail(kExitInput, scalePath + ": neurons, window or engine missing");
  }
  if ((o.neuronsGiven && o.network.neurons != record->neurons) ||
      (o.windowGiven && o.network.window != record->window)) {
    return fail(kExitInput, "state " + o.statePath + " has neurons " +
                                std::to_string(record->neurons) + " and window " +
                                std::to_string(record->window) + " (its .scale file), not " +
                                std::to_string(o.network.neurons) + " and " +
                                std::to_string(o.network.window));
  }
  if (o.engineGiven && o.engineChoice != choice) {
    return fail(kExitInput, "state " + o.statePath + " was written by the " + record->engine +
                                " engine, not " + engineName(o.engineChoice));
  }
  const std::uint64_t expected = stateFileBytes(choice, record->neurons, record->window);
  if (static_cast<std::uint64_t>(st.st_size) != expected) {
    return fail(kExitInput, "state " + o.statePath + " holds " + std::to_string(st.st_size) +
                                " bytes, but neurons " + std::to_string(record->neurons) +
                                " and window " + std::to_string(record->window) +
                                " from its .scale file make " + std::to_string(expected));
  }
  return kExitOk;
}

int runCheck(const ForecastOptions& o, const Series& series, EngineSession& engine) {
  HoldoutResult result;
  std::string error;
  std::string refusal = checkSizes(series.values.size(), o.network.window, o.holdBack, "hold-out");
  if (!refusal.empty()) return fail(kExitInput, refusal);
  if (!runHoldoutCheck(engine, series.values, o.holdBack, o.network, nullptr, &result, &error)) {
    return fail(kExitEngine, error);
  }
  StagedOutputs outputs;
  if (!o.svgPath.empty()) {
    const std::size_t n = result.training.size();
    std::vector<double> all = result.training;
    all.insert(all.end(), result.heldBack.begin(), result.heldBack.end());
    const std::string title = "Hold-out check of " +
                              seriesName(o, series);
    const std::string svg = svgPlot(
        title, {{"series", all, 0, "#555555", false, false},
                {"held back", result.heldBack, n, "#000000", false, true},
                {"network", result.forecasts[0].values, n, "#1f77b4", false, true},
                {"last value", result.forecasts[1].values, n, "#2ca02c", true, false},
                {"drift", result.forecasts[2].values, n, "#d62728", true, false}});
    if (!outputs.stage(o.svgPath, svg, &error)) return fail(kExitOutput, error);
  }
  if (!outputs.commit(&error)) return fail(kExitOutput, error);
  std::fputs(checkReport(o, series, result).c_str(), stdout);
  return kExitOk;
}

int runAhead(const ForecastOptions& o, const Series& series, EngineSession& engine,
             const ScaleRecord* record) {
  ForecastOptions options = o;
  if (record != nullptr) {
    options.network.neurons = record->neurons;
    options.network.window = record->window;
    options.network.scaleFactor = record->factor;
    parseEngineName(record->engine, &options.engineChoice);
  }
  AheadResult result;
  std::string error;
  if (record == nullptr) {
    const std::string refusal = checkSizes(series.values.size(), options.network.window, 0 + 1, "points");
    if (!refusal.empty()) {
      return fail(kExitInput, "the series has " + std::to_string(series.values.size()) +
                                  " values; window " + std::to_string(options.network.window) +
                                  " needs at least " +
                                  std::to_string(options.network.window + 1) + " to train on");
    }
  } else if (series.values.size() < options.network.window) {
    return fail(kExitInput, "the series has " + std::to_string(series.values.size()) +
                                " values; the state's window " +
                                std::to_string(options.network.window) + " needs at least that many");
  }
  if (!runForecastAhead(engine, series.values, options.points, options.network, o.statePath,
                        nullptr, &result, &error)) {
    return fail(kExitEngine, error);
  }
  std::vector<std::string> labels;
  if (!series.labels.empty()) {
    labels = continueLabels(series.labels, result.forecast.size());
    if (labels.empty()) {
      std::fprintf(stderr, "vantiro-forecast: the date column does not step evenly; "
                           "the forecast is numbered instead\n");
    }
  }
  StagedOutputs outputs;
  const std::string csv = forecastCsv(series.labelName, labels, series.values.size() + 1,
                                      series.columnName, result.forecast);
  if (!outputs.stage(o.outputPath, csv, &error)) return fail(kExitOutput, error);
  if (!o.saveStatePath.empty()) {
    std::string state;
    if (!readWholeFile(result.statePath, &state)) return fail(kExitEngine, "engine: no state saved");
    ScaleRecord saved{result.scaleFactor, options.network.neurons, options.network.window,
                      engineName(engine.engineChoice())};
    if (!outputs.stage(o.saveStatePath, state, &error) ||
        !outputs.stage(scaleFilePath(o.saveStatePath), formatScaleRecord(saved), &error)) {
      return fail(kExitOutput, error);
    }
  }
  if (!o.svgPath.empty()) {
    const std::string title = "Forecast of " +
                              seriesName(o, series);
    const std::string svg =
        svgPlot(title, {{"series", series.values, 0, "#555555", false, false},
                        {"network forecast", result.forecast, series.values.size(), "#1f77b4",
                         false, true}});
    if (!outputs.stage(o.svgPath, svg, &error)) return fail(kExitOutput, error);
  }
  if (!outputs.commit(&error)) return fail(kExitOutput, error);
  std::fputs(aheadReport(options, series, result).c_str(), stdout);
  return kExitOk;
}

int runStateError(const ForecastOptions& o, const Series& series, EngineSession& engine,
                  const ScaleRecord& record) {
  if (series.values.size() < record.window + 1) {
    return fail(kExitInput, "the series has " + std::to_string(series.values.size()) +
                                " values; the state's window " + std::to_string(record.window) +
                                " needs at least " + std::to_string(record.window + 1));
  }
  double passError = 0;
  std::string error;
  if (!engine.stateError(o.statePath, scaledDown(series.values, record.factor), record.neurons,
                         record.window, &passError, &error)) {
    return fail(kExitEngine, error);
  }
  std::printf("Largest relative error of %s on %s: %.6g (%s)\n", o.statePath.c_str(),
              o.seriesPath.c_str(), passError, percentText(passError).c_str());
  return kExitOk;
}

int run(int argc, char** argv) {
  ForecastOptions o;
  std::string error;
  if (!parseForecastOptions(std::vector<std::string>(argv + 1, argv + argc), &o, &error)) {
    return fail(kExitUsage, error);
  }
  if (o.command == ForecastOptions::Command::help) {
    std::fputs(forecastUsage(), stdout);
    return kExitOk;
  }
  ScaleRecord record;
  const bool withState = !o.statePath.empty();
  if (withState) {
    if (o.scaleGiven) return fail(kExitUsage, "--scale cannot be given with --state: its .scale file holds it");
    if (const int code = loadStateRecord(o, &record); code != kExitOk) return code;
  }
  Series series;
  if (!readSeries(o.seriesPath, o.column, &series, &error)) return fail(kExitInput, error);
  EngineSession engine;
  std::uint32_t choice = o.engineChoice;
  if (withState) parseEngineName(record.engine, &choice);
  if (!engine.open(choice, "", &error)) return fail(kExitEngine, error);
  switch (o.command) {
    case ForecastOptions::Command::check: return runCheck(o, series, engine);
    case ForecastOptions::Command::ahead:
      return runAhead(o, series, engine, withState ? &record : nullptr);
    case ForecastOptions::Command::stateError: return runStateError(o, series, engine, record);
    case ForecastOptions::Command::help: break;
  }
  return kExitOk;
}

}  // namespace
}  // namespace forecast

int main(int argc, char** argv) {
  // A reader that goes away ("| head") must not kill a run before it has written its files.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  return forecast::run(argc, argv);
}
