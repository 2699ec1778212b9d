#pragma once
// The dialog's side of a run's window calls (see gui/runs/run_window.h).
#include <functional>

#include "gui/rules/control_table.h"
#include "gui/runs/run_controls.h"
#include "main_dialog.h"
#include "main_dialog_messages.h"

// The window as the worker sees it: each call is sent to the dialog's thread,
// runs there, and has completed when SendMessage returns. The dialog's
// thread never waits for the worker, so a sent call always finds it free.
class CMainDialog::RunWindowCalls final : public RunWindow {
 public:
  explicit RunWindowCalls(CMainDialog& dialog) : dialog_(dialog) {}

  void appendLines(const std::vector<std::string>& lines) override {
    onDialogThread([this, &lines] {
      for (const std::string& line : lines) dialog_.appendLine(line.c_str());
    });
  }

  void restoreChoices() override {
    onDialogThread([this] {
      dialog_.enable(ctl::Stop, false);
      for (int id : kRadioButtons) dialog_.enable(id, true);
    });
  }

  void restoreControls() override {
    onDialogThread([this] {
      dialog_.applyModeEnabling();
      for (int id : kControlsToRestore) dialog_.enable(id, true);
      dialog_.keepKeyboardFocus(ctl::ModeList);
      // The worker ends right after this call; what follows waits for that.
      dialog_.windowCallsDone_ = true;
      ::PostMessageA(dialog_.GetSafeHwnd(), kRunEndedMessage, 0, 0);
    });
  }

 private:
  template <typename Call>
  void onDialogThread(Call call) {
    const std::function<void()> sent = call;
    if (::GetWindowThreadProcessId(dialog_.GetSafeHwnd(), nullptr) == ::GetCurrentThreadId()) {
      sent();
    } else {
      ::SendMessageA(dialog_.GetSafeHwnd(), kRunCallMessage, 0, reinterpret_cast<LPARAM>(&sent));
    }
  }

  CMainDialog& dialog_;
};
