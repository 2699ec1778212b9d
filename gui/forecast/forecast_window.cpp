#include "forecast_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "common/engine_choice.h"
#include "common/number_text.h"
#include "forecast/engine_session.h"
#include "forecast/forecast_table.h"
#include "forecast/safe_output.h"
#include "forecast_charts.h"
#include "forecast_export.h"

namespace forecastwin {
namespace {

constexpr std::uint32_t kEngines[] = {0, kEngineDouble, kEngineSse, kEngineNnvec2};
constexpr const char* kEngineTexts[] = {"single (x87, the reference)", "double",
                                        "SSE (four lanes)", "nnvec2! (pairs)"};

QString percent(double fraction) {
  if (!std::isfinite(fraction)) return QStringLiteral("inf");
  return QString::asprintf("%.1f%%", fraction * 100);
}

QString figure(double value) { return QString::asprintf("%.4g", value); }

QString realText(double value) {
  char text[64];
  formatReal(text, sizeof text, 6, value);
  return QString::fromLatin1(text);
}

// The series' name in titles: its column's header, else its file's name.
QString seriesName(const RunInputs& in, const QString& path) {
  if (!in.series.columnName.empty()) return QString::fromStdString(in.series.columnName);
  return QFileInfo(path).fileName();
}

QTableWidget* makeTable(const QString& name, const QStringList& headers, QWidget* parent) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
  table->setAccessibleName(name);
  table->setHorizontalHeaderLabels(headers);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table->setTabKeyNavigation(false);  // Tab leaves the table, the arrows move inside it
  return table;
}

// A screen reader announces the window as a window and the two charts as
// charts (a plain QWidget or chart view reads as a filler).
QAccessibleInterface* forecastWindowAccessible(const QString&, QObject* object) {
  if (auto* window = qobject_cast<ForecastWindow*>(object))
    return new QAccessibleWidget(window, QAccessible::Window, window->windowTitle());
  auto* view = qobject_cast<QWidget*>(object);
  if (dynamic_cast<ForecastPlot*>(view) != nullptr || dynamic_cast<TrainingCurve*>(view) != nullptr)
    return new QAccessibleWidget(view, QAccessible::Chart, view->accessibleName());
  return nullptr;
}

}  // namespace

ForecastWindow::ForecastWindow(const ForecastStart& start, QWidget* owner)
    : QWidget(owner, Qt::Window) {
  static const bool accessibilityInstalled = [] {
    QAccessible::installFactory(forecastWindowAccessible);
    return true;
  }();
  (void)accessibilityInstalled;
  setWindowTitle(QStringLiteral("Vantiro Forecast"));
  setAccessibleName(windowTitle());
  createControls();
  takeStart(start);
  poll_ = new QTimer(this);
  poll_->setInterval(kPollMilliseconds);
  connect(poll_, &QTimer::timeout, this, [this] { poll(); });
  updateButtons();
  resize(1120, 740);
}

ForecastWindow::~ForecastWindow() = default;

QLineEdit* ForecastWindow::addField(QFormLayout* form, const QString& label, const QString& name,
                                    const QString& tip) {
  auto* edit = new QLineEdit(this);
  edit->setAccessibleName(name);
  edit->setToolTip(tip);
  auto* caption = new QLabel(label, this);
  caption->setBuddy(edit);
  form->addRow(caption, edit);
  return edit;
}

