#pragma once
#include <string>
#include <vector>

namespace forecast {

// One line of a plot: values placed from x position `start` (0 is the series'
// first value), drawn in `colour`, dashed or with dots as asked, named in the legend.
struct PlotLine {
  std::string name;
  std::vector<double> values;
  std::size_t start = 0;
  std::string colour;
  bool dashed = false;
  bool dots = false;
};

// A self-contained SVG picture of the lines on common axes, with a title and a
// legend; text is escaped for XML.
std::string svgPlot(const std::string& title, const std::vector<PlotLine>& lines);

}  // namespace forecast
