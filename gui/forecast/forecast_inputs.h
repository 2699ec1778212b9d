#pragma once
// What the Forecast window's fields say, read and checked before a run: the
// texts as typed, and the values a run takes. Plain C++, so the rules are
// tested without a window.
#include <cstdint>
#include <string>

#include "forecast/forecast_runs.h"
#include "forecast/series_reader.h"

namespace forecastwin {

// The window's fields, in the order a user tabs through them.
enum class Field { series, column, dateColumn, holdBack, points, neurons, window, rate, seconds };

struct FieldTexts {
  std::string series;
  std::string column;
  std::string dateColumn;
  std::string holdBack;
  std::string points;
  std::string neurons;
  std::string window;
  std::string rate;
  std::string seconds;
};

// The two runs the window offers.
enum class RunKind { check, ahead };

struct RunInputs {
  RunKind kind = RunKind::check;
  forecast::Series series;
  unsigned count = 0;  // values held back (check) or forecast (ahead)
  forecast::NetworkSettings network;
  std::uint32_t engineChoice = 0;
};

// A refusal: the field to correct and a one-line reason a user can act on.
struct InputProblem {
  Field field = Field::series;
  std::string message;
};

// Reads the fields for a run of `kind`, then the series file, and checks that
// the series is long enough. False with the first problem found; nothing is
// written either way.
bool readRunInputs(const FieldTexts& texts, RunKind kind, std::uint32_t engineChoice,
                   RunInputs* inputs, InputProblem* problem);

}  // namespace forecastwin
