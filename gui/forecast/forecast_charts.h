#pragma once
// The Forecast window's two charts: the series with the held-back values and
// the forecasts, and the training curve of the run.
#include <QtCharts/QChartView>
#include <utility>
#include <vector>

#include "forecast/forecast_runs.h"

QT_BEGIN_NAMESPACE
class QLineSeries;
class QLogValueAxis;
class QValueAxis;
QT_END_NAMESPACE

namespace forecastwin {

// One line of the plot as drawn: its legend name, colour and pen.
struct PlotLineStyle {
  const char* name;
  const char* colour;
  Qt::PenStyle pen;
  bool points;
};

// The series, the held-back values and the three forecasts in their colours;
// the forecasts start from the last value trained on, so each line reads as a
// continuation of the series.
class ForecastPlot : public QChartView {
 public:
  explicit ForecastPlot(QWidget* parent = nullptr);
  void showSeries(const std::vector<double>& values, const QString& title);
  void showCheck(const forecast::HoldoutResult& result, const QString& title);
  void showAhead(const std::vector<double>& values, const forecast::AheadResult& result,
                 const QString& title);
  // Names of the lines in the legend, in order (what a reader of the picture sees).
  QStringList lineNames() const;

 private:
  void reset(const QString& title);
  void addLine(const PlotLineStyle& style, std::size_t firstPosition,
               const std::vector<double>& values);
  void fitAxes();
};

// The error at each new low against the seconds since the start, on a log
// axis, growing while the run goes on.
class TrainingCurve : public QChartView {
 public:
  explicit TrainingCurve(QWidget* parent = nullptr);
  void reset(double budgetSeconds);
  void addPoints(const std::vector<std::pair<double, double>>& points);
  // The time passed without a new low, drawn as a dashed level line from the
  // last low at the best error; the time axis follows a run past its budget.
  void showElapsed(double seconds, double bestError);
  int pointCount() const;

 private:
  QLineSeries* line_ = nullptr;
  QLineSeries* since_ = nullptr;  // from the last low to now
  QValueAxis* time_ = nullptr;
  QLogValueAxis* error_ = nullptr;
  double budget_ = 1;
  double lowest_ = 0;
  double highest_ = 0;
};

}  // namespace forecastwin
