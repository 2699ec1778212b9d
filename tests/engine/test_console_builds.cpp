// The console program's choice of engine library: each engine option loads
// its build. The same Train run (from a loaded state, so no random draw
// matters) is made through VantiroCmdLine and in process with each build;
// the saved binary states must agree byte for byte, and the four builds'
// states differ from each other, so a wrong library cannot pass.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine_builds.h"
#include "engine_test_support.h"

namespace {

using namespace enginetest;

constexpr std::uint32_t kH = 5;
constexpr std::uint32_t kW = 37;  // blocks, whole vectors and single values in every build

struct Files {
  TempDir dir;
  std::string series = dir.file("series.txt");
  std::string start = dir.file("start.txt");
};

// The starting state, in the text form every build reads.
void prepare(Files& files) {
  std::string text;
  for (int i = 0; i < 120; ++i) text += std::to_string(1.0 + ((i * 37) % 101) / 100.0) + "\n";
  writeFile(files.series, text);
  RecordingSink sink;
  const std::int32_t running = 1;
  auto p = parameters(kTrain | engine::kSaveConversionStateFlag, kH, kW, &sink, &running);
  p.learningRate = 0.01;
  p.trainToTolerance = 1e30;
  p.inputFile = files.series.c_str();
  p.saveStateFile = files.start.c_str();
  ASSERT_EQ(engine::runEngine<engine::SingleBuild>(p, 99), engine::kOk);
}

// One pass from the starting state; the result saved in binary form.
template <class Build>
std::string trainInProcess(const Files& files) {
  const std::string saved = files.dir.file(std::string(Build::kName) + ".inprocess");
  RecordingSink sink;
  const std::int32_t running = 1;
  auto p = parameters(kTrain | engine::kLoadConversionStateFlag, kH, kW, &sink, &running);
  p.learningRate = 0.05;
  p.toleranceUnit = 0.001;
  p.trainToTolerance = 1e30;
  p.inputFile = files.series.c_str();
  p.loadStateFile = files.start.c_str();
  p.saveStateFile = saved.c_str();
  EXPECT_EQ(engine::runEngine<Build>(p, 1), engine::kOk);
  return readFile(saved);
}

std::string trainThroughProgram(const Files& files, const std::string& option,
                                const std::string& name) {
  const std::string saved = files.dir.file(name + ".program");
  const std::string command =
      std::string(VANTIRO_BIN_DIR) + "/VantiroCmdLine -train " + option + " -numberOfNeurons " +
      std::to_string(kH) + " -inputWindowSize " + std::to_string(kW) +
      " -learningRate 0.05 -toleranceUnit 0.001 -trainToTolerance 1e30 -inputFile " + files.series +
      " -loadStateFile " + files.start + " -loadConversionState -saveStateFile " + saved + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  EXPECT_NE(pipe, nullptr);
  if (pipe == nullptr) return {};
  char buffer[512];
  std::string output;
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  EXPECT_EQ(pclose(pipe), 0) << output;
  return readFile(saved);
}

TEST(ConsoleEngineChoice, EachOptionRunsItsBuild) {
  Files files;
  prepare(files);
  const std::vector<std::string> expected = {
      trainInProcess<engine::SingleBuild>(files), trainInProcess<engine::DoubleBuild>(files),
      trainInProcess<engine::Vec4Build>(files), trainInProcess<engine::Vec2Build>(files)};
  for (std::size_t a = 0; a < expected.size(); ++a) {
    ASSERT_FALSE(expected[a].empty());
    for (std::size_t b = a + 1; b < expected.size(); ++b)
      ASSERT_NE(expected[a], expected[b]) << a << " and " << b;
  }
  EXPECT_EQ(trainThroughProgram(files, "", "nnsingle"), expected[0]);
  EXPECT_EQ(trainThroughProgram(files, "-doublePrecision", "nndouble"), expected[1]);
  EXPECT_EQ(trainThroughProgram(files, "-SSE", "nnvec4"), expected[2]);
  EXPECT_EQ(trainThroughProgram(files, "-nnvec2", "nnvec2"), expected[3]);
}

}  // namespace
