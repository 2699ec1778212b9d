#include "forecast_options.h"

#include <cmath>

#include "forecast/engine_session.h"

namespace forecast {
namespace {

bool parseCount(const std::string& text, unsigned* value) {
  double v = 0;
  if (!parseNumberField(text, &v) || v < 0 || v > 4294967295.0 || v != std::floor(v) ||
      text.find_first_of(".eE") != std::string::npos) {
    return false;
  }
  *value = static_cast<unsigned>(v);
  return true;
}

}  // namespace

const char* forecastUsage() {
  return "Usage: vantiro-forecast check SERIES --holdout K [OPTIONS] [--svg PLOT.svg]\n"
         "       vantiro-forecast ahead SERIES --points K -o FORECAST.csv [OPTIONS]\n"
         "              [--save-state STATE | --state STATE] [--svg PLOT.svg]\n"
         "       vantiro-forecast error SERIES --state STATE [--column C]\n"
         "       vantiro-forecast --help\n"
         "\n"
         "check  holds back the last K values, trains on the rest, forecasts the K values\n"
         "       and compares the network with two naive forecasts (last value, drift).\n"
         "ahead  trains on the whole series (or uses a saved STATE) and writes K values\n"
         "       after its end as CSV.\n"
         "error  the largest relative error of a saved state on a series, in one pass\n"
         "       that changes no weight.\n"
         "\n"
         "SERIES is plain text (one number per line) or CSV; a header line is skipped.\n"
         "  --column C          the value column, by header name or number (default 1)\n"
         "  --date-column C     ahead: label the forecast with this column continued\n"
         "  --neurons H         hidden units (default 2)\n"
         "  --window W          input window (default 3)\n"
         "  --rate R            learning rate (default 0.01)\n"
         "  --seconds S         training time budget in seconds (default 20; 0 for none)\n"
         "  --quiet-seconds Q   stop after Q seconds without a new low (default 0: off)\n"
         "  --engine E          single, double, sse or nnvec2 (default single)\n"
         "  --scale F           divide the series by F (default: a power of ten chosen\n"
         "                      so that the values lie near 1)\n"
         "  --svg FILE          also draw the series and the forecasts as SVG\n"
         "  -o, --output FILE   ahead: the forecast CSV\n"
         "  --save-state FILE   ahead: keep the trained state, and FILE.scale beside it\n"
         "  --state FILE        ahead, error: a state saved with --save-state\n"
         "  -h, --help          this text\n"
         "\n"
         "Exit codes: 0 done; 1 wrong command line; 2 series, state or .scale refused;\n"
         "3 engine not loaded or its run failed; 4 an output file cannot be written.\n"
         "A failed run writes nothing and leaves earlier output files as they were.\n";
}

bool parseForecastOptions(const std::vector<std::string>& args, ForecastOptions* o,
                          std::string* error) {
  *o = ForecastOptions{};
  if (args.empty()) {
    *error = "no command: use check, ahead or error (--help for more)";
    return false;
  }
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      o->command = ForecastOptions::Command::help;
      return true;
    }
  }
  const std::string& command = args[0];
  if (command == "check") o->command = ForecastOptions::Command::check;
  else if (command == "ahead") o->command = ForecastOptions::Command::ahead;
  else if (command == "error") o->command = ForecastOptions::Command::stateError;
  else {
    *error = "unknown command \"" + command + "\": use check, ahead or error";
    return false;
  }
  bool holdBackGiven = false, pointsGiven = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.empty() || a[0] != '-' || a == "-") {
      if (!o->seriesPath.empty()) {
        *error = "more than one series file: \"" + o->seriesPath + "\" and \"" + a + "\"";
        return false;
      }
      o->seriesPath = a;
      continue;
    }
    if (i + 1 >= args.size()) {
      *error = "option " + a + " needs a value";
      return false;
    }
    const std::string& v = args[++i];
    auto bad = [&](const std::string& what) {
      *error = "option " + a + ": \"" + v + "\" is not " + what;
      return false;
    };
    double real = 0;
    if (a == "--column") o->column.value = v;
    else if (a == "--date-column") o->column.label = v;
    else if (a == "--holdout") {
      if (!parseCount(v, &o->holdBack)) return bad("a whole number");
      holdBackGiven = true;
    } else if (a == "--points") {
      if (!parseCount(v, &o->points)) return bad("a whole number");
      pointsGiven = true;
    } else if (a == "--neurons") {
      if (!parseCount(v, &o->network.neurons) || o->network.neurons == 0)
        return bad("a whole number of at least 1");
      o->neuronsGiven = true;
    } else if (a == "--window") {
      if (!parseCount(v, &o->network.window) || o->network.window == 0)
        return bad("a whole number of at least 1");
      o->windowGiven = true;
    } else if (a == "--rate") {
      if (!parseNumberField(v, &real) || real <= 0) return bad("a number above 0");
      o->network.rate = real;
    } else if (a == "--seconds") {
      if (!parseNumberField(v, &real) || real < 0) return bad("a number of seconds");
      o->network.stop.budgetSeconds = real;
    } else if (a == "--quiet-seconds") {
      if (!parseNumberField(v, &real) || real < 0) return bad("a number of seconds");
      o->network.stop.quietSeconds = real;
    } else if (a == "--engine") {
      if (!parseEngineName(v, &o->engineChoice)) return bad("single, double, sse or nnvec2");
      o->engineGiven = true;
    } else if (a == "--scale") {
      if (!parseNumberField(v, &real) || real == 0) return bad("a non-zero number");
      o->network.scaleFactor = real;
      o->scaleGiven = true;
    } else if (a == "--svg") o->svgPath = v;
    else if (a == "-o" || a == "--output") o->outputPath = v;
    else if (a == "--save-state") o->saveStatePath = v;
    else if (a == "--state") o->statePath = v;
    else {
      --i;
      *error = "unknown option " + a;
      return false;
    }
  }
  using C = ForecastOptions::Command;
  if (o->seriesPath.empty()) {
    *error = "no series file given";
    return false;
  }
  if (o->network.stop.budgetSeconds == 0 && o->network.stop.quietSeconds == 0 &&
      !(o->command == C::ahead && !o->statePath.empty()) && o->command != C::stateError) {
    *error = "--seconds 0 needs --quiet-seconds: training must have a way to end";
    return false;
  }
  switch (o->command) {
    case C::check:
      if (!holdBackGiven) *error = "check needs --holdout K";
      else if (o->holdBack == 0) *error = "--holdout must be at least 1";
      else if (pointsGiven || !o->outputPath.empty() || !o->statePath.empty() ||
               !o->saveStatePath.empty())
        *error = "check takes no --points, --output, --state or --save-state";
      break;
    case C::ahead:
      if (!pointsGiven) *error = "ahead needs --points K";
      else if (o->points == 0) *error = "--points must be at least 1";
      else if (o->outputPath.empty()) *error = "ahead needs -o FORECAST.csv";
      else if (holdBackGiven) *error = "ahead takes no --holdout";
      else if (!o->statePath.empty() && !o->saveStatePath.empty())
        *error = "--state and --save-state exclude each other";
      break;
    case C::stateError:
      if (o->statePath.empty()) *error = "error needs --state STATE";
      break;
    case C::help:
      break;
  }
  return error->empty();
}

}  // namespace forecast
