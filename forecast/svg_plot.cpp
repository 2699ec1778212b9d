#include "svg_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace forecast {
namespace {

constexpr double kWidth = 900, kHeight = 480;
constexpr double kLeft = 70, kRight = 20, kTop = 40, kBottom = 72;

std::string escaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

std::string tickText(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", std::fabs(v) < 1e-12 ? 0.0 : v);
  return text;
}

// A round step that gives about five ticks over `span`.
double tickStep(double span) {
  const double raw = span / 5;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0}) {
    if (m * power >= raw) return m * power;
  }
  return 10 * power;
}

}  // namespace

std::string svgPlot(const std::string& title, const std::vector<PlotLine>& lines) {
  double low = std::numeric_limits<double>::infinity(), high = -low;
  std::size_t count = 1;
  for (const auto& line : lines) {
    for (double v : line.values) {
      if (!std::isfinite(v)) continue;
      low = std::min(low, v);
      high = std::max(high, v);
    }
    count = std::max(count, line.start + line.values.size());
  }
  if (!(low <= high)) low = 0, high = 1;
  if (high - low < 1e-12 * std::max(1.0, std::fabs(high))) low -= 1, high += 1;
  const double step = tickStep(high - low);
  low = std::floor(low / step) * step;
  high = std::ceil(high / step) * step;
  const double plotWidth = kWidth - kLeft - kRight, plotHeight = kHeight - kTop - kBottom;
  auto xOf = [&](double i) { return kLeft + (count > 1 ? i / (count - 1.0) : 0.5) * plotWidth; };
  auto yOf = [&](double v) { return kTop + (high - v) / (high - low) * plotHeight; };

  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(kWidth) +
                    "\" height=\"" + number(kHeight) + "\" viewBox=\"0 0 " + number(kWidth) +
                    " " + number(kHeight) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  svg += "<title>" + escaped(title) + "</title>\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  svg += "<text x=\"" + number(kWidth / 2) + "\" y=\"22\" text-anchor=\"middle\" font-size=\"15\">" +
         escaped(title) + "</text>\n";
  // Grid and axes.
  for (double v = low; v <= high + step / 2; v += step) {
    const std::string y = number(yOf(v));
    svg += "<line x1=\"" + number(kLeft) + "\" y1=\"" + y + "\" x2=\"" + number(kWidth - kRight) +
           "\" y2=\"" + y + "\" stroke=\"#dddddd\"/>\n";
    svg += "<text x=\"" + number(kLeft - 6) + "\" y=\"" + y +
           "\" text-anchor=\"end\" dominant-baseline=\"middle\">" + tickText(v) + "</text>\n";
  }
  const double xStep = std::max(1.0, tickStep(count - 1.0 > 0 ? count - 1.0 : 1.0));
  for (double i = 0; i < count; i += xStep) {
    svg += "<text x=\"" + number(xOf(i)) + "\" y=\"" + number(kHeight - kBottom + 18) +
           "\" text-anchor=\"middle\">" + tickText(i + 1) + "</text>\n";
  }
  svg += "<rect x=\"" + number(kLeft) + "\" y=\"" + number(kTop) + "\" width=\"" +
         number(plotWidth) + "\" height=\"" + number(plotHeight) +
         "\" fill=\"none\" stroke=\"#444444\"/>\n";
  svg += "<text x=\"" + number(kLeft + plotWidth / 2) + "\" y=\"" + number(kHeight - 40) +
         "\" text-anchor=\"middle\">position in the series</text>\n";
  // The lines.
  for (const auto& line : lines) {
    std::string points;
    for (std::size_t i = 0; i < line.values.size(); ++i) {
      if (!std::isfinite(line.values[i])) continue;
      points += number(xOf(double(line.start + i))) + "," + number(yOf(line.values[i])) + " ";
    }
    if (!line.dots || line.values.size() > 1) {
      svg += "<polyline fill=\"none\" stroke=\"" + line.colour + "\" stroke-width=\"2\"" +
             (line.dashed ? " stroke-dasharray=\"6 4\"" : "") + " points=\"" + points +
             "\"><title>" + escaped(line.name) + "</title></polyline>\n";
    }
    if (line.dots) {
      for (std::size_t i = 0; i < line.values.size(); ++i) {
        if (!std::isfinite(line.values[i])) continue;
        svg += "<circle cx=\"" + number(xOf(double(line.start + i))) + "\" cy=\"" +
               number(yOf(line.values[i])) + "\" r=\"3\" fill=\"" + line.colour + "\"/>\n";
      }
    }
  }
  // The legend, in one row below the plot, where it hides no value.
  double x = kLeft;
  const std::string y = number(kHeight - 14);
  for (const auto& line : lines) {
    svg += "<line x1=\"" + number(x) + "\" y1=\"" + y + "\" x2=\"" + number(x + 30) +
           "\" y2=\"" + y + "\" stroke=\"" + line.colour + "\" stroke-width=\"2\"" +
           (line.dashed ? " stroke-dasharray=\"6 4\"" : "") + "/>\n";
    if (line.dots) {
      svg += "<circle cx=\"" + number(x + 15) + "\" cy=\"" + y + "\" r=\"3\" fill=\"" +
             line.colour + "\"/>\n";
    }
    svg += "<text x=\"" + number(x + 36) + "\" y=\"" + y +
           "\" dominant-baseline=\"middle\">" + escaped(line.name) + "</text>\n";
    x += 46 + 7.0 * line.name.size() + 20;
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace forecast
