#include "engine_session.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "common/engine_choice.h"
#include "common/number_text.h"
#include "common/output_sink.h"
#include "common/run_numbers.h"
#include "platform/library_loader.h"
#include "safe_output.h"
#include "series_reader.h"

namespace forecast {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Collects what a run says: the pass error of every progress line (the number
// that ends it), and the last error text, which becomes the failure's reason.
class CollectingSink final : public OutputSink {
 public:
  explicit CollectingSink(Clock::time_point start) : start_(start) {}
  void write(std::uint32_t level, const char* text) override {
    if (level == 2) {
      lastError_ = text;
      return;
    }
    if (level != 0) return;
    const char* last = std::strrchr(text, ' ');
    double error = 0;
    if (!parseNumberField(last != nullptr ? last + 1 : text, &error)) return;
    const double seconds = secondsSince(start_);
    lows.emplace_back(seconds, error);
    lastLowSeconds.store(seconds);
    lowCount.fetch_add(1);
    if (observer) observer(seconds, error);
    if (stopAtFirstLow) std::atomic_ref<std::int32_t>(*keepRunning).store(0, std::memory_order_relaxed);
  }
  const std::string& lastError() const { return lastError_; }

  std::vector<std::pair<double, double>> lows;
  std::atomic<double> lastLowSeconds{0};
  std::atomic<int> lowCount{0};
  LowObserver observer;
  bool stopAtFirstLow = false;
  std::int32_t* keepRunning = nullptr;

 private:
  Clock::time_point start_;
  std::string lastError_;
};

// Clears the run flag when the stop rule says so; the engine reads it before
// every pass, so the pass under way finishes first.
class StopWatcher {
 public:
  StopWatcher(const StopRule& rule, CollectingSink& sink, std::int32_t* keepRunning,
              Clock::time_point start)
      : thread_([this, rule, &sink, keepRunning, start] {
          while (!done_.load()) {
            const double now = secondsSince(start);
            const bool overBudget = rule.budgetSeconds > 0 && now >= rule.budgetSeconds;
            const double since = sink.lowCount.load() > 0 ? sink.lastLowSeconds.load() : 0.0;
            const bool quiet = rule.quietSeconds > 0 && now - since >= rule.quietSeconds;
            const bool stopped = rule.stopRequested != nullptr && rule.stopRequested->load();
            if (overBudget || quiet || stopped) {
              std::atomic_ref<std::int32_t>(*keepRunning).store(0, std::memory_order_relaxed);
              return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
          }
        }) {}
  ~StopWatcher() {
    done_.store(true);
    thread_.join();
  }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

std::string engineFailure(const CollectingSink& sink, std::int32_t code) {
  std::string reason = sink.lastError();
  if (reason.empty()) reason = "the engine ended the run with code " + std::to_string(code);
  return "engine: " + reason;
}

// A Train run of `neurons` x `window` over `input` that reports every new low
// (tolerance unit 0). It ends when a pass error falls below `stopBelow`, or
// when the stop rule or the sink clears the run flag.
std::int32_t trainWatched(void* pet, void* language, unsigned neurons, unsigned window,
                          double rate, double stopBelow, const std::string& input,
                          const char* loadState, const std::string& saveState,
                          const StopRule& stop, CollectingSink& sink, Clock::time_point start) {
  RunNumbers numbers;
  numbers.runFlags = kRunTrain;
  numbers.numberOfNeurons = neurons;
  numbers.inputWindowSize = window;
  numbers.learningRate = rate;
  numbers.toleranceUnit = 0.0;
  numbers.trainToTolerance = stopBelow;
  std::int32_t keepRunning = 1;
  sink.keepRunning = &keepRunning;
  StopWatcher watcher(stop, sink, &keepRunning, start);
  return callPet(reinterpret_cast<PetFunction>(pet), numbers, input.c_str(), nullptr, loadState,
                 saveState.c_str(), &sink, &keepRunning, language);
}

bool readValues(const std::string& path, std::vector<double>* values) {
  std::string text;
  if (!readWholeFile(path, &text)) return false;
  Series series;
  std::string ignored;
  if (!parseSeries(text, path, ColumnChoice{}, &series, &ignored)) return false;
  *values = std::move(series.values);
  return true;
}

}  // namespace

bool parseEngineName(const std::string& name, std::uint32_t* choice) {
  if (name == "single") *choice = 0;
  else if (name == "double") *choice = kEngineDouble;
  else if (name == "sse") *choice = kEngineSse;
  else if (name == "nnvec2") *choice = kEngineNnvec2;
  else return false;
  return true;
}

const char* engineName(std::uint32_t choice) {
  if (choice & kEngineDouble) return "double";
  if (choice & kEngineNnvec2) return "nnvec2";
  if (choice & kEngineSse) return "sse";
  return "single";
}

std::uint64_t stateFileBytes(std::uint32_t choice, unsigned neurons, unsigned window) {
  const std::uint64_t width = (choice & kEngineDouble) ? 8 : 4;
  return width * (1 + static_cast<std::uint64_t>(neurons) * window + neurons);
}

EngineSession::~EngineSession() {
  for (const auto& f : scratchFiles_) ::unlink(f.c_str());
  if (!scratch_.empty()) ::rmdir(scratch_.c_str());
  freeLibrary(engine_);
  freeLibrary(language_);
}

bool EngineSession::open(std::uint32_t choice, const std::string& directory, std::string* error) {
  engineChoice_ = choice;
  const std::string prefix = directory.empty() ? std::string() : directory + "/";
  int code = 0;
  language_ = loadLibrary((prefix + "Language.dll").c_str(), &code);
  if (language_ == nullptr) {
    *error = "cannot load Language.dll: " + std::string(std::strerror(code));
    return false;
  }
  const std::string library = prefix + selectEngineLibrary(choice);
  engine_ = loadLibrary(library.c_str(), &code);
  if (engine_ == nullptr) {
    *error = "cannot load the engine " + library + ": " + std::strerror(code);
    return false;
  }
  pet_ = librarySymbol(engine_, "Pet", &code);
  if (pet_ == nullptr) {
    *error = "the engine " + library + " has no Pet";
    return false;
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                        "/vantiro-forecast.XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    *error = "cannot make a scratch directory in " + pattern.substr(0, pattern.rfind('/')) +
             ": " + std::strerror(errno);
    return false;
  }
  scratch_ = pattern;
  return true;
}

std::string EngineSession::scratchPath(const std::string& name) {
  std::string path = scratch_ + "/" + name;
  scratchFiles_.push_back(path);
  return path;
}

bool EngineSession::writeSeriesFile(const std::string& path, const std::vector<double>& values,
                                    std::string* error) {
  std::string text;
  char number[64];
  for (double v : values) {
    // Seventeen digits give every double back exactly; the single builds round it once.
    formatReal(number, sizeof number, 17, v);
    text += number;
    text += '\n';
  }
  StagedOutputs out;
  if (!out.stage(path, text, error) || !out.commit(error)) return false;
  return true;
}

bool EngineSession::train(const std::vector<double>& series, unsigned neurons, unsigned window,
                          double rate, const StopRule& stop, const std::string& loadState,
                          const std::string& saveState, const LowObserver& observer,
                          TrainingReport* report, std::string* error) {
  const std::string input = scratchPath("training-series.txt");
  if (!writeSeriesFile(input, series, error)) return false;
  const Clock::time_point start = Clock::now();
  CollectingSink sink(start);
  sink.observer = observer;
  // No pass error lies below 0: only the stop rule ends the run.
  const std::int32_t code =
      trainWatched(pet_, language_, neurons, window, rate, 0.0, input,
                   loadState.empty() ? nullptr : loadState.c_str(), saveState, stop, sink, start);
  report->seconds = secondsSince(start);
  report->lows = sink.lows;
  report->bestError = sink.lows.empty() ? 0.0 : sink.lows.back().second;
  if (code != 0) {
    *error = engineFailure(sink, code);
    return false;
  }
  return true;
}

bool EngineSession::generate(const std::string& state, const std::vector<double>& seed,
                             unsigned neurons, unsigned window, unsigned count,
                             std::vector<double>* values, std::string* error) {
  if (seed.size() < window) {
    *error = "the seed holds fewer than " + std::to_string(window) + " values";
    return false;
  }
  const std::string input = scratchPath("seed-window.txt");
  const std::string output = scratchPath("generated.txt");
  if (!writeSeriesFile(input, std::vector<double>(seed.end() - window, seed.end()), error)) {
    return false;
  }
  RunNumbers numbers;
  numbers.runFlags = kRunGenerate;
  numbers.numberOfNeurons = neurons;
  numbers.inputWindowSize = window;
  numbers.pointsToGenerate = count;
  std::int32_t keepRunning = 1;
  CollectingSink sink(Clock::now());
  const std::int32_t code =
      callPet(reinterpret_cast<PetFunction>(pet_), numbers, input.c_str(), output.c_str(),
              state.c_str(), nullptr, &sink, &keepRunning, language_);
  if (code != 0) {
    *error = engineFailure(sink, code);
    return false;
  }
  if (!readValues(output, values) || values->size() != count) {
    *error = "engine: the generated values could not be read back";
    return false;
  }
  return true;
}

bool EngineSession::stateError(const std::string& state, const std::vector<double>& series,
                               unsigned neurons, unsigned window, double* passError,
                               std::string* error) {
  // A target of 0 makes the relative error infinite; the engine then reports
  // no new low at all, so it is not asked.
  for (std::size_t j = window; j < series.size(); ++j) {
    if (static_cast<float>(series[j]) == 0.0f) {
      *passError = HUGE_VAL;
      return true;
    }
  }
  const std::string input = scratchPath("measured-series.txt");
  const std::string copy = scratchPath("measured-state.bin");
  if (!writeSeriesFile(input, series, error)) return false;
  const Clock::time_point start = Clock::now();
  CollectingSink sink(start);
  sink.stopAtFirstLow = true;
  // At learning rate 0 the weights stay as loaded. Any finite pass error lies
  // below 3e38, so the run ends after its first pass; a pass whose error is
  // not finite reports nothing, and the watcher's minute ends that run.
  const std::int32_t code = trainWatched(pet_, language_, neurons, window, 0.0, 3.0e38, input,
                                         state.c_str(), copy, StopRule{60, 0}, sink, start);
  if (code != 0) {
    *error = engineFailure(sink, code);
    return false;
  }
  std::string before, after;
  if (!readWholeFile(state, &before) || !readWholeFile(copy, &after) || before != after) {
    *error = "engine: the measuring pass changed the state, so its error is not the state's";
    return false;
  }
  *passError = sink.lows.empty() ? HUGE_VAL : sink.lows.front().second;
  return true;
}

}  // namespace forecast