void ForecastWindow::createControls() {
  auto* seriesGroup = new QGroupBox(QStringLiteral("Series"), this);
  auto* seriesForm = new QFormLayout(seriesGroup);
  series_ = new QLineEdit(this);
  series_->setAccessibleName(QStringLiteral("Series file"));
  series_->setToolTip(QStringLiteral("Plain text (one number per line) or CSV; a header is skipped"));
  browse_ = new QPushButton(QStringLiteral("&Browse..."), this);
  browse_->setAccessibleName(QStringLiteral("Browse for the series file"));
  auto* seriesRow = new QHBoxLayout;
  seriesRow->addWidget(series_);
  seriesRow->addWidget(browse_);
  auto* seriesCaption = new QLabel(QStringLiteral("Se&ries file:"), this);
  seriesCaption->setBuddy(series_);
  seriesForm->addRow(seriesCaption, seriesRow);
  column_ = addField(seriesForm, QStringLiteral("Col&umn:"), QStringLiteral("Column"),
                     QStringLiteral("The value column by header name or number; empty: the first"));
  dateColumn_ = addField(seriesForm, QStringLiteral("&Date column:"), QStringLiteral("Date column"),
                         QStringLiteral("Optional: a column of years or dates that labels the "
                                        "forecast in the CSV"));

  auto* runGroup = new QGroupBox(QStringLiteral("Network and run"), this);
  auto* runForm = new QFormLayout(runGroup);
  holdBack_ = addField(runForm, QStringLiteral("&Hold back:"), QStringLiteral("Hold back"),
                       QStringLiteral("Check: the last values kept from training and forecast"));
  points_ = addField(runForm, QStringLiteral("&Points ahead:"), QStringLiteral("Points ahead"),
                     QStringLiteral("Forecast: the values forecast after the series' end"));
  neurons_ = addField(runForm, QStringLiteral("&Neurons (H):"), QStringLiteral("Neurons"),
                      QStringLiteral("Hidden units of the network"));
  window_ = addField(runForm, QStringLiteral("&Window (W):"), QStringLiteral("Window"),
                     QStringLiteral("Values before each one that predict it"));
  rate_ = addField(runForm, QStringLiteral("&Learning rate:"), QStringLiteral("Learning rate"),
                   QStringLiteral("The step of each weight change"));
  seconds_ = addField(runForm, QStringLiteral("Sec&onds:"), QStringLiteral("Seconds"),
                      QStringLiteral("Training time budget; the pass under way finishes"));
  engine_ = new QComboBox(this);
  engine_->setAccessibleName(QStringLiteral("Engine"));
  for (std::size_t i = 0; i < std::size(kEngines); ++i)
    engine_->addItem(QString::fromLatin1(kEngineTexts[i]), kEngines[i]);
  auto* engineCaption = new QLabel(QStringLiteral("En&gine:"), this);
  engineCaption->setBuddy(engine_);
  runForm->addRow(engineCaption, engine_);
  holdBack_->setText(QStringLiteral("10"));
  points_->setText(QStringLiteral("10"));
  seconds_->setText(QStringLiteral("10"));

  const auto button = [this](const QString& text, const QString& name, const QString& tip) {
    auto* b = new QPushButton(text, this);
    b->setAccessibleName(name);
    b->setToolTip(tip);
    return b;
  };
  check_ = button(QStringLiteral("&Check"), QStringLiteral("Check"),
                  QStringLiteral("Hold back the last values, train on the rest and compare the "
                                 "network's forecast of them with the naive forecasts"));
  forecast_ = button(QStringLiteral("&Forecast"), QStringLiteral("Forecast"),
                     QStringLiteral("Train on the whole series and forecast past its end"));
  stop_ = button(QStringLiteral("&Stop"), QStringLiteral("Stop"),
                 QStringLiteral("End the training after the current pass"));
  saveCsv_ = button(QStringLiteral("Save CS&V..."), QStringLiteral("Save CSV"),
                    QStringLiteral("Save the forecasts as CSV"));
  savePicture_ = button(QStringLiteral("Save pic&ture..."), QStringLiteral("Save picture"),
                        QStringLiteral("Save the plot as PNG or SVG"));
  auto* buttons = new QGridLayout;
  buttons->addWidget(check_, 0, 0);
  buttons->addWidget(forecast_, 0, 1);
  buttons->addWidget(stop_, 0, 2);
  buttons->addWidget(saveCsv_, 1, 0, 1, 1);
  buttons->addWidget(savePicture_, 1, 1, 1, 2);

  // These three lines are read by their text (a screen reader reads a label's
  // name); what each is, is their description.
  progress_ = new QLabel(this);
  progress_->setAccessibleDescription(QStringLiteral("Progress"));
  progress_->setWordWrap(true);
  message_ = new QLabel(this);
  message_->setAccessibleDescription(QStringLiteral("Message"));
  message_->setWordWrap(true);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summary_ = new QLabel(this);
  summary_->setAccessibleDescription(QStringLiteral("Summary"));
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  accuracy_ = makeTable(QStringLiteral("Accuracy on the held-back values"),
                        {QStringLiteral("MAE"), QStringLiteral("RMSE"), QStringLiteral("MAPE"),
                         QStringLiteral("largest rel.")},
                        this);
  ahead_ = makeTable(QStringLiteral("Forecast ahead"),
                     {QStringLiteral("value number"), QStringLiteral("forecast")}, this);

  // Room for the lines these say, so that a longer text never squeezes them.
  const int line = fontMetrics().lineSpacing();
  progress_->setMinimumHeight(3 * line);
  message_->setMinimumHeight(2 * line);
  summary_->setMinimumHeight(2 * line);
  auto* left = new QVBoxLayout;
  left->addWidget(seriesGroup);
  left->addWidget(runGroup);
  left->addLayout(buttons);
  left->addWidget(progress_);
  left->addWidget(message_);
  auto* accuracyCaption = new QLabel(QStringLiteral("&Accuracy on the held-back values:"), this);
  accuracyCaption->setBuddy(accuracy_);
  left->addWidget(accuracyCaption);
  // Three rows, shown whole without scrolling.
  accuracy_->setRowCount(3);
  accuracy_->setVerticalHeaderLabels({QStringLiteral("network"), QStringLiteral("last value"),
                                      QStringLiteral("drift")});
  accuracy_->setFixedHeight(accuracy_->horizontalHeader()->sizeHint().height() +
                            3 * accuracy_->verticalHeader()->sectionSizeHint(0) +
                            2 * accuracy_->frameWidth() + 2);
  accuracy_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  accuracy_->setRowCount(0);
  left->addWidget(accuracy_);
  left->addWidget(summary_);
  aheadCaption_ = new QLabel(QStringLiteral("Forecast &ahead:"), this);
  aheadCaption_->setBuddy(ahead_);
  aheadCaption_->setWordWrap(true);
  ahead_->verticalHeader()->hide();  // the first column numbers the rows
  left->addWidget(aheadCaption_);
  left->addWidget(ahead_, 3);
  auto* leftPanel = new QWidget(this);
  leftPanel->setLayout(left);
  leftPanel->setFixedWidth(430);

  plot_ = new ForecastPlot(this);
  plot_->setAccessibleName(QStringLiteral("Series and forecasts"));
  curve_ = new TrainingCurve(this);
  curve_->setAccessibleName(QStringLiteral("Training curve"));
  auto* charts = new QSplitter(Qt::Vertical, this);
  charts->addWidget(plot_);
  charts->addWidget(curve_);
  charts->setStretchFactor(0, 3);
  charts->setStretchFactor(1, 2);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(leftPanel);
  layout->addWidget(charts, 1);

  connect(browse_, &QPushButton::clicked, this, [this] { chooseSeries(); });
  connect(check_, &QPushButton::clicked, this, [this] { startRun(RunKind::check); });
  connect(forecast_, &QPushButton::clicked, this, [this] { startRun(RunKind::ahead); });
  connect(stop_, &QPushButton::clicked, this, [this] { stopRun(); });
  connect(saveCsv_, &QPushButton::clicked, this, [this] { chooseCsvTarget(); });
  connect(savePicture_, &QPushButton::clicked, this, [this] { choosePictureTarget(); });
  // Enter in a field starts a check, as the window's main action.
  for (QLineEdit* edit : {series_, column_, dateColumn_, holdBack_, points_, neurons_, window_,
                          rate_, seconds_}) {
    connect(edit, &QLineEdit::returnPressed, this, [this] {
      if (!running()) startRun(RunKind::check);
    });
  }
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void ForecastWindow::takeStart(const ForecastStart& start) {
  if (running()) return;
  engineDirectory_ = start.engineDirectory;
  neurons_->setText(QString::number(start.neurons));
  window_->setText(QString::number(start.window));
  rate_->setText(realText(start.rate));
  if (!start.seriesPath.empty()) series_->setText(QString::fromStdString(start.seriesPath));
  for (int i = 0; i < engine_->count(); ++i) {
    if (engine_->itemData(i).toUInt() == start.engineChoice) engine_->setCurrentIndex(i);
  }
}

QWidget* ForecastWindow::field(Field which) const {
  switch (which) {
    case Field::series: return series_;
    case Field::column: return column_;
    case Field::dateColumn: return dateColumn_;
    case Field::holdBack: return holdBack_;
    case Field::points: return points_;
    case Field::neurons: return neurons_;
    case Field::window: return window_;
    case Field::rate: return rate_;
    case Field::seconds: return seconds_;
  }
  return series_;
}

FieldTexts ForecastWindow::fieldTexts() const {
  return {series_->text().toStdString(),   column_->text().toStdString(),
          dateColumn_->text().toStdString(), holdBack_->text().toStdString(),
          points_->text().toStdString(),   neurons_->text().toStdString(),
          window_->text().toStdString(),   rate_->text().toStdString(),
          seconds_->text().toStdString()};
}

std::uint32_t ForecastWindow::chosenEngine() const { return engine_->currentData().toUInt(); }

QString ForecastWindow::message() const { return message_->text(); }
QString ForecastWindow::progressText() const { return progress_->text(); }
QString ForecastWindow::summaryText() const {
  if (haveOutcome_ && outcome_.inputs.kind == RunKind::ahead)
    return aheadCaption_->text().remove(QLatin1Char('&'));
  return summary_->text();
}

void ForecastWindow::showMessage(const QString& text, bool isError) {
  message_->setStyleSheet(isError ? QStringLiteral("color: #b00020;") : QString());
  message_->setText(text);
}

void ForecastWindow::startRun(RunKind kind) {
  if (running()) return;
  RunInputs inputs;
  InputProblem problem;
  if (!readRunInputs(fieldTexts(), kind, chosenEngine(), &inputs, &problem)) {
    showMessage(QString::fromStdString(problem.message), true);
    auto* edit = static_cast<QLineEdit*>(field(problem.field));
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    return;
  }
  const bool check = kind == RunKind::check;
  plot_->showSeries(inputs.series.values,
                    (check ? QStringLiteral("Checking a forecast of ")
                           : QStringLiteral("Forecasting ")) +
                        seriesName(inputs, series_->text()) + QStringLiteral(": training..."));
  curve_->reset(inputs.network.stop.budgetSeconds);
  const double budget = inputs.network.stop.budgetSeconds;
  const bool focusWasOnStart = check_->hasFocus() || forecast_->hasFocus();
  discardOutcome_ = false;
  refocusAfterRun_ = focusWasOnStart;
  ++runNumber_;
  if (!job_.start(std::move(inputs), engineDirectory_)) {
    showMessage(QStringLiteral("The run could not be started: no thread for it."), true);
    return;
  }
  showMessage(QString(), false);
  progress_->setText(QStringLiteral("Training: 0.0 s of %1 s, no new low yet").arg(budget));
  updateButtons();
  if (focusWasOnStart) stop_->setFocus(Qt::OtherFocusReason);
  poll_->start();
}

void ForecastWindow::stopRun() {
  if (!running()) return;
  refocusAfterRun_ = refocusAfterRun_ || stop_->hasFocus();
  job_.requestStop();
  progress_->setText(progress_->text() + QStringLiteral(" (stopping after the current pass)"));
  updateButtons();
}

void ForecastWindow::poll() {
  const RunProgress p = job_.takeProgress();
  curve_->addPoints(p.newCurvePoints);
  if (!job_.finished()) {
    curve_->showElapsed(p.seconds, p.bestError);
    QString text = QStringLiteral("Training: %1 s of %2 s, ")
                       .arg(p.seconds, 0, 'f', 1)
                       .arg(seconds_->text().trimmed());
    text += p.lowCount == 0
                ? QStringLiteral("no new low yet")
                : QStringLiteral("%1 new lows, current best %2").arg(p.lowCount).arg(percent(p.bestError));
    if (job_.stopRequested()) text += QStringLiteral(" (stopping after the current pass)");
    progress_->setText(text);
    return;
  }
  finishRun();
}

void ForecastWindow::finishRun() {
  RunOutcome outcome;
  if (!job_.takeOutcome(&outcome)) return;
  poll_->stop();
  const bool refocus = stop_->hasFocus() || refocusAfterRun_;
  refocusAfterRun_ = false;
  if (discardOutcome_) {
    progress_->setText(QStringLiteral("The run was stopped when the window closed."));
  } else if (!outcome.ok) {
    progress_->setText(QStringLiteral("The run failed."));
    showMessage(QString::fromStdString(outcome.error), true);
  } else {
    outcome_ = std::move(outcome);
    haveOutcome_ = true;
    showOutcome();
  }
  updateButtons();
  if (refocus) check_->setFocus(Qt::OtherFocusReason);
}

void ForecastWindow::showOutcome() {
  const RunOutcome& o = outcome_;
  const QString name = seriesName(o.inputs, series_->text());
  const forecast::TrainingReport& t =
      o.inputs.kind == RunKind::check ? o.check.training_run : o.ahead.training_run;
  const double savedError =
      o.inputs.kind == RunKind::check ? o.check.savedStateError : o.ahead.savedStateError;
  curve_->showElapsed(t.seconds, t.bestError);
  progress_->setText(QStringLiteral("%1 after %2 s: %3 new lows, best pass error %4; "
                                    "error of the state as saved %5.")
                         .arg(o.stopped ? QStringLiteral("Stopped") : QStringLiteral("Done"))
                         .arg(t.seconds, 0, 'f', 1)
                         .arg(t.lows.size())
                         .arg(percent(t.bestError))
                         .arg(percent(savedError)));
  if (o.inputs.kind == RunKind::check) {
    showAccuracy();
  } else {
    showAheadValues();
  }
  // The plot is drawn anew in a turn of its own, so that no one turn of the
  // window's event loop does all the work of showing a result.
  QTimer::singleShot(0, this, [this, name, run = runNumber_] {
    if (run != runNumber_ || !haveOutcome_) return;  // a new run has begun meanwhile
    if (outcome_.inputs.kind == RunKind::check) {
      plot_->showCheck(outcome_.check, QStringLiteral("Hold-out check of ") + name);
    } else {
      plot_->showAhead(outcome_.inputs.series.values, outcome_.ahead,
                       QStringLiteral("Forecast of ") + name);
    }
  });
}

void ForecastWindow::showAccuracy() {
  const forecast::HoldoutResult& r = outcome_.check;
  accuracy_->setRowCount(static_cast<int>(r.forecasts.size()));
  QStringList rows;
  for (std::size_t i = 0; i < r.forecasts.size(); ++i) {
    const forecast::Accuracy& a = r.forecasts[i].accuracy;
    const bool best = i == r.best;
    QString row = QString::fromStdString(r.forecasts[i].name);
    if (best) row += QStringLiteral(" (best)");
    rows << row;
    const QString cells[] = {figure(a.meanAbsoluteError), figure(a.rootMeanSquareError),
                             percent(a.meanAbsolutePercentError), percent(a.largestRelativeError)};
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (best) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
      }
      accuracy_->setItem(static_cast<int>(i), c, item);
    }
  }
  accuracy_->setVerticalHeaderLabels(rows);
  const std::size_t n = r.training.size();
  summary_->setText(QStringLiteral("Trained on values 1-%1, forecast %2-%3; series divided by "
                                   "%4. Best by mean absolute error: %5.")
                        .arg(n)
                        .arg(n + 1)
                        .arg(n + r.heldBack.size())
                        .arg(realText(r.scaleFactor))
                        .arg(QString::fromStdString(r.forecasts[r.best].name)));
}

