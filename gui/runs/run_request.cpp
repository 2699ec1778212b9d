#include "run_request.h"

OutputSink* RunRequest::outputSink() {
  if (auto* list = std::get_if<ListBoxSink>(&sink)) return list;
  if (auto* logged = std::get_if<ListBoxLogSink>(&sink)) return logged;
  return nullptr;
}
