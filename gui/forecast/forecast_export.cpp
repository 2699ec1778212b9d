#include "forecast_export.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

#include "common/number_text.h"
#include "forecast/forecast_table.h"
#include "forecast/safe_output.h"

namespace forecastwin {
namespace {

std::string numberText(double value) {
  char text[64];
  formatReal(text, sizeof text, 9, value);
  return text;
}

std::string checkCsv(const RunOutcome& o) {
  const forecast::HoldoutResult& r = o.check;
  const forecast::Series& s = o.inputs.series;
  const bool labelled = s.labels.size() == s.values.size();
  std::string text = (labelled ? (s.labelName.empty() ? "label" : s.labelName) : "index");
  text += ",held back";
  for (const auto& f : r.forecasts) text += "," + f.name;
  text += "\n";
  const std::size_t first = r.training.size();
  for (std::size_t i = 0; i < r.heldBack.size(); ++i) {
    text += labelled ? s.labels[first + i] : std::to_string(first + i + 1);
    text += "," + numberText(r.heldBack[i]);
    for (const auto& f : r.forecasts) text += "," + numberText(f.values[i]);
    text += "\n";
  }
  return text;
}

}  // namespace

std::string outcomeCsv(const RunOutcome& o) {
  if (o.inputs.kind == RunKind::check) return checkCsv(o);
  const forecast::Series& s = o.inputs.series;
  std::vector<std::string> labels;
  if (!s.labels.empty()) labels = forecast::continueLabels(s.labels, o.ahead.forecast.size());
  return forecast::forecastCsv(s.labelName, labels, s.values.size() + 1,
                               s.columnName.empty() ? "value" : s.columnName, o.ahead.forecast);
}

bool saveWidgetPicture(QWidget* widget, const QString& path, std::string* error) {
  const QString lower = path.toLower();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (lower.endsWith(QLatin1String(".png"))) {
    if (!widget->grab().save(&buffer, "PNG")) {
      *error = "the picture could not be drawn";
      return false;
    }
  } else if (lower.endsWith(QLatin1String(".svg"))) {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(widget->size());
    svg.setViewBox(QRect(QPoint(0, 0), widget->size()));
    svg.setTitle(widget->accessibleName());
    QPainter painter(&svg);
    widget->render(&painter);
    painter.end();
  } else {
    *error = "a picture is saved as PNG or SVG: give the name an ending .png or .svg";
    return false;
  }
  forecast::StagedOutputs out;
  const std::string target = path.toStdString();
  return out.stage(target, bytes.toStdString(), error) && out.commit(error);
}

}  // namespace forecastwin
