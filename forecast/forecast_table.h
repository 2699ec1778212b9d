#pragma once
#include <string>
#include <vector>

namespace forecast {

// The labels of `count` steps after `labels`, continuing their rhythm: whole
// numbers (years) by their last step, ISO dates (YYYY-MM-DD) by their last
// step in days, ISO months (YYYY-MM) by their last step in months. Empty when
// the labels follow none of these.
std::vector<std::string> continueLabels(const std::vector<std::string>& labels, std::size_t count);

// CSV text with a header: the label column (or "index", counting on from the
// series' last position) and the value column, values to nine significant digits.
std::string forecastCsv(const std::string& labelName, const std::vector<std::string>& labels,
                        std::size_t firstIndex, const std::string& valueName,
                        const std::vector<double>& values);

}  // namespace forecast
