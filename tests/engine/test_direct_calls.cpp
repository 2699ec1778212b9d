// Pet called as another program would call it: through the built library,
// with arguments the front ends never pass and a sink that misbehaves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ostream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine_test_support.h"

namespace {

using namespace enginetest;
using Ids = std::vector<unsigned>;

using PetFunction = std::int32_t (*)(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                     std::uint32_t, std::uint32_t, double, double, double,
                                     const char*, const char*, const char*, const char*,
                                     OutputSink*, const std::int32_t*, void*);

class BuiltLibrary {
 public:
  explicit BuiltLibrary(const std::string& name, const std::string& directory = VANTIRO_BIN_DIR)
      : handle_(loadLibrary((directory + "/" + name).c_str(), nullptr)) {}
  ~BuiltLibrary() { freeLibrary(handle_); }
  PetFunction pet() const {
    return reinterpret_cast<PetFunction>(librarySymbol(handle_, "Pet", nullptr));
  }

 private:
  void* handle_;
};

const char* const kLibraries[] = {"nnsingle.dll", "nndouble.dll", "nnvec4.dll", "nnvec2.dll"};

struct EmptyNetworkCase {
  const char* name;
  std::uint32_t flags;
  std::uint32_t h;
  std::uint32_t w;
};

void PrintTo(const EmptyNetworkCase& c, std::ostream* os) { *os << c.name; }

class EmptyNetwork : public ::testing::TestWithParam<EmptyNetworkCase> {};

// Every file the run could touch exists and is valid for a network of two
// units and three inputs, so that anything read or written would show.
TEST_P(EmptyNetwork, IsRefusedBeforeAnythingIsReadInEveryBuild) {
  const EmptyNetworkCase& c = GetParam();
  TempDir dir;
  const std::string input = dir.file("series.txt");
  writeFile(input, waveSeries(20));
  const std::string state = dir.file("state.vns");
  writeFile(state, std::string(4 * (1 + 2 * 3 + 2), '\0'));
  const std::string output = dir.file("out.txt");
  const std::string saved = dir.file("saved.vns");
  for (const char* library : kLibraries) {
    BuiltLibrary engine(library);
    const PetFunction pet = engine.pet();
    ASSERT_NE(pet, nullptr) << library;
    RecordingSink sink;
    const std::int32_t running = 0;  // a Train run would save at once
    const std::int32_t result =
        pet(c.flags, c.h, c.w, 3, 50, 2, 0.1, 0.1, 0.1, input.c_str(), output.c_str(),
            state.c_str(), saved.c_str(), &sink, &running, nullptr);
    EXPECT_EQ(result, engine::kOutOfMemory) << library;
    // The refusal says what is empty, in words, and is no size message.
    EXPECT_EQ(sink.ids(), (Ids{38})) << library;
    ASSERT_EQ(sink.lines.size(), 2u) << library;
    EXPECT_EQ(sink.lines[1].level, kErrorLevel) << library;
    const std::string expected = "number of neurons (" + std::to_string(c.h) +
                                 ") and the input window size (" + std::to_string(c.w) + ")";
    EXPECT_NE(sink.lines[1].text.find("empty"), std::string::npos) << sink.lines[1].text;
    EXPECT_NE(sink.lines[1].text.find(expected), std::string::npos) << sink.lines[1].text;
    EXPECT_FALSE(std::filesystem::exists(output)) << library;
    EXPECT_FALSE(std::filesystem::exists(saved)) << library;
  }
}

INSTANTIATE_TEST_SUITE_P(DirectCalls, EmptyNetwork,
                         ::testing::Values(EmptyNetworkCase{"GenerateNoWindow", kGenerate, 2, 0},
                                           EmptyNetworkCase{"GenerateNoNeurons", kGenerate, 0, 3},
                                           EmptyNetworkCase{"TrainNoWindow", kTrain, 2, 0},
                                           EmptyNetworkCase{
                                               "TrainNoNeurons",
                                               kTrain | engine::kLoadConversionStateFlag, 0, 3},
                                           EmptyNetworkCase{"BenchmarkNoWindow", kBenchmark, 2, 0},
                                           EmptyNetworkCase{"BenchmarkNothing", kBenchmark, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// A sink that throws from its first write, as a careless caller's might.
class ThrowingSink final : public OutputSink {
 public:
  void write(std::uint32_t level, const char* text) override {
    if (!thrown) {
      thrown = true;
      throw std::runtime_error("sink failed");
    }
    after.write(level, text);
  }
  bool thrown = false;
  RecordingSink after;
};

TEST(DirectCalls, AnExceptionReachingTheLastGuardIsReported) {
  for (const char* library : kLibraries) {
    BuiltLibrary engine(library);
    const PetFunction pet = engine.pet();
    ASSERT_NE(pet, nullptr) << library;
    ThrowingSink sink;
    const std::int32_t result = pet(kBenchmark, 2, 3, 0, 10, 1, 0.1, 0.1, 0.1, nullptr, nullptr,
                                    nullptr, nullptr, &sink, nullptr, nullptr);
    EXPECT_EQ(result, engine::kOutOfMemory) << library;
    EXPECT_EQ(sink.after.ids(), (Ids{45})) << library;
    ASSERT_EQ(sink.after.lines.size(), 1u) << library;
    EXPECT_EQ(sink.after.lines[0].level, kErrorLevel) << library;
  }
}

// The directories holding a build of the four libraries: the program
// directory, and (outside the sanitizer builds) the same sources compiled at
// -O3 as a Release build compiles them.
std::vector<std::string> engineDirectories() {
  std::vector<std::string> dirs;
  std::istringstream list(VANTIRO_ENGINE_DIRS);
  // '|' apart: a Windows path holds a ':'.
  for (std::string dir; std::getline(list, dir, '|');) dirs.push_back(dir);
  return dirs;
}

// A state of random weights in (-0.5, 0.5), hidden bias included, as a user's
// saved state would be, in the library's binary form.
std::string randomState(const char* library, std::uint32_t h, std::uint32_t w,
                        std::mt19937& random) {
  std::uniform_real_distribution<double> weight(-0.5, 0.5);
  const bool wide = std::strcmp(library, "nndouble.dll") == 0;
  std::string bytes;
  for (std::uint32_t i = 0; i < 1 + h * w + h; ++i) {
    const double v = weight(random);
    const float f = static_cast<float>(v);
    bytes.append(wide ? reinterpret_cast<const char*>(&v) : reinterpret_cast<const char*>(&f),
                 wide ? sizeof v : sizeof f);
  }
  return bytes;
}

// One Train pass through the real Pet from a loaded state of random weights:
// every kernel set of the processor must save the same bytes, for every
// library, height and width (rows left over from every lane group, odd and
// even widths, blocks and single values), at both optimisation levels.
TEST(DirectCalls, EveryKernelSetSavesTheSameStateFromALoadedState) {
  TempDir dir;
  const std::string input = dir.file("series.txt");
  std::string series;
  for (int i = 0; i < 60; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "%.6f\n", 1.0 + 0.1 * std::sin(0.7 * i));
    series += line;
  }
  writeFile(input, series);
  const std::string loaded = dir.file("loaded.vns");
  const std::string saved = dir.file("saved.vns");
  const std::int32_t keepRunning = 1;
  for (const std::string& directory : engineDirectories()) {
    for (const char* library : kLibraries) {
      BuiltLibrary engine(library, directory);
      const PetFunction pet = engine.pet();
      ASSERT_NE(pet, nullptr) << directory << "/" << library;
      std::mt19937 random(7);
      for (std::uint32_t h = 1; h <= 17; ++h) {
        for (std::uint32_t w : {1u, 2u, 3u, 5u, 8u, 17u, 33u}) {
          writeFile(loaded, randomState(library, h, w, random));
          std::string first;
          for (engine::InstructionSet set : instructionSetsOfThisProcessor()) {
            ScopedEnvironment isa(engine::kInstructionSetVariable, engine::instructionSetName(set));
            RecordingSink sink;
            ASSERT_EQ(pet(kTrain, h, w, 0, 0, 0, 0.02, 1e-9, 1e30, input.c_str(), nullptr,
                          loaded.c_str(), saved.c_str(), &sink, &keepRunning, nullptr),
                      engine::kOk)
                << library << " H " << h << " W " << w;
            const std::string state = readFile(saved);
            if (first.empty()) {
              first = state;
            } else {
              ASSERT_TRUE(state == first)
                  << directory << "/" << library << " on " << engine::instructionSetName(set)
                  << " differs from sse2 for H " << h << ", W " << w;
            }
          }
        }
      }
    }
  }
}

}  // namespace
