#include "forecast_inputs.h"

#include <cctype>

namespace forecastwin {
namespace {

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole number of at least `least`, as typed (no sign, point or exponent).
bool readCount(const std::string& text, unsigned least, unsigned* value) {
  const std::string t = trimmed(text);
  if (t.empty() || t.size() > 9 || t.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const unsigned long read = std::stoul(t);
  if (read < least) return false;
  *value = static_cast<unsigned>(read);
  return true;
}

bool refuse(InputProblem* problem, Field field, std::string message) {
  *problem = {field, std::move(message)};
  return false;
}

}  // namespace

bool readRunInputs(const FieldTexts& t, RunKind kind, std::uint32_t engineChoice,
                   RunInputs* in, InputProblem* problem) {
  *in = RunInputs{};
  in->kind = kind;
  in->engineChoice = engineChoice;
  if (trimmed(t.series).empty()) return refuse(problem, Field::series, "Choose a series file.");
  const bool check = kind == RunKind::check;
  const Field countField = check ? Field::holdBack : Field::points;
  const std::string countName = check ? "Hold back" : "Points ahead";
  if (!readCount(check ? t.holdBack : t.points, 1, &in->count))
    return refuse(problem, countField, countName + " must be a whole number of at least 1.");
  if (!readCount(t.neurons, 1, &in->network.neurons))
    return refuse(problem, Field::neurons, "Neurons must be a whole number of at least 1.");
  if (!readCount(t.window, 1, &in->network.window))
    return refuse(problem, Field::window, "Window must be a whole number of at least 1.");
  if (!forecast::parseNumberField(t.rate, &in->network.rate) || in->network.rate <= 0)
    return refuse(problem, Field::rate, "Learning rate must be a number above 0.");
  double seconds = 0;
  if (!forecast::parseNumberField(t.seconds, &seconds) || seconds <= 0 || seconds > 86400)
    return refuse(problem, Field::seconds,
                  "Seconds must be a number above 0 (at most a day): training needs an end.");
  in->network.stop.budgetSeconds = seconds;

  forecast::ColumnChoice columns{trimmed(t.column), trimmed(t.dateColumn)};
  std::string error;
  if (!forecast::readSeries(trimmed(t.series), columns, &in->series, &error)) {
    // A column that is not there is the column field's fault; anything else the file's.
    Field field = Field::series;
    if (error.find("there is no column") != std::string::npos) {
      const bool aboutLabel = !columns.label.empty() &&
                              (error.find("column " + columns.label + " ") != std::string::npos ||
                               error.find("\"" + columns.label + "\"") != std::string::npos);
      field = aboutLabel ? Field::dateColumn : Field::column;
    }
    return refuse(problem, field, error);
  }
  const std::string sizes =
      check ? forecast::checkSizes(in->series.values.size(), in->network.window, in->count,
                                   "hold back")
            : forecast::checkSizes(in->series.values.size(), in->network.window, 1, "points");
  if (!sizes.empty()) {
    std::string message = sizes;
    message[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(message[0])));
    return refuse(problem, check ? Field::holdBack : Field::window, message + ".");
  }
  return true;
}

}  // namespace forecastwin
