#include "series_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "series_reader.h"

namespace forecast {

double automaticScaleFactor(const std::vector<double>& values) {
  std::vector<double> magnitudes;
  for (double v : values) {
    if (v != 0.0) magnitudes.push_back(std::fabs(v));
  }
  if (magnitudes.empty()) return 1.0;
  const auto middle = magnitudes.begin() + magnitudes.size() / 2;
  std::nth_element(magnitudes.begin(), middle, magnitudes.end());
  // round(log10) puts the median between 10^-0.5 and 10^0.5, about 0.32 to 3.2.
  return std::pow(10.0, std::round(std::log10(*middle)));
}

std::vector<double> scaledDown(const std::vector<double>& values, double factor) {
  std::vector<double> out;
  out.reserve(values.size());
  for (double v : values) out.push_back(v / factor);
  return out;
}

std::vector<double> scaledUp(const std::vector<double>& values, double factor) {
  std::vector<double> out;
  out.reserve(values.size());
  for (double v : values) out.push_back(v * factor);
  return out;
}

std::string scaleFilePath(const std::string& statePath) { return statePath + ".scale"; }

std::string formatScaleRecord(const ScaleRecord& r) {
  char factor[64];
  std::snprintf(factor, sizeof factor, "%.17g", r.factor);
  return std::string(factor) + " neurons=" + std::to_string(r.neurons) +
         " window=" + std::to_string(r.window) + " engine=" + r.engine + "\n";
}

bool parseScaleRecord(const std::string& text, ScaleRecord* r, std::string* error) {
  std::istringstream in(text.substr(0, text.find('\n')));
  std::string word;
  *r = ScaleRecord{};
  if (!(in >> word) || !parseNumberField(word, &r->factor) || r->factor == 0.0) {
    *error = "the first word is not a non-zero scale factor";
    return false;
  }
  while (in >> word) {
    const auto eq = word.find('=');
    const std::string key = word.substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : word.substr(eq + 1);
    double n = 0;
    if (key == "engine") {
      r->engine = value;
    } else if ((key == "neurons" || key == "window") && parseNumberField(value, &n) && n >= 1 &&
               n <= 4294967295.0 && n == std::floor(n)) {
      (key == "neurons" ? r->neurons : r->window) = static_cast<unsigned>(n);
    } else {
      *error = "\"" + word + "\" is not understood";
      return false;
    }
  }
  return true;
}

}  // namespace forecast
