#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace forecast {

// The engine build a user names: single, double, sse or nnvec2, as the engine
// choice bits the front ends pass to selectEngineLibrary.
bool parseEngineName(const std::string& name, std::uint32_t* engineChoice);
const char* engineName(std::uint32_t engineChoice);
// Bytes of a binary state file the build writes for H hidden units and window W.
std::uint64_t stateFileBytes(std::uint32_t engineChoice, unsigned neurons, unsigned window);

// When a training run ends: after a time budget, and/or after so many seconds
// without a new low of the pass error. 0 switches a rule off; one must be on.
struct StopRule {
  double budgetSeconds = 20;
  double quietSeconds = 0;
  // A front end's Stop: when it turns true the run ends as if its budget ran out.
  const std::atomic<bool>* stopRequested = nullptr;
};

struct TrainingReport {
  double bestError = 0;  // the last new low the engine reported (largest relative error of a pass)
  double seconds = 0;    // wall time of the whole call
  // Each new low: seconds since the start and the pass error.
  std::vector<std::pair<double, double>> lows;
};

// Called on the training thread at every new low.
using LowObserver = std::function<void(double seconds, double error)>;

// One engine library and Language.dll, loaded as the programs load them, and a
// private scratch directory for the files through which Pet takes its series
// and gives its results. Every run is one call of Pet.
class EngineSession {
 public:
  EngineSession() = default;
  ~EngineSession();
  EngineSession(const EngineSession&) = delete;
  EngineSession& operator=(const EngineSession&) = delete;

  // `directory` empty: the libraries are found by bare name, from the
  // program's own directory first. Otherwise they are taken from there.
  bool open(std::uint32_t engineChoice, const std::string& directory, std::string* error);
  std::uint32_t engineChoice() const { return engineChoice_; }
  // A path in the scratch directory, removed with the session.
  std::string scratchPath(const std::string& name);

  // Trains on `series` (already scaled), from random weights or from
  // `loadState`, and writes the binary state to `saveState`.
  bool train(const std::vector<double>& series, unsigned neurons, unsigned window, double rate,
             const StopRule& stop, const std::string& loadState, const std::string& saveState,
             const LowObserver& observer, TrainingReport* report, std::string* error);
  // `count` values after the seed window (the last `window` values of `seed`).
  bool generate(const std::string& state, const std::vector<double>& seed, unsigned neurons,
                unsigned window, unsigned count, std::vector<double>* values, std::string* error);
  // The largest relative error of one pass of `series` through the state as it
  // is: a Train pass at learning rate 0, whose saved copy is checked to be
  // the state byte for byte. Infinite when a target is 0.
  bool stateError(const std::string& state, const std::vector<double>& series, unsigned neurons,
                  unsigned window, double* passError, std::string* error);

 private:
  bool writeSeriesFile(const std::string& path, const std::vector<double>& values,
                       std::string* error);
  void* language_ = nullptr;
  void* engine_ = nullptr;
  void* pet_ = nullptr;
  std::uint32_t engineChoice_ = 0;
  std::string scratch_;
  std::vector<std::string> scratchFiles_;
};

}  // namespace forecast
