#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "common/run_numbers.h"
#include "gui/rules/parameter_values.h"
#include "list_box_sink.h"

class RunWindow;

// The engine reads the run flag through a plain `const int32_t*` with an
// atomic load; the dialog keeps it as an atomic of the same size and layout.
static_assert(std::atomic<std::int32_t>::is_always_lock_free);
static_assert(sizeof(std::atomic<std::int32_t>) == sizeof(std::int32_t));
static_assert(alignof(std::atomic<std::int32_t>) == alignof(std::int32_t));

// One run: made by Begin on the window's thread, handed to the worker, and
// released by the worker with everything it owns when the run is over.
struct RunRequest : RunNumbers {
  std::uint32_t engineChoice = 0;
  RunWindow* window = nullptr;
  // Where the engine libraries are looked for; empty: by bare name, the
  // loader's own search (the program's directory first).
  std::string engineDirectory;

  std::string inputFile;
  std::string outputFile;
  std::optional<std::string> loadStateFile;  // absent when the field is empty
  std::string saveStateFile;
  std::variant<std::monostate, ListBoxSink, ListBoxLogSink> sink;
  std::atomic<std::int32_t>* keepRunning = nullptr;
  std::atomic<std::int32_t>* runActive = nullptr;
  void* languageModule = nullptr;

  OutputSink* outputSink();
};

// The request Begin makes from the values of the last field exchange and the
// buttons and boxes as `isChecked` reads them; the window's run calls go to
// `window`. The sink, the run flags and the language module are the
// window's to add when it starts the run.
std::unique_ptr<RunRequest> makeRunRequest(int modeIndex, const ParameterValues& values,
                                           const std::function<bool(int id)>& isChecked,
                                           RunWindow* window, const std::string& engineDirectory);
