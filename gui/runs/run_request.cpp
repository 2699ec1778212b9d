#include "run_request.h"

#include "begin_checks.h"
#include "gui/rules/control_table.h"

OutputSink* RunRequest::outputSink() {
  if (auto* list = std::get_if<ListBoxSink>(&sink)) return list;
  if (auto* logged = std::get_if<ListBoxLogSink>(&sink)) return logged;
  return nullptr;
}

std::unique_ptr<RunRequest> makeRunRequest(int modeIndex, const ParameterValues& values,
                                           const std::function<bool(int id)>& isChecked,
                                           RunWindow* window, const std::string& engineDirectory) {
  auto request = std::make_unique<RunRequest>();
  RunRequest& r = *request;
  static_cast<RunNumbers&>(r) = values;
  r.runFlags =
      runFlagsFor(modeIndex, isChecked(ctl::LoadConversion), isChecked(ctl::SaveConversion));
  r.engineChoice =
      engineChoiceFor(isChecked(ctl::Double), isChecked(ctl::Nnvec2), isChecked(ctl::Sse));
  r.window = window;
  r.engineDirectory = engineDirectory;
  r.inputFile = values.inputFile;
  r.outputFile = values.outputFile;
  if (!values.loadStateFile.empty()) r.loadStateFile = values.loadStateFile;
  r.saveStateFile = values.saveStateFile;
  return request;
}
