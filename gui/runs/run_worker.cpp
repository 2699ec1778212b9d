#include "run_worker.h"

#include <cerrno>
#include <system_error>

#include "common/engine_choice.h"
#include "common/engine_loading.h"
#include "platform/library_loader.h"
#include "run_window.h"

namespace {

constexpr std::uint32_t kModeBits = kRunTrain | kRunGenerate;

int callEngine(RunRequest& r) {
  const char* library = selectEngineLibrary(r.engineChoice);
  const std::string path =
      r.engineDirectory.empty() ? std::string(library) : r.engineDirectory + "/" + library;
  void* module = nullptr;
  const PetFunction pet =
      loadEngine(path.c_str(), library, *r.outputSink(), r.languageModule, &module);
  if (pet == nullptr) return 1;
  const int result = callPet(
      pet, r, r.inputFile.c_str(), r.outputFile.c_str(),
      r.loadStateFile ? r.loadStateFile->c_str() : nullptr, r.saveStateFile.c_str(), r.outputSink(),
      reinterpret_cast<const std::int32_t*>(r.keepRunning), r.languageModule);
  freeLibrary(module);
  return result;
}

}  // namespace

std::uint32_t listThresholdFor(std::uint32_t runFlags) {
  return (runFlags & kModeBits) == 0 ? kInfoLevel : kProgressLevel;
}

int runWorker(std::unique_ptr<RunRequest> request) {
  const int result = callEngine(*request);
  // Clean-up, in its order, on every path.
  request->inputFile = {};
  request->outputFile = {};
  request->loadStateFile.reset();
  request->saveStateFile = {};
  request->sink.emplace<std::monostate>();
  RunWindow& window = *request->window;
  window.restoreChoices();
  request->runActive->store(0);
  window.restoreControls();
  request.reset();
  return result;
}

bool startWorkerThread(std::unique_ptr<RunRequest>& request, ThreadPriority priority,
                       std::thread* thread, int* error) {
  RunRequest* handed = request.get();
  try {
    *thread = std::thread([handed, priority] {
      applyThreadPriority(priority);  // silently normal where the process may not
      runWorker(std::unique_ptr<RunRequest>(handed));
    });
  } catch (const std::system_error& failure) {
    *error = failure.code().value();
    return false;
  }
  request.release();
  *error = 0;
  return true;
}
