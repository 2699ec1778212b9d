#include "series_reader.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "common/number_text.h"

namespace forecast {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string trimmed(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && isSpace(s[b])) ++b;
  while (e > b && isSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The separator of a CSV file, guessed from its first line; 0 for plain text.
char guessSeparator(const std::string& firstLine) {
  for (char c : {',', ';', '\t'}) {
    if (firstLine.find(c) != std::string::npos) return c;
  }
  return 0;
}

bool isAllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The index of a column chosen by name (in the header) or by number.
bool findColumn(const std::string& choice, const std::vector<std::string>& header, bool hasHeader,
                std::size_t fieldCount, std::size_t* index, std::string* error) {
  if (choice.empty()) {
    *index = 0;
    return true;
  }
  if (hasHeader) {
    for (std::size_t i = 0; i < header.size(); ++i) {
      if (trimmed(header[i]) == choice) {
        *index = i;
        return true;
      }
    }
  }
  if (isAllDigits(choice)) {
    const unsigned long n = std::stoul(choice.size() > 9 ? std::string("0") : choice);
    if (n >= 1 && n <= fieldCount) {
      *index = n - 1;
      return true;
    }
    *error = "there is no column " + choice + " (the file has " + std::to_string(fieldCount) +
             (fieldCount == 1 ? " column)" : " columns)");
    return false;
  }
  *error = hasHeader ? "there is no column named \"" + choice + "\" in the header"
                     : "there is no column named \"" + choice + "\": the file has no header";
  return false;
}

}  // namespace

bool parseNumberField(const std::string& field, double* value) {
  const std::string t = trimmed(field);
  if (t.empty()) return false;
  const char* end = nullptr;
  const double v = parseDecimal(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

std::vector<std::string> splitCsvLine(const std::string& line, char separator) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == separator) {
      fields.emplace_back();
    } else if (c != '\r' || i + 1 != line.size()) {
      fields.back() += c;
    }
  }
  return fields;
}

bool parseSeries(const std::string& text, const std::string& sourceName,
                 const ColumnChoice& choice, Series* series, std::string* error) {
  *series = Series{};
  std::vector<std::string> lines;
  {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
  }
  while (!lines.empty() && trimmed(lines.back()).empty()) lines.pop_back();
  if (lines.empty()) {
    *error = sourceName + " holds no values";
    return false;
  }
  const char separator = guessSeparator(lines[0]);
  auto fieldsOf = [&](const std::string& line) {
    return separator != 0 ? splitCsvLine(line, separator) : std::vector<std::string>{line};
  };
  const std::vector<std::string> first = fieldsOf(lines[0]);

  // The first line is a header when the value column is named there, or when
  // its field in that column is not a number; a date in another column does
  // not make it one.
  bool hasHeader = false;
  for (const auto& f : first) {
    if (!choice.value.empty() && trimmed(f) == choice.value) hasHeader = true;
  }
  // For the message only: a first line with a word in it reads as a header to the user.
  bool wordInFirstLine = false;
  for (const auto& f : first) {
    double ignored = 0;
    if (!parseNumberField(f, &ignored)) wordInFirstLine = true;
  }
  std::size_t valueIndex = 0, labelIndex = 0;
  if (!findColumn(choice.value, first, hasHeader || wordInFirstLine, first.size(), &valueIndex,
                  error)) {
    *error = sourceName + ": " + *error;
    return false;
  }
  double firstValue = 0;
  if (!parseNumberField(first[valueIndex], &firstValue)) hasHeader = true;
  const bool wantLabels = !choice.label.empty();
  if (wantLabels && !findColumn(choice.label, first, hasHeader, first.size(), &labelIndex, error)) {
    *error = sourceName + ": " + *error;
    return false;
  }
  if (hasHeader) {
    series->columnName = trimmed(first[valueIndex]);
    if (wantLabels) series->labelName = trimmed(first[labelIndex]);
  }
  const std::string columnText =
      series->columnName.empty() ? (choice.value.empty() ? std::string("1") : choice.value)
                                 : series->columnName;

  for (std::size_t i = hasHeader ? 1 : 0; i < lines.size(); ++i) {
    const std::string where = sourceName + " line " + std::to_string(i + 1);
    const std::vector<std::string> fields = fieldsOf(lines[i]);
    if (valueIndex >= fields.size() || (wantLabels && labelIndex >= fields.size())) {
      *error = where + ": has " + std::to_string(fields.size()) + " field" +
               (fields.size() == 1 ? "" : "s") + ", column " + columnText + " is missing";
      return false;
    }
    double v = 0;
    if (!parseNumberField(fields[valueIndex], &v)) {
      const std::string shown = trimmed(fields[valueIndex]);
      *error = where + ": \"" + (shown.size() > 40 ? shown.substr(0, 40) + "..." : shown) +
               "\" in column " + columnText + " is not a number";
      return false;
    }
    series->values.push_back(v);
    if (wantLabels) series->labels.push_back(trimmed(fields[labelIndex]));
  }
  if (series->values.empty()) {
    *error = sourceName + " holds a header but no values";
    return false;
  }
  return true;
}

bool readSeries(const std::string& path, const ColumnChoice& choice, Series* series,
                std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open " + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    *error = "cannot read " + path;
    return false;
  }
  return parseSeries(text.str(), path, choice, series, error);
}

}  // namespace forecast
