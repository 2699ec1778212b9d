#include "forecast_charts.h"

#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>

namespace forecastwin {
namespace {

// Colours that stay apart for most colour-blind readers too; the naive
// forecasts are also dashed, so the lines differ without colour.
constexpr PlotLineStyle kSeries{"series", "#555555", Qt::SolidLine, false};
constexpr PlotLineStyle kHeldBack{"held back", "#000000", Qt::SolidLine, true};
constexpr PlotLineStyle kNetwork{"network", "#1f77b4", Qt::SolidLine, true};
constexpr PlotLineStyle kLastValue{"last value", "#2ca02c", Qt::DashLine, false};
constexpr PlotLineStyle kDrift{"drift", "#d62728", Qt::DashDotLine, false};
constexpr PlotLineStyle kAhead{"forecast ahead", "#1f77b4", Qt::SolidLine, true};

}  // namespace

ForecastPlot::ForecastPlot(QWidget* parent) : QChartView(new QChart, parent) {
  setRenderHint(QPainter::Antialiasing);
  chart()->legend()->setAlignment(Qt::AlignBottom);
  chart()->setMargins(QMargins(4, 4, 4, 4));
  reset(QStringLiteral("No series yet: choose one and press Check or Forecast"));
}

void ForecastPlot::reset(const QString& title) {
  chart()->removeAllSeries();
  for (QAbstractAxis* axis : chart()->axes()) {
    chart()->removeAxis(axis);
    delete axis;
  }
  chart()->setTitle(title);
  auto* x = new QValueAxis;
  x->setTitleText(QStringLiteral("value number"));
  x->setLabelFormat(QStringLiteral("%d"));
  auto* y = new QValueAxis;
  y->setTitleText(QStringLiteral("value (the series' units)"));
  y->setLabelFormat(QStringLiteral("%g"));
  chart()->addAxis(x, Qt::AlignBottom);
  chart()->addAxis(y, Qt::AlignLeft);
}

void ForecastPlot::addLine(const PlotLineStyle& style, std::size_t firstPosition,
                           const std::vector<double>& values) {
  auto* line = new QLineSeries;
  line->setName(QString::fromLatin1(style.name));
  QPen pen(QColor(QString::fromLatin1(style.colour)));
  pen.setWidthF(style.points ? 2.0 : 1.6);
  pen.setStyle(style.pen);
  line->setPen(pen);
  line->setPointsVisible(style.points);
  for (std::size_t i = 0; i < values.size(); ++i)
    line->append(static_cast<double>(firstPosition + i), values[i]);
  chart()->addSeries(line);
  for (QAbstractAxis* axis : chart()->axes()) line->attachAxis(axis);
}

void ForecastPlot::fitAxes() {
  double low = HUGE_VAL, high = -HUGE_VAL, last = 1;
  for (QAbstractSeries* s : chart()->series()) {
    for (const QPointF& p : static_cast<QLineSeries*>(s)->points()) {
      if (!std::isfinite(p.y())) continue;
      low = std::min(low, p.y());
      high = std::max(high, p.y());
      last = std::max(last, p.x());
    }
  }
  if (low > high) low = 0, high = 1;
  const double margin = high > low ? (high - low) * 0.05 : std::max(1.0, std::fabs(high) * 0.05);
  auto* x = static_cast<QValueAxis*>(chart()->axes(Qt::Horizontal).first());
  auto* y = static_cast<QValueAxis*>(chart()->axes(Qt::Vertical).first());
  // The positions end at the last value drawn, ticks at a round step from 0.
  double step = 1;
  while (last / step > 8) step *= (QString::number(step).startsWith('2') ? 2.5 : 2);
  x->setRange(1, last);
  x->setTickType(QValueAxis::TicksDynamic);
  x->setTickAnchor(0);
  x->setTickInterval(step);
  y->setRange(low - margin, high + margin);
  y->applyNiceNumbers();
  // What the picture shows, for a screen reader.
  setAccessibleDescription(chart()->title() + QStringLiteral(": ") + lineNames().join(QStringLiteral(", ")));
}

void ForecastPlot::showSeries(const std::vector<double>& values, const QString& title) {
  reset(title);
  addLine(kSeries, 1, values);
  fitAxes();
}

void ForecastPlot::showCheck(const forecast::HoldoutResult& r, const QString& title) {
  reset(title);
  const std::size_t n = r.training.size();
  std::vector<double> all = r.training;
  all.insert(all.end(), r.heldBack.begin(), r.heldBack.end());
  addLine(kSeries, 1, all);
  addLine(kHeldBack, n + 1, r.heldBack);
  const PlotLineStyle* styles[] = {&kNetwork, &kLastValue, &kDrift};
  for (std::size_t i = 0; i < r.forecasts.size() && i < 3; ++i) {
    std::vector<double> joined{r.training.back()};
    joined.insert(joined.end(), r.forecasts[i].values.begin(), r.forecasts[i].values.end());
    addLine(*styles[i], n, joined);
  }
  fitAxes();
}

void ForecastPlot::showAhead(const std::vector<double>& values, const forecast::AheadResult& r,
                             const QString& title) {
  reset(title);
  addLine(kSeries, 1, values);
  std::vector<double> joined{values.back()};
  joined.insert(joined.end(), r.forecast.begin(), r.forecast.end());
  addLine(kAhead, values.size(), joined);
  fitAxes();
}

QStringList ForecastPlot::lineNames() const {
  QStringList names;
  for (QAbstractSeries* s : chart()->series()) names << s->name();
  return names;
}

TrainingCurve::TrainingCurve(QWidget* parent) : QChartView(new QChart, parent) {
  setRenderHint(QPainter::Antialiasing);
  chart()->setTitle(QStringLiteral("Training: largest relative error at each new low"));
  chart()->legend()->hide();
  chart()->setMargins(QMargins(4, 4, 4, 4));
  line_ = new QLineSeries;
  line_->setName(QStringLiteral("new lows"));
  QPen pen(QColor(QStringLiteral("#1f77b4")));
  pen.setWidthF(2.0);
  line_->setPen(pen);
  line_->setPointsVisible(true);
  chart()->addSeries(line_);
  since_ = new QLineSeries;
  since_->setName(QStringLiteral("no new low since"));
  pen.setStyle(Qt::DashLine);
  pen.setWidthF(1.5);
  since_->setPen(pen);
  chart()->addSeries(since_);
  time_ = new QValueAxis;
  time_->setTitleText(QStringLiteral("seconds since the start"));
  time_->setLabelFormat(QStringLiteral("%g"));
  error_ = new QLogValueAxis;
  error_->setTitleText(QStringLiteral("pass error (log)"));
  error_->setLabelFormat(QStringLiteral("%g"));
  error_->setBase(10);
  error_->setMinorTickCount(-1);
  chart()->addAxis(time_, Qt::AlignBottom);
  chart()->addAxis(error_, Qt::AlignLeft);
  for (QLineSeries* s : {line_, since_}) {
    s->attachAxis(time_);
    s->attachAxis(error_);
  }
  reset(10);
}

void TrainingCurve::reset(double budgetSeconds) {
  line_->clear();
  since_->clear();
  budget_ = budgetSeconds > 0 ? budgetSeconds : 1;
  lowest_ = highest_ = 0;
  time_->setRange(0, budget_);
  error_->setRange(0.01, 10);
}

void TrainingCurve::addPoints(const std::vector<std::pair<double, double>>& points) {
  QList<QPointF> added;
  for (const auto& [seconds, error] : points) {
    // A log axis has no place for 0 or for what is not finite.
    if (!(error > 0) || !std::isfinite(error)) continue;
    added.append(QPointF(seconds, error));
    lowest_ = lowest_ == 0 ? error : std::min(lowest_, error);
    highest_ = std::max(highest_, error);
  }
  if (added.isEmpty()) return;
  line_->append(added);
  // Whole decades, set only when they change: a new range lays the chart out again.
  const double low = std::pow(10.0, std::floor(std::log10(lowest_)));
  const double high = std::max(std::pow(10.0, std::ceil(std::log10(highest_ * 1.0001))), low * 10);
  if (low != error_->min() || high != error_->max()) error_->setRange(low, high);
}

void TrainingCurve::showElapsed(double seconds, double bestError) {
  // The last pass may end a little after the budget; only a clear overrun widens the axis.
  if (seconds > budget_ + std::max(0.5, budget_ * 0.05) && seconds > time_->max()) {
    time_->setRange(0, seconds);
    time_->applyNiceNumbers();
  }
  if (line_->count() == 0 || !(bestError > 0)) return;
  const QPointF last = line_->at(line_->count() - 1);
  since_->replace({QPointF(last.x(), bestError), QPointF(std::max(seconds, last.x()), bestError)});
}

int TrainingCurve::pointCount() const { return static_cast<int>(line_->count()); }

}  // namespace forecastwin
