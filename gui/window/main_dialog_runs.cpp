// Begin, Stop, the worker's window calls, the file buttons and the close
// while a run is going.
#include "main_dialog_runs.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QThread>
#include <QTimer>

#include "common/catalog_message.h"
#include "common/message_ids.h"
#include "file_chooser.h"
#include "gui/rules/control_table.h"
#include "gui/rules/mode_rules.h"
#include "gui/runs/begin_checks.h"
#include "gui/runs/run_controls.h"
#include "gui/runs/run_worker.h"

namespace {

constexpr unsigned kCloseDuringTrainingMessage = msg::kCloseDuringTraining;
constexpr unsigned kStopMessage = msg::kStopRequested;
constexpr int kClosePollMilliseconds = 2000;

}  // namespace

template <typename Call>
void CMainDialog::RunWindowCalls::onDialogThread(Call call) {
  if (QThread::currentThread() == dialog_.thread()) {
    call();
  } else {
    QMetaObject::invokeMethod(&dialog_, call, Qt::BlockingQueuedConnection);
  }
}

void CMainDialog::RunWindowCalls::appendLines(const std::vector<std::string>& lines) {
  onDialogThread([this, &lines] {
    auto* list = dialog_.controlAs<QListWidget>(ctl::OutputList);
    for (const std::string& line : lines) list->addItem(QString::fromStdString(line));
    if (list->count() > 0)
      list->scrollToItem(list->item(list->count() - 1), QAbstractItemView::PositionAtTop);
  });
}

void CMainDialog::RunWindowCalls::restoreChoices() {
  onDialogThread([this] {
    dialog_.control(ctl::Stop)->setEnabled(false);
    for (int id : kRadioButtons) dialog_.control(id)->setEnabled(true);
  });
}

void CMainDialog::RunWindowCalls::restoreControls() {
  onDialogThread([this] {
    dialog_.applyModeEnabling();
    for (int id : kControlsToRestore) dialog_.control(id)->setEnabled(true);
    // The worker ends right after this call; what follows it waits for that.
    QTimer::singleShot(0, &dialog_, [this] { dialog_.runEnded(); });
  });
}

void CMainDialog::connectRunHandlers() {
  runs_ = std::make_unique<Runs>(*this);
  connect(controlAs<QAbstractButton>(ctl::Begin), &QAbstractButton::clicked, this,
          [this] { onBegin(); });
  connect(controlAs<QAbstractButton>(ctl::Stop), &QAbstractButton::clicked, this,
          [this] { onStop(); });
  for (const FileChooserRow& row : fileChooserRows()) {
    const int id = row.buttonId;
    connect(controlAs<QAbstractButton>(id), &QAbstractButton::clicked, this,
            [this, id] { onFileButton(id); });
  }
}

bool CMainDialog::runActive() const { return runs_->runActive.load() != 0; }

void CMainDialog::appendLine(const QString& text) {
  auto* list = controlAs<QListWidget>(ctl::OutputList);
  list->addItem(text);
  list->scrollToItem(list->item(list->count() - 1), QAbstractItemView::PositionAtTop);
}

void CMainDialog::onBegin() {
  UpdateData(true);  // read: a field that fails has told the user; its last good value counts
  const int mode = controlAs<QComboBox>(ctl::ModeList)->currentIndex();
  if (!beginChecksPass(mode)) return;
  std::unique_ptr<RunRequest> request = makeRunRequest(mode);
  disableControlsForRun();
  startRun(std::move(request), mode);
}

bool CMainDialog::beginChecksPass(int mode) {
  const std::vector<std::string> lines = beginCheckLines(mode, values_, languageModule_.get());
  for (const std::string& line : lines) appendLine(QString::fromStdString(line));
  return lines.empty();
}

std::unique_ptr<RunRequest> CMainDialog::makeRunRequest(int mode) const {
  return ::makeRunRequest(mode, values_, [this](int id) { return isChecked(id); }, &runs_->window, environment_.engineDirectory);
}

void CMainDialog::disableControlsForRun() {
  for (int id : modeDependentControls()) control(id)->setEnabled(false);
  for (int id : kControlsToRestore) control(id)->setEnabled(false);
  for (int id : kRadioButtons) control(id)->setEnabled(false);
}

