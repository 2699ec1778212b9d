#include "forecast_table.h"

#include <cstdio>

#include "common/number_text.h"
#include "series_reader.h"

namespace forecast {
namespace {

bool parseFixed(const std::string& s, std::size_t from, std::size_t length, int* value) {
  if (from + length > s.size()) return false;
  int v = 0;
  for (std::size_t i = from; i < from + length; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  *value = v;
  return true;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
long daysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}
void civilFromDays(long z, int* y, int* m, int* d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

bool parseDate(const std::string& s, long* days) {
  int y, m, d;
  if (s.size() != 10 || s[4] != '-' || s[7] != '-' || !parseFixed(s, 0, 4, &y) ||
      !parseFixed(s, 5, 2, &m) || !parseFixed(s, 8, 2, &d) || m < 1 || m > 12 || d < 1 ||
      d > 31) {
    return false;
  }
  *days = daysFromCivil(y, m, d);
  return true;
}
bool parseMonth(const std::string& s, long* months) {
  int y, m;
  if (s.size() != 7 || s[4] != '-' || !parseFixed(s, 0, 4, &y) || !parseFixed(s, 5, 2, &m) ||
      m < 1 || m > 12) {
    return false;
  }
  *months = y * 12L + (m - 1);
  return true;
}
bool parseWhole(const std::string& s, long* n) {
  double v = 0;
  if (!parseNumberField(s, &v) || v != static_cast<double>(static_cast<long>(v)) ||
      s.find_first_of(".eE") != std::string::npos) {
    return false;
  }
  *n = static_cast<long>(v);
  return true;
}

}  // namespace

std::vector<std::string> continueLabels(const std::vector<std::string>& labels, std::size_t count) {
  if (labels.size() < 2) return {};
  const std::string& a = labels[labels.size() - 2];
  const std::string& b = labels.back();
  std::vector<std::string> out;
  long x = 0, y = 0;
  char text[32];
  if (parseWhole(a, &x) && parseWhole(b, &y) && y != x) {
    for (std::size_t i = 1; i <= count; ++i) out.push_back(std::to_string(y + (y - x) * long(i)));
  } else if (parseDate(a, &x) && parseDate(b, &y) && y != x) {
    for (std::size_t i = 1; i <= count; ++i) {
      int yy, mm, dd;
      civilFromDays(y + (y - x) * long(i), &yy, &mm, &dd);
      std::snprintf(text, sizeof text, "%04d-%02d-%02d", yy, mm, dd);
      out.push_back(text);
    }
  } else if (parseMonth(a, &x) && parseMonth(b, &y) && y != x) {
    for (std::size_t i = 1; i <= count; ++i) {
      const long months = y + (y - x) * long(i);
      std::snprintf(text, sizeof text, "%04ld-%02ld", months / 12, months % 12 + 1);
      out.push_back(text);
    }
  }
  return out;
}

std::string forecastCsv(const std::string& labelName, const std::vector<std::string>& labels,
                        std::size_t firstIndex, const std::string& valueName,
                        const std::vector<double>& values) {
  const bool withLabels = labels.size() == values.size() && !labels.empty();
  std::string text = (withLabels ? (labelName.empty() ? std::string("date") : labelName)
                                 : std::string("index")) +
                     "," + (valueName.empty() ? std::string("value") : valueName) + "\n";
  char number[64];
  for (std::size_t i = 0; i < values.size(); ++i) {
    formatReal(number, sizeof number, 9, values[i]);
    text += (withLabels ? labels[i] : std::to_string(firstIndex + i)) + "," + number + "\n";
  }
  return text;
}

}  // namespace forecast
