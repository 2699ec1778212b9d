#include "forecast_opening.h"

#include <QAbstractButton>

#include "gui/forecast/forecast_window.h"
#include "gui/rules/control_table.h"
#include "gui/runs/begin_checks.h"
#include "main_dialog.h"

void openForecastWindow(CMainDialog& dialog) {
  // The fields are read as before a file chooser opens: a field that fails
  // has told the user, and its last good value counts.
  dialog.UpdateData(true);
  const ParameterValues& v = dialog.values();
  const auto checked = [&dialog](int id) {
    return dialog.controlAs<QAbstractButton>(id)->isChecked();
  };
  forecastwin::ForecastStart start;
  if (v.numberOfNeurons != 0) start.neurons = v.numberOfNeurons;
  if (v.inputWindowSize != 0) start.window = v.inputWindowSize;
  if (v.learningRate > 0) start.rate = v.learningRate;
  start.engineChoice = engineChoiceFor(checked(ctl::Double), checked(ctl::Nnvec2), checked(ctl::Sse));
  start.seriesPath = v.inputFile;
  start.engineDirectory = dialog.environment().engineDirectory;

  auto* window = dialog.findChild<forecastwin::ForecastWindow*>();
  if (window == nullptr) {
    window = new forecastwin::ForecastWindow(start, &dialog);
    window->setWindowIcon(dialog.windowIcon());
  } else {
    window->takeStart(start);
  }
  window->show();
  window->raise();
  window->activateWindow();
}
