#pragma once
#include <QDialog>
#include <QHash>
#include <QIcon>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "dialog_environment.h"
#include "gui/help/context_help.h"
#include "gui/help/html_help.h"
#include "gui/rules/parameter_values.h"

class CToolTipCtrl;
class QButtonGroup;
class QLineEdit;
class QMenu;
struct RunRequest;

// The program's one window: the run parameters and options, the Memory
// Required display, the output list and the buttons that start and stop runs.
// It decides nothing itself: the rules live in plain functions (mode_rules,
// field_rules, settings_store) and the handlers here apply their answers.
class CMainDialog : public QDialog {
 public:
  // The system menu's About command, and the range of commands that open the box.
  static constexpr unsigned kAboutCommand = 16;
  static constexpr unsigned kForecastCommand = 32;  // opens the Forecast window (Ctrl+F)
  static constexpr unsigned kSystemMinimize = 0xF020;
  static constexpr unsigned kSystemClose = 0xF060;
  static constexpr unsigned kSystemContextHelp = 0xF180;

  explicit CMainDialog(DialogEnvironment environment = {});
  ~CMainDialog() override;

  // Initialises the window and runs it until it closes; returns the result.
  int DoModal();

  // Start-up in its order; false when the program cannot go on (no
  // Language.dll), in which case the dialog has already ended.
  bool OnInitDialog();
  // The close path: stores the settings and releases everything in order.
  void OnCancel();
  void OnSysCommand(unsigned command);
  // A request for help on a control: opens the manual at the control's page
  // for the selected mode. False when no page could be shown.
  bool OnHelpInfo(const HelpInfo& info);

  // Moves the field texts into the values (`saveAndValidate`) or the values
  // into the fields. A read stops at the first field that fails its rule,
  // after telling the user; it then returns false.
  bool UpdateData(bool saveAndValidate);

  void applyModeEnabling();
  void applyPrecisionRule();
  void updateMemoryDisplay();
  void loadSettings();
  void saveSettings();

  QWidget* control(int id) const;
  template <typename Widget>
  Widget* controlAs(int id) const {
    return static_cast<Widget*>(control(id));
  }
  // The values of the last field exchange.
  const ParameterValues& values() const { return values_; }
  const DialogEnvironment& environment() const { return environment_; }

  // What the dialog holds now. Start-up takes these in its order and the
  // close path gives them back in the opposite one; this is how that is seen
  // from outside.
  struct HeldResources {
    bool languageModule = false;
    bool logFile = false;
    std::optional<std::string> helpDirectory;  // where the manual and the log are
    bool ended = false;                         // the dialog has ended
  };
  HeldResources heldResources() const {
    return {languageModule_ != nullptr, logFile_ != nullptr, helpDirectory_, ended_};
  }

  // Runs (main_dialog_runs.cpp): Begin, Stop, and the file buttons.
  // Begin: read the fields, check them, make the request, disable the
  // controls, start the worker.
  void onBegin();
  void onStop();
  void stopRun();
  void onFileButton(int buttonId);
  bool runActive() const;
  // Adds one line at the end of the output list and scrolls to it.
  void appendLine(const QString& text);

 protected:
  void reject() override;  // Escape, the close box and Alt+F4 arrive here
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  struct LibraryRelease {
    void operator()(void* library) const;
  };
  struct FileClose {
    void operator()(std::FILE* file) const;
  };

  void createControls();
  void fillModeList();
  void connectHandlers();
  void connectHelp();
  void requestHelp(QWidget* widget, QPoint globalPosition);
  void closeHelp();
  void onPrecisionClicked();
  void onSizeFieldChanged();
  void setFieldText(int id, const QString& text);  // shown in full, also past a typing limit
  void locateHelpAndLog();
  void appendAboutItem();
  void setButtonIcons();
  void createToolTips();
  void selectStoredChoices(std::uint32_t instructionSet, std::uint32_t priority);
  void endDialog(int result);
  struct Runs;
  bool beginChecksPass(int mode);  // false after listing the checks that failed
  std::unique_ptr<RunRequest> makeRunRequest(int mode) const;
  void disableControlsForRun();
  void startRun(std::unique_ptr<RunRequest> request, int mode);
  class RunWindowCalls;  // the worker's window calls (main_dialog_runs.h)
  void connectRunHandlers();
  bool deferCloseForRun();  // true while a run keeps the close from completing
  bool settingsStoredByDeferredClose() const;
  void waitForRunAfterClose();
  void endRuns();
  void runEnded();
  void showSystemMenu(const QPoint& globalPosition);
  QString catalogText(unsigned id) const;
  bool isChecked(int id) const;
  void check(int id);

  DialogEnvironment environment_;
  QHash<int, QWidget*> controls_;
  QButtonGroup* precisionGroup_ = nullptr;
  QButtonGroup* instructionSetGroup_ = nullptr;
  QButtonGroup* priorityGroup_ = nullptr;
  QMenu* systemMenu_ = nullptr;
  QIcon windowIcon_;

  ParameterValues values_;
  std::uint32_t cpuFeatures_ = 0;
  // Declared in the order opposite to their release on the close path, so
  // the same order holds when the dialog is destroyed without closing.
  std::optional<std::string> helpDirectory_;
  std::unique_ptr<std::FILE, FileClose> logFile_;
  std::unique_ptr<void, LibraryRelease> languageModule_;
  CToolTipCtrl* toolTips_ = nullptr;  // owned by the dialog as a child object
  HtmlHelp htmlHelp_;
  std::uint32_t helpCookie_ = 0;
  ContextHelpMode* contextHelp_ = nullptr;  // a child object

  std::unique_ptr<Runs> runs_;

  bool exchanging_ = false;     // a field exchange is running
  bool fillingFields_ = false;  // the program is filling the fields
  bool ended_ = false;
};
