// VantiroCmdLine: one engine run per invocation, configured by the command line alone.
#include <signal.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "command_line.h"
#include "common/catalog_message.h"
#include "common/engine_choice.h"
#include "common/engine_loading.h"
#include "common/message_ids.h"
#include "common/run_numbers.h"
#include "console_messages.h"
#include "console_sink.h"
#include "platform/interrupt_watcher.h"
#include "platform/library_loader.h"

namespace {

// The program's own refusals; the engine returns 1 only when it refuses the
// instruction set VANTIRO_ISA names.
constexpr int kRefused = 1;

struct LibraryOwner {
  void* handle = nullptr;
  ~LibraryOwner() { freeLibrary(handle); }
};
struct LogOwner {
  std::FILE* stream = nullptr;
  ~LogOwner() {
    if (stream != nullptr) std::fclose(stream);
  }
};

// Everything a run holds. Members are declared so that they are released in
// the program's order: the sink, the log, the engine library, Language.dll.
struct ProgramResources {
  LibraryOwner language;
  LibraryOwner engine;
  LogOwner log;
  std::unique_ptr<OutputSink, void (*)(OutputSink*)> sink{nullptr, nullptr};
};

void createSink(ProgramResources& r, std::uint32_t consoleThreshold) {
  if (r.log.stream != nullptr) {
    r.sink = {new ConsoleLogSink(consoleThreshold, kErrorLevel, r.log.stream),
              [](OutputSink* s) { delete static_cast<ConsoleLogSink*>(s); }};
  } else {
    r.sink = {new ConsoleSink(consoleThreshold),
              [](OutputSink* s) { delete static_cast<ConsoleSink*>(s); }};
  }
}

int runProgram(int argc, char** argv, ProgramResources& r) {
  void* language = r.language.handle;
  CommandLine line;
  if (!parseCommandLine(argc, argv, &line)) {
    printCatalogMessage(language, msg::kUsage);
    return kRefused;
  }
  const auto failed = checkCommandLine(line);
  for (unsigned id : failed) {
    if (id == msg::kNetworkProductTooLarge) {
      printCatalogMessage(language, id, kLargestSizeProduct);
    } else {
      printCatalogMessage(language, id);
    }
  }
  if (!failed.empty()) return kRefused;

  createSink(r, line.benchmarkSeen ? kInfoLevel : kProgressLevel);
  OutputSink& sink = *r.sink;
  const char* libraryName = selectEngineLibrary(line.engineChoice());
  const PetFunction pet = loadEngine(libraryName, libraryName, sink, language, &r.engine.handle);
  if (pet == nullptr) return kRefused;

  std::int32_t keepRunning = 1;
  std::unique_ptr<InterruptWatcher> interrupts;
  if (line.trainSeen) {
    // Ctrl+C asks the training to end after its current pass; the work runs on
    // the watcher's thread, never in signal context.
    interrupts = std::make_unique<InterruptWatcher>([&sink, language, &keepRunning] {
      char text[kMessageBufferSize];
      formatCatalogMessage(language, text, msg::kStopRequested);
      sink.write(kInfoLevel, text);
      std::atomic_ref<std::int32_t>(keepRunning).store(0, std::memory_order_relaxed);
    });
  }
  const std::int32_t result =
      callPet(pet, line, line.inputFile, line.outputFile, line.loadStateFile, line.saveStateFile,
              &sink, &keepRunning, language);
  // The handler never outlives the sink it writes to.
  interrupts.reset();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  // Output that cannot be written is ignored, not fatal: a reader that goes
  // away ("| head") must not end a training before it has saved its state.
#ifdef SIGPIPE  // Windows has neither signal: a failed write is an error there anyway
  signal(SIGPIPE, SIG_IGN);
#endif
  // A file size limit (ulimit -f) makes a write fail like a full disk, reported
  // and cleaned up, instead of killing the run in the middle of a save.
#ifdef SIGXFSZ
  signal(SIGXFSZ, SIG_IGN);
#endif
  ProgramResources resources;
  resources.log.stream = openConsoleLog();
  int errorCode = 0;
  resources.language.handle = loadLibrary("Language.dll", &errorCode);
  if (resources.language.handle == nullptr) {
    // No catalogue text can be used without the string table.
    std::printf("Failed to load %s\n", "Language.dll");
    if (resources.log.stream != nullptr) {
      std::fprintf(resources.log.stream, "LoadLibrary() failed to load %s, EC = %d\n",
                   "Language.dll", errorCode);
    }
    return kRefused;
  }
  return runProgram(argc, argv, resources);
}
