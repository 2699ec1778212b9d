// Moving the parameters between the fields and the values, the Memory
// Required display, and the remembered settings.

#include <windows.h>
// The platform's other headers need windows.h before them.
#include <algorithm>
#include <vector>

#include "gui/rules/choice_buttons.h"
#include "gui/rules/control_table.h"
#include "gui/rules/field_rules.h"
#include "gui/rules/settings_store.h"
#include "main_dialog.h"

namespace {

std::string windowText(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  ::GetWindowTextA(window, text.data(), length + 1);
  return text.data();
}

// One pass over the fields in their order. A read stops at the first field
// that fails: the fields before it have their new values, it and the fields
// after it keep their old ones.
class FieldExchange {
 public:
  FieldExchange(HWND dialog, bool read, const DialogServices& services)
      : dialog_(dialog), read_(read), services_(services) {}

  bool failed() const { return failed_; }

  void unsignedField(int id, std::uint32_t& value) {
    if (failed_) return;
    HWND edit = ::GetDlgItem(dialog_, id);
    if (!read_) {
      ::SetWindowTextA(edit, unsignedFieldText(value).c_str());
      return;
    }
    if (const auto read = readUnsignedField(numericText(edit).c_str())) {
      value = *read;
    } else {
      fail(edit, kEnterPositiveInteger);
    }
  }

  void realField(int id, double& value) {
    if (failed_) return;
    HWND edit = ::GetDlgItem(dialog_, id);
    if (!read_) {
      ::SetWindowTextA(edit, realFieldText(value).c_str());
      return;
    }
    if (const auto read = readRealField(numericText(edit).c_str())) {
      value = *read;
    } else {
      fail(edit, kEnterNumber);
    }
  }

  // `limit` 0: no limit. The limit applies to typing; a longer text set by
  // the program stays whole until a read refuses it.
  void textField(int id, std::string& value, int limit) {
    if (failed_) return;
    HWND edit = ::GetDlgItem(dialog_, id);
    if (!read_) {
      ::SetWindowTextA(edit, value.c_str());
      if (limit != 0) ::SendMessageA(edit, EM_SETLIMITTEXT, limit, 0);
      return;
    }
    std::string text = windowText(edit);
    if (limit != 0 && text.size() > static_cast<std::size_t>(limit)) {
      fail(edit, textLimitMessage(limit).c_str());
      return;
    }
    value = std::move(text);
    if (limit != 0) ::SendMessageA(edit, EM_SETLIMITTEXT, limit, 0);
  }

 private:
  // A numeric field is seen through a buffer of 32 characters.
  static std::string numericText(HWND edit) {
    char text[kNumericFieldBuffer] = "";
    ::GetWindowTextA(edit, text, kNumericFieldBuffer);
    return text;
  }

  void fail(HWND edit, const char* message) {
    failed_ = true;
    services_.messageBox(dialog_, message, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
    ::SetFocus(edit);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
  }

  HWND dialog_;
  bool read_;
  const DialogServices& services_;
  bool failed_ = false;
};

}  // namespace

bool CMainDialog::UpdateData(bool saveAndValidate) {
  // A text change made while an exchange runs must not start another one.
  if (exchanging_) return false;
  exchanging_ = true;
  FieldExchange exchange(GetSafeHwnd(), saveAndValidate, services_);
  exchangeRunFields(exchange, values_);
  exchanging_ = false;
  return !exchange.failed();
}

void CMainDialog::setFieldText(int id, const std::string& text) {
  ::SetDlgItemTextA(GetSafeHwnd(), id, text.c_str());
}

void CMainDialog::updateMemoryDisplay() {
  const bool doublePrecision = isChecked(ctl::Double);
  UpdateData(true);  // a field that fails has told the user; the last good values count
  setFieldText(ctl::Memory, memoryRequiredText(values_.numberOfNeurons, values_.inputWindowSize,
                                               doublePrecision));
}

void CMainDialog::loadSettings() {
  const StoredSettings stored = readStoredSettings(logFile_);
  fillingFields_ = true;
  auto setStoredText = [this](int id, const std::optional<std::string>& text) {
    if (text) setFieldText(id, *text);
  };
  setStoredText(ctl::InputFile, stored.inputFile);
  setStoredText(ctl::OutputFile, stored.outputFile);
  setStoredText(ctl::LoadStateFile, stored.loadStateFile);
  setStoredText(ctl::SaveStateFile, stored.saveStateFile);
  setFieldText(ctl::Neurons, unsignedFieldText(stored.numberOfNeurons));
  setFieldText(ctl::WindowSize, unsignedFieldText(stored.inputWindowSize));
  setFieldText(ctl::PointsToGenerate, unsignedFieldText(stored.pointsToGenerate));
  setFieldText(ctl::Iterations, unsignedFieldText(stored.benchmarkingIterations));
  setFieldText(ctl::DataPoints, unsignedFieldText(stored.benchmarkingDataPoints));
  setFieldText(ctl::LearningRate, realFieldText(stored.learningRate));
  setFieldText(ctl::ToleranceUnit, realFieldText(stored.toleranceUnit));
  setFieldText(ctl::TrainToTolerance, realFieldText(stored.trainToTolerance));
  // A mode the list does not have leaves it without a selection.
  ::SendDlgItemMessageA(GetSafeHwnd(), ctl::ModeList, CB_SETCURSEL,
                        stored.mode < std::size(kModeNames) ? stored.mode : WPARAM(-1), 0);
  applyModeEnabling();
  check(buttonForStoredChoice(kPrecisionButtons, stored.precision));
  applyPrecisionRule();  // the display follows below, once every field is filled
  check(instructionSetButtonFor(stored.instructionSet, [this](int id) {
    return ::IsWindowEnabled(GetDlgItem(id)) != FALSE;
  }));
  check(buttonForStoredChoice(kPriorityButtons, stored.priority));
  ::CheckDlgButton(GetSafeHwnd(), ctl::LoadConversion,
                   stored.loadConversionState == 1 ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(GetSafeHwnd(), ctl::SaveConversion,
                   stored.saveConversionState == 1 ? BST_CHECKED : BST_UNCHECKED);
  fillingFields_ = false;
  updateMemoryDisplay();
}

void CMainDialog::saveSettings() {
  writeStoredSettings(logFile_, [this] {
    UpdateData(true);  // a field that fails keeps its last good value
    const int mode = modeIndex();
    return settingsToStore(mode, [this](int id) { return isChecked(id); }, values_);
  });
}
