#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/output_sink.h"
#include "kernels/instruction_set.h"
#include "platform/library_loader.h"
#include "run/run.h"

namespace enginetest {

// Records what a run says. With no string table every text is the fallback
// "String <id> not found", from which the message numbers are read back.
class RecordingSink final : public OutputSink {
 public:
  struct Line {
    std::uint32_t level;
    std::string text;
  };
  void write(std::uint32_t level, const char* text) override { lines.push_back({level, text}); }

  std::vector<unsigned> ids() const {
    std::vector<unsigned> result;
    for (const Line& line : lines) {
      unsigned id = 0;
      if (std::sscanf(line.text.c_str(), "String %u not found", &id) == 1) result.push_back(id);
    }
    return result;
  }
  unsigned count(unsigned id) const {
    unsigned n = 0;
    for (unsigned i : ids()) n += i == id;
    return n;
  }
  std::vector<Line> lines;
};

// A fresh directory, removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir() {
    // The system's temporary directory; a name no other test or process has.
    static std::atomic<unsigned> counter{0};
    const auto base = std::filesystem::temp_directory_path();
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (;;) {
      const auto candidate =
          base / ("vantiro-engine-" + std::to_string(stamp) + "-" + std::to_string(counter++));
      if (std::filesystem::create_directory(candidate)) {
        path_ = candidate.generic_string();
        break;
      }
    }
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

// One value per line, each ended by a line feed.
template <class T>
std::string seriesText(const std::vector<T>& values) {
  std::string text;
  for (T v : values) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.9g\n", static_cast<double>(v));
    text += buffer;
  }
  return text;
}

// A smooth positive series: a run on it converges quickly.
inline std::string waveSeries(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g\n", 2.0 + ((i * 7) % 10) * 0.1);
    text += buffer;
  }
  return text;
}

// Language.dll from the program directory, for tests that read message texts.
class LanguageModule {
 public:
  LanguageModule() : handle_(loadLibrary(VANTIRO_BIN_DIR "/Language.dll", nullptr)) {}
  ~LanguageModule() { freeLibrary(handle_); }
  void* handle() const { return handle_; }

 private:
  void* handle_;
};

// Parameters for a run with the given flags and sizes; everything else zero.
inline engine::RunParameters parameters(std::uint32_t flags, std::uint32_t h, std::uint32_t w,
                                        OutputSink* sink, const std::int32_t* keepRunning) {
  engine::RunParameters p;
  p.runFlags = flags;
  p.numberOfNeurons = h;
  p.inputWindowSize = w;
  p.sink = sink;
  p.keepRunning = keepRunning;
  return p;
}

// The kernel set of the tests' own passes: the one VANTIRO_ISA names when
// ctest runs the suite once per set, otherwise the best the processor has.
inline engine::InstructionSet instructionSetUnderTest() {
  engine::InstructionSet set = engine::InstructionSet::kSse2;
  const char* requested = std::getenv(engine::kInstructionSetVariable);
  EXPECT_EQ(engine::chooseInstructionSet(requested, engine::bestInstructionSet(), &set),
            engine::InstructionSetChoice::kChosen)
      << engine::kInstructionSetVariable << "=" << requested;
  return set;
}

// Every kernel set this processor runs.
inline std::vector<engine::InstructionSet> instructionSetsOfThisProcessor() {
  std::vector<engine::InstructionSet> sets{engine::InstructionSet::kSse2};
  if (engine::processorHas(engine::InstructionSet::kAvx2))
    sets.push_back(engine::InstructionSet::kAvx2);
  return sets;
}

// Sets an environment variable for one scope, then restores what was there.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    hadValue_ = old != nullptr;
    if (hadValue_) old_ = old;
    set(name, value);
  }
  ~ScopedEnvironment() { set(name_, hadValue_ ? old_.c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  // Sets (value) or removes (nullptr) a variable of the process.
  static void set(const char* name, const char* value) {
#if defined(_WIN32)
    _putenv_s(name, value != nullptr ? value : "");
#else
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
#endif
  }

  const char* name_;
  bool hadValue_ = false;
  std::string old_;
};

constexpr std::uint32_t kTrain = engine::kTrainFlag;
constexpr std::uint32_t kGenerate = engine::kGenerateFlag;
constexpr std::uint32_t kBenchmark = 0;

}  // namespace enginetest
