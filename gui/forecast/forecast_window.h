#pragma once
// The Forecast window: checks a forecast on held-back values against the two
// naive forecasts, and forecasts past the series' end, on a worker thread,
// with the series, the forecasts and the training curve drawn as it goes.
#include <QWidget>
#include <cstdint>
#include <string>

#include "forecast_inputs.h"
#include "forecast_job.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

namespace forecastwin {

class ForecastPlot;
class TrainingCurve;

// The values the window starts from: the main window's network and engine,
// and its series file.
struct ForecastStart {
  unsigned neurons = 2;
  unsigned window = 3;
  double rate = 0.01;
  std::uint32_t engineChoice = 0;
  std::string seriesPath;
  // Where the engines and Language.dll are taken from; empty: by bare name,
  // the program's own directory first.
  std::string engineDirectory;
};

class ForecastWindow : public QWidget {
  Q_OBJECT  // so that the main window finds it among its children

 public:
  static constexpr int kPollMilliseconds = 100;

  explicit ForecastWindow(const ForecastStart& start, QWidget* owner = nullptr);
  ~ForecastWindow() override;  // a run still going is stopped and waited for

  // The main window's values, taken again when the window is opened again
  // and no run is going.
  void takeStart(const ForecastStart& start);

  // The buttons' work, also for tests and screen readers' actions.
  void startRun(RunKind kind);
  void stopRun();
  bool saveCsv(const QString& path);
  bool savePicture(const QString& path);
  bool running() const { return job_.running(); }

  // What a user reads off the window.
  QString message() const;
  QString progressText() const;
  QString summaryText() const;  // of the last run's result
  QTableWidget* accuracyTable() const { return accuracy_; }
  QTableWidget* aheadTable() const { return ahead_; }
  ForecastPlot* plot() const { return plot_; }
  TrainingCurve* curve() const { return curve_; }
  QWidget* field(Field which) const;
  QComboBox* engineBox() const { return engine_; }
  QPushButton* checkButton() const { return check_; }
  QPushButton* forecastButton() const { return forecast_; }
  QPushButton* stopButton() const { return stop_; }
  QPushButton* saveCsvButton() const { return saveCsv_; }
  QPushButton* savePictureButton() const { return savePicture_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  QLineEdit* addField(QFormLayout* form, const QString& label, const QString& name,
                      const QString& tip);
  FieldTexts fieldTexts() const;
  std::uint32_t chosenEngine() const;
  void poll();
  void finishRun();
  void showOutcome();
  void showAccuracy();
  void showAheadValues();
  void updateButtons();
  void showMessage(const QString& text, bool isError);
  void chooseSeries();
  void chooseCsvTarget();
  void choosePictureTarget();

  ForecastJob job_;
  RunOutcome outcome_;
  bool haveOutcome_ = false;
  bool discardOutcome_ = false;  // the window was closed during the run
  // The keyboard user started or stopped the run from the buttons: the focus
  // goes back to Check when it ends, not to whatever took it from Stop.
  bool refocusAfterRun_ = false;
  unsigned runNumber_ = 0;
  std::string engineDirectory_;

  QLineEdit* series_ = nullptr;
  QLineEdit* column_ = nullptr;
  QLineEdit* dateColumn_ = nullptr;
  QLineEdit* holdBack_ = nullptr;
  QLineEdit* points_ = nullptr;
  QLineEdit* neurons_ = nullptr;
  QLineEdit* window_ = nullptr;
  QLineEdit* rate_ = nullptr;
  QLineEdit* seconds_ = nullptr;
  QComboBox* engine_ = nullptr;
  QPushButton* browse_ = nullptr;
  QPushButton* check_ = nullptr;
  QPushButton* forecast_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* saveCsv_ = nullptr;
  QPushButton* savePicture_ = nullptr;
  QLabel* progress_ = nullptr;
  QLabel* message_ = nullptr;
  QLabel* summary_ = nullptr;
  QLabel* aheadCaption_ = nullptr;
  QTableWidget* accuracy_ = nullptr;
  QTableWidget* ahead_ = nullptr;
  ForecastPlot* plot_ = nullptr;
  TrainingCurve* curve_ = nullptr;
  QTimer* poll_ = nullptr;
};

}  // namespace forecastwin
