#pragma once
// What Save CSV and Save picture write. The CSV text is plain C++; the files
// go through the forecasting library's all-or-nothing writer, so a save that
// fails leaves the file that was there as it was.
#include <string>

#include "forecast_job.h"

class QWidget;
class QString;

namespace forecastwin {

// The CSV of a finished run: for a check, each held-back value with the three
// forecasts of it; for a forecast ahead, the values after the series' end
// (labelled by the date column continued, where there is one).
std::string outcomeCsv(const RunOutcome& outcome);

// Draws `widget` as PNG or SVG, chosen by the path's ending (.png or .svg, any
// case). False with a one-line reason in `error`; nothing is written then.
bool saveWidgetPicture(QWidget* widget, const QString& path, std::string* error);

}  // namespace forecastwin
