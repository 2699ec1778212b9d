// Begin, Stop, the worker's window calls and the close while a run goes.

#include <windows.h>
// The platform's other headers need windows.h before them.
#include <cstdio>
#include <functional>

#include "common/catalog_message.h"
#include "common/message_ids.h"
#include "gui/rules/control_table.h"
#include "gui/rules/mode_rules.h"
#include "gui/runs/begin_checks.h"
#include "gui/runs/run_controls.h"
#include "gui/runs/run_worker.h"
#include "main_dialog.h"
#include "main_dialog_messages.h"
#include "main_dialog_run_window.h"

void CMainDialog::appendLine(const char* text) {
  HWND list = GetDlgItem(ctl::OutputList);
  // Inserted by position at the end, which the sorted style does not reorder.
  const LRESULT index = ::SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text));
  if (index != LB_ERR && index != LB_ERRSPACE) ::SendMessageA(list, LB_SETTOPINDEX, index, 0);
}

void CMainDialog::onBegin() {
  // Enter reaches the default button even while it is disabled: one run at a time.
  if (runActive()) return;
  UpdateData(true);  // a field that fails has told the user; its last good value counts
  const int mode = modeIndex();
  if (!beginChecksPass(mode)) return;
  std::unique_ptr<RunRequest> request = makeRunRequest(mode);
  disableControlsForRun();
  startRun(std::move(request), mode);
}

bool CMainDialog::beginChecksPass(int mode) {
  const std::vector<std::string> lines = beginCheckLines(mode, values_, languageModule_);
  for (const std::string& line : lines) appendLine(line.c_str());
  return lines.empty();
}

std::unique_ptr<RunRequest> CMainDialog::makeRunRequest(int mode) const {
  return ::makeRunRequest(mode, values_, [this](int id) { return isChecked(id); }, runWindow_.get(), services_.engineDirectory);
}

void CMainDialog::disableControlsForRun() {
  for (int id : modeDependentControls()) enable(id, false);
  for (int id : kControlsToRestore) enable(id, false);
  for (int id : kRadioButtons) enable(id, false);
  keepKeyboardFocus(ctl::OutputList);
}

void CMainDialog::keepKeyboardFocus(int fallbackId) {
  // A control disabled while it has the focus takes the focus with it, and
  // with it Escape and Enter: the focus goes where the keys still work.
  HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsWindowEnabled(focus)) return;
  ::SendMessageA(GetSafeHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(fallbackId)),
                 TRUE);
}

void CMainDialog::startRun(std::unique_ptr<RunRequest> request, int mode) {
  if (!runWindow_) runWindow_ = std::make_unique<RunWindowCalls>(*this);
  request->window = runWindow_.get();
  RunRequest& r = *request;
  const ThreadPriority priority = priorityFor(isChecked(ctl::High), isChecked(ctl::Normal));
  const std::uint32_t listThreshold = listThresholdFor(r.runFlags);
  if (logFile_ != nullptr) {
    r.sink.emplace<ListBoxLogSink>(*runWindow_, listThreshold, logFile_);
  } else {
    r.sink.emplace<ListBoxSink>(*runWindow_, listThreshold);
  }
  keepRunning_.store(1);
  runActive_.store(1);
  r.keepRunning = &keepRunning_;
  r.runActive = &runActive_;
  r.languageModule = languageModule_;
  if (mode == kModeTrain) enable(ctl::Stop, true);

  if (worker_.joinable()) worker_.join();  // the last run's thread has ended
  windowCallsDone_ = false;
  int error = 0;
  if (!startWorkerThread(request, priority, &worker_, &error)) {
    // Nothing runs: the window goes back to Idle as a finished run leaves it.
    request.reset();
    runWindow_->restoreChoices();
    runActive_.store(0);
    runWindow_->restoreControls();
    char text[kMessageBufferSize];
    std::snprintf(text, sizeof text, "The run could not be started: no thread for it (error %d).",
                  error);
    appendLine(text);
  }
}

void CMainDialog::stopRun() {
  enable(ctl::Stop, false);
  keepRunning_.store(0);
}

void CMainDialog::onStop() {
  stopRun();
  appendLine(catalogText(msg::kStopRequested).c_str());
}

void CMainDialog::runEnded() {
  if (worker_.joinable()) worker_.join();  // past its last window call
  if (closeAfterRun_ && !hasEnded()) OnCancel();
}

bool CMainDialog::deferCloseForRun() {
  if (!runActive()) return false;
  if (modeIndex() == kModeTrain) {
    appendLine(catalogText(msg::kCloseDuringTraining).c_str());
    if (closing_) return true;
    closing_ = true;
    stopRun();
    // Polls from its own thread; the close it posts comes back here after the run.
    if (closer_.joinable()) closer_.join();
    closer_ = std::thread(
        [hwnd = GetSafeHwnd(), active = &runActive_, poll = services_.closePollMilliseconds] {
          waitAndClose(active, poll, [hwnd] { ::PostMessageA(hwnd, WM_CLOSE, 0, 0); });
        });
    return true;
  }
  // Benchmark and Generate cannot be stopped: the settings are stored now,
  // the window goes, and the rest of the close waits for the worker, whose
  // window calls still need the list, the log and the string table.
  if (!closeAfterRun_) {
    saveSettings();
    closeAfterRun_ = true;
    ::ShowWindow(GetSafeHwnd(), SW_HIDE);
  }
  return true;
}

void CMainDialog::endRuns() {
  if (worker_.joinable()) {
    // The worker's window calls run on this thread: keep them flowing until
    // its last one, asking a training run to end meanwhile.
    keepRunning_.store(0);
    MSG message;
    while (!windowCallsDone_ && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    worker_.join();
  }
  if (closer_.joinable()) closer_.join();
}
