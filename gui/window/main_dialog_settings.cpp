// Reading the remembered settings into the window and storing them again.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "gui/rules/choice_buttons.h"
#include "gui/rules/control_table.h"
#include "gui/rules/field_rules.h"
#include "gui/rules/mode_rules.h"
#include "gui/rules/settings_store.h"
#include "main_dialog.h"

namespace {

// Marks the fields as filled by the program for as long as it lives.
class FillingScope {
 public:
  explicit FillingScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
  ~FillingScope() { flag_ = previous_; }
  FillingScope(const FillingScope&) = delete;
  FillingScope& operator=(const FillingScope&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

}  // namespace

void CMainDialog::loadSettings() {
  const StoredSettings stored = readStoredSettings(logFile_.get());
  {
    FillingScope filling(fillingFields_);
    auto setText = [this](int id, const QString& text) { setFieldText(id, text); };
    auto setStoredText = [&setText](int id, const std::optional<std::string>& text) {
      if (text) setText(id, QString::fromStdString(*text));
    };
    setStoredText(ctl::InputFile, stored.inputFile);
    setStoredText(ctl::OutputFile, stored.outputFile);
    setStoredText(ctl::LoadStateFile, stored.loadStateFile);
    setStoredText(ctl::SaveStateFile, stored.saveStateFile);

    auto setUnsigned = [&setText](int id, std::uint32_t value) {
      setText(id, QString::fromStdString(unsignedFieldText(value)));
    };
    setUnsigned(ctl::Neurons, stored.numberOfNeurons);
    setUnsigned(ctl::WindowSize, stored.inputWindowSize);
    setUnsigned(ctl::PointsToGenerate, stored.pointsToGenerate);
    setUnsigned(ctl::Iterations, stored.benchmarkingIterations);
    setUnsigned(ctl::DataPoints, stored.benchmarkingDataPoints);
    auto setReal = [&setText](int id, double value) {
      setText(id, QString::fromStdString(realFieldText(value)));
    };
    setReal(ctl::LearningRate, stored.learningRate);
    setReal(ctl::ToleranceUnit, stored.toleranceUnit);
    setReal(ctl::TrainToTolerance, stored.trainToTolerance);

    // A mode the list does not have leaves it without a selection.
    auto* modes = controlAs<QComboBox>(ctl::ModeList);
    modes->setCurrentIndex(stored.mode < static_cast<std::uint32_t>(modes->count())
                               ? static_cast<int>(stored.mode)
                               : -1);
    applyModeEnabling();

    check(stored.precision == 1 ? ctl::Double : ctl::Single);
    applyPrecisionRule();  // the display follows below, once every field is filled
    selectStoredChoices(stored.instructionSet, stored.priority);
    controlAs<QCheckBox>(ctl::LoadConversion)->setChecked(stored.loadConversionState == 1);
    controlAs<QCheckBox>(ctl::SaveConversion)->setChecked(stored.saveConversionState == 1);
  }
  updateMemoryDisplay();
}

void CMainDialog::selectStoredChoices(std::uint32_t instructionSet, std::uint32_t priority) {
  check(instructionSetButtonFor(instructionSet,
                                [this](int id) { return control(id)->isEnabled(); }));
  check(buttonForStoredChoice(kPriorityButtons, priority));
}

void CMainDialog::saveSettings() {
  writeStoredSettings(logFile_.get(), [this] {
    UpdateData(true);  // a field that fails keeps its last good value
    const int mode = controlAs<QComboBox>(ctl::ModeList)->currentIndex();
    return settingsToStore(mode, [this](int id) { return isChecked(id); }, values_);
  });
}