void ForecastWindow::showAheadValues() {
  const forecast::AheadResult& r = outcome_.ahead;
  const forecast::Series& s = outcome_.inputs.series;
  std::vector<std::string> labels;
  if (!s.labels.empty()) labels = forecast::continueLabels(s.labels, r.forecast.size());
  ahead_->setHorizontalHeaderLabels(
      {labels.empty() ? QStringLiteral("value number") : QString::fromStdString(s.labelName),
       QStringLiteral("forecast")});
  ahead_->setRowCount(static_cast<int>(r.forecast.size()));
  for (std::size_t i = 0; i < r.forecast.size(); ++i) {
    const QString label = labels.empty() ? QString::number(s.values.size() + i + 1)
                                         : QString::fromStdString(labels[i]);
    ahead_->setItem(static_cast<int>(i), 0, new QTableWidgetItem(label));
    auto* value = new QTableWidgetItem(figure(r.forecast[i]));
    value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ahead_->setItem(static_cast<int>(i), 1, value);
  }
  aheadCaption_->setText(QStringLiteral("Forecast &ahead: %1 values after value %2; series "
                                        "divided by %3.")
                             .arg(r.forecast.size())
                             .arg(s.values.size())
                             .arg(realText(r.scaleFactor)));
}

void ForecastWindow::updateButtons() {
  const bool busy = running();
  check_->setEnabled(!busy);
  forecast_->setEnabled(!busy);
  stop_->setEnabled(busy && !job_.stopRequested());
  saveCsv_->setEnabled(!busy && haveOutcome_);
  savePicture_->setEnabled(!busy && haveOutcome_);
  browse_->setEnabled(!busy);
  for (QWidget* w : {static_cast<QWidget*>(series_), static_cast<QWidget*>(column_),
                     static_cast<QWidget*>(dateColumn_), static_cast<QWidget*>(holdBack_),
                     static_cast<QWidget*>(points_), static_cast<QWidget*>(neurons_),
                     static_cast<QWidget*>(window_), static_cast<QWidget*>(rate_),
                     static_cast<QWidget*>(seconds_), static_cast<QWidget*>(engine_)}) {
    w->setEnabled(!busy);
  }
}

