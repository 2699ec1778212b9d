#pragma once
#include <string>
#include <vector>

namespace forecast {

// A series as the user gave it: the values of one column, oldest first, in the
// series' own units, and, when asked for, the labels of a date column beside them.
struct Series {
  std::vector<double> values;
  std::vector<std::string> labels;  // empty, or one per value
  std::string columnName;           // the header's name of the column, if it had one
  std::string labelName;            // the header's name of the date column
};

// Which column to read: a header name, or a number counted from 1. Empty
// means the first (and for plain text the only) column.
struct ColumnChoice {
  std::string value;
  std::string label;  // the date column, empty for none
};

// Reads plain text (one number per line) or CSV (comma, semicolon or tab
// separated, chosen by the first line). A first line whose chosen field is not
// a number is a header and is skipped; any later field that is not a number
// is refused with its line number, never read as 0. Empty lines at the end
// are ignored. On failure returns false with a one-line reason in `error`.
bool readSeries(const std::string& path, const ColumnChoice& choice, Series* series,
                std::string* error);
// The same, from text already in memory (`sourceName` names it in messages).
bool parseSeries(const std::string& text, const std::string& sourceName,
                 const ColumnChoice& choice, Series* series, std::string* error);

// A whole field that is a finite decimal number (white space around it allowed).
bool parseNumberField(const std::string& field, double* value);

// Splits one CSV line at `separator`, honouring double quotes.
std::vector<std::string> splitCsvLine(const std::string& line, char separator);

}  // namespace forecast
