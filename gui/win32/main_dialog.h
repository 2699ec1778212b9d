#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "dialog_services.h"
#include "gui/rules/parameter_values.h"
#include "gui/runs/run_window.h"
#include "win_framework.h"

struct RunRequest;

// The program's one window: the run parameters and options, the Memory
// Required display, the output list and the buttons that start and stop runs.
// It decides nothing itself: the rules live in gui/rules and gui/runs, shared
// with the Qt window, and the handlers here apply their answers to the
// controls of the dialog template.
class CMainDialog : public CDialog {
 public:
  static constexpr int kTemplateId = 102;
  static constexpr UINT kAboutCommand = 16;

  explicit CMainDialog(DialogServices services = DialogServices::platform());
  ~CMainDialog() override;

  BOOL OnInitDialog() override;
  void OnCancel() override;  // the close path
  BOOL PreTranslateMessage(MSG* message) override;
  BOOL OnHelpInfo(const HELPINFO* info);
  void OnSysCommand(UINT command, LPARAM lParam);

  // Field texts to values (`saveAndValidate`) or values to field texts. A
  // read stops at the first field that fails its rule, after telling the
  // user; it then returns false.
  bool UpdateData(bool saveAndValidate);

  void applyModeEnabling();
  void applyPrecisionRule();
  void updateMemoryDisplay();
  void loadSettings();
  void saveSettings();

  void onBegin();
  void onStop();
  void stopRun();
  void onFileButton(int buttonId);
  // One line at the end of the output list, scrolled into view.
  void appendLine(const char* text);

  const ParameterValues& values() const { return values_; }
  bool runActive() const { return runActive_.load() != 0; }
  const CToolTipCtrl* toolTips() const { return toolTips_.get(); }
  std::FILE* logFile() const { return logFile_; }
  const std::optional<std::string>& helpDirectory() const { return helpDirectory_; }

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  class RunWindowCalls;
  friend class RunWindowCalls;

  bool onCommand(int id, int notification);
  bool isChecked(int id) const;
  void check(int id);
  void enable(int id, bool enabled);
  int modeIndex() const;
  std::string catalogText(unsigned id) const;
  void setFieldText(int id, const std::string& text);
  void fillModeList();
  void locateHelpAndLog();
  void appendAboutItem();
  void setWindowIcons();
  void setButtonIcons();
  void createToolTips();
  void selectPrecision(int id);
  void paintMinimized();

  bool beginChecksPass(int mode);
  std::unique_ptr<RunRequest> makeRunRequest(int mode) const;
  void disableControlsForRun();
  void keepKeyboardFocus(int fallbackId);
  void startRun(std::unique_ptr<RunRequest> request, int mode);
  bool deferCloseForRun();
  void runEnded();
  void endRuns();
  void releaseResources();

  DialogServices services_;
  ParameterValues values_;
  std::uint32_t cpuFeatures_ = 0;
  HICON programIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::vector<HICON> buttonIcons_;
  std::optional<std::string> helpDirectory_;
  std::FILE* logFile_ = nullptr;
  void* languageModule_ = nullptr;
  std::unique_ptr<CToolTipCtrl> toolTips_;
  DWORD_PTR helpCookie_ = 0;
  HMENU systemMenu_ = nullptr;

  // The run state (main_dialog_runs.cpp).
  std::unique_ptr<RunWindowCalls> runWindow_;
  // Handed to the engine as a plain const int32_t*, see gui/runs/run_worker.h.
  std::atomic<std::int32_t> keepRunning_{0};
  std::atomic<std::int32_t> runActive_{0};
  bool closing_ = false;         // a close waits for a training run to end
  bool closeAfterRun_ = false;   // a close waits for a Benchmark or Generate run
  bool windowCallsDone_ = true;  // the worker has made its last window call
  std::thread worker_;
  std::thread closer_;  // the waiting close of a training run

  bool exchanging_ = false;     // a field exchange is running
  bool fillingFields_ = false;  // the program is filling the fields
  bool released_ = false;
};