void CMainDialog::startRun(std::unique_ptr<RunRequest> request, int mode) {
  RunRequest& r = *request;
  const ThreadPriority priority = priorityFor(isChecked(ctl::High), isChecked(ctl::Normal));
  const std::uint32_t listThreshold = listThresholdFor(r.runFlags);
  if (logFile_) {
    r.sink.emplace<ListBoxLogSink>(runs_->window, listThreshold, logFile_.get());
  } else {
    r.sink.emplace<ListBoxSink>(runs_->window, listThreshold);
  }
  runs_->keepRunning.store(1);
  runs_->runActive.store(1);
  r.keepRunning = &runs_->keepRunning;
  r.runActive = &runs_->runActive;
  r.languageModule = languageModule_.get();
  if (mode == kModeTrain) control(ctl::Stop)->setEnabled(true);

  if (runs_->worker.joinable()) runs_->worker.join();  // the last run's thread has ended
  runs_->windowCallsDone = false;
  int error = 0;
  if (!startWorkerThread(request, priority, &runs_->worker, &error)) {
    // Nothing runs: the window goes back to Idle as a finished run leaves it.
    request.reset();
    runs_->window.restoreChoices();
    runs_->runActive.store(0);
    runs_->window.restoreControls();
    appendLine(
        QStringLiteral("The run could not be started: no thread for it (error %1).").arg(error));
  }
}

void CMainDialog::stopRun() {
  control(ctl::Stop)->setEnabled(false);
  runs_->keepRunning.store(0);
}

void CMainDialog::onStop() {
  stopRun();
  appendLine(catalogText(kStopMessage));
}

void CMainDialog::runEnded() {
  runs_->windowCallsDone = true;
  if (runs_->worker.joinable()) runs_->worker.join();  // past its last window call
  if (runs_->closeAfterRun && !ended_) OnCancel();
  if (runs_->afterCloseLoop != nullptr) runs_->afterCloseLoop->quit();
}

bool CMainDialog::deferCloseForRun() {
  if (!runActive()) return false;
  if (controlAs<QComboBox>(ctl::ModeList)->currentIndex() == kModeTrain) {
    appendLine(catalogText(kCloseDuringTrainingMessage));
    if (runs_->closing) return true;
    runs_->closing = true;
    stopRun();
    // Polls from its own thread; the close it posts runs here, after the run.
    runs_->closer = std::thread([this, active = &runs_->runActive] {
      waitAndClose(active, kClosePollMilliseconds, [this] {
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::QueuedConnection);
      });
    });
    return true;
  }
  // Benchmark and Generate cannot be stopped: the settings are stored now,
  // the window goes, and the rest of the close waits for the worker, whose
  // window calls still need the list, the log and the string table.
  if (!runs_->closeAfterRun) {
    saveSettings();
    runs_->closeAfterRun = true;
    hide();
  }
  return true;
}

bool CMainDialog::settingsStoredByDeferredClose() const { return runs_->closeAfterRun; }

void CMainDialog::waitForRunAfterClose() {
  if (!runs_->closeAfterRun || ended_) return;
  QEventLoop loop;
  runs_->afterCloseLoop = &loop;
  loop.exec();
  runs_->afterCloseLoop = nullptr;
}

void CMainDialog::endRuns() {
  if (!runs_) return;
  if (runs_->worker.joinable()) {
    // The worker's window calls run on this thread: keep them flowing until
    // its last one, asking a training run to end meanwhile.
    runs_->keepRunning.store(0);
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
      if (runs_->windowCallsDone) loop.quit();
    });
    poll.start(10);
    if (!runs_->windowCallsDone) loop.exec();
    if (runs_->worker.joinable()) runs_->worker.join();  // unless the end of the run did
  }
  if (runs_->closer.joinable()) runs_->closer.join();
}

void CMainDialog::onFileButton(int buttonId) {
  const FileChooserRow* row = findFileChooser(buttonId);
  if (row == nullptr) return;
  UpdateData(true);  // the result is not examined
  auto* field = controlAs<QLineEdit>(row->fieldId);
  QFileDialog chooser(this);
  configureFileChooser(chooser, *row, catalogText(row->titleMessage),
                       chooserStart(field->text().toStdString(), '/'));
  if (chooser.exec() != QDialog::Accepted) return;  // cancelled: nothing changes
  const QStringList chosen = chooser.selectedFiles();
  if (!chosen.isEmpty()) setFieldText(row->fieldId, chosen.first());
}