bool ForecastWindow::saveCsv(const QString& path) {
  if (!haveOutcome_ || running()) {
    showMessage(QStringLiteral("Nothing to save yet: press Check or Forecast first."), true);
    return false;
  }
  forecast::StagedOutputs out;
  std::string error;
  if (!out.stage(path.toStdString(), outcomeCsv(outcome_), &error) || !out.commit(&error)) {
    showMessage(QString::fromStdString(error), true);
    return false;
  }
  showMessage(QStringLiteral("Saved %1.").arg(path), false);
  return true;
}

bool ForecastWindow::savePicture(const QString& path) {
  if (!haveOutcome_ || running()) {
    showMessage(QStringLiteral("Nothing to draw yet: press Check or Forecast first."), true);
    return false;
  }
  std::string error;
  if (!saveWidgetPicture(plot_, path, &error)) {
    showMessage(QString::fromStdString(error), true);
    return false;
  }
  showMessage(QStringLiteral("Saved %1.").arg(path), false);
  return true;
}

void ForecastWindow::chooseSeries() {
  const QString chosen = QFileDialog::getOpenFileName(
      this, QStringLiteral("Series file"), series_->text(),
      QStringLiteral("Series (*.txt *.csv *.tsv);;All files (*)"));
  if (!chosen.isEmpty()) series_->setText(chosen);
}

void ForecastWindow::chooseCsvTarget() {
  QString chosen = QFileDialog::getSaveFileName(this, QStringLiteral("Save CSV"),
                                                QStringLiteral("forecast.csv"),
                                                QStringLiteral("CSV files (*.csv)"));
  if (chosen.isEmpty()) return;
  if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".csv");
  saveCsv(chosen);
}

void ForecastWindow::choosePictureTarget() {
  QString filter;
  QString chosen = QFileDialog::getSaveFileName(
      this, QStringLiteral("Save picture"), QStringLiteral("forecast.png"),
      QStringLiteral("PNG picture (*.png);;SVG picture (*.svg)"), &filter);
  if (chosen.isEmpty()) return;
  if (QFileInfo(chosen).suffix().isEmpty())
    chosen += filter.contains(QLatin1String("svg")) ? QStringLiteral(".svg") : QStringLiteral(".png");
  savePicture(chosen);
}

void ForecastWindow::closeEvent(QCloseEvent* event) {
  // The run ends after its current pass; the window goes now and drops its result.
  if (running()) {
    discardOutcome_ = true;
    job_.requestStop();
    updateButtons();
  }
  event->accept();
}

}  // namespace forecastwin
