#pragma once
// The dialog's run state: what Begin, Stop and the close path share with the
// worker and the waiting thread.
#include <atomic>
#include <cstdint>
#include <thread>

#include "gui/runs/run_window.h"
#include "main_dialog.h"

class QEventLoop;

// The window as the worker sees it: each call is handed to the dialog's
// thread and has completed there when it returns.
class CMainDialog::RunWindowCalls final : public RunWindow {
 public:
  explicit RunWindowCalls(CMainDialog& dialog) : dialog_(dialog) {}
  void appendLines(const std::vector<std::string>& lines) override;
  void restoreChoices() override;
  void restoreControls() override;

 private:
  template <typename Call>
  void onDialogThread(Call call);

  CMainDialog& dialog_;
};

struct CMainDialog::Runs {
  explicit Runs(CMainDialog& dialog) : window(dialog) {}

  RunWindowCalls window;
  // Handed to the engine as a plain const int32_t*, see run_worker.h.
  std::atomic<std::int32_t> keepRunning{0};
  std::atomic<std::int32_t> runActive{0};
  bool closing = false;         // a close waits for a training run to end
  bool closeAfterRun = false;   // a close waits for a Benchmark or Generate run
  bool windowCallsDone = true;  // the worker has made its last window call
  QEventLoop* afterCloseLoop = nullptr;
  std::thread worker;
  std::thread closer;  // waitAndClose
};
