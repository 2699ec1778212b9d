#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cmdline/command_line.h"
#include "common/engine_choice.h"

namespace {

// An argument vector as main receives it, program name first.
class Arguments {
 public:
  Arguments(std::initializer_list<const char*> arguments)
      : Arguments(std::vector<const char*>(arguments)) {}
  explicit Arguments(const std::vector<const char*>& arguments) {
    storage_.push_back("VantiroCmdLine");
    for (const char* a : arguments) storage_.push_back(a);
    for (std::string& s : storage_) pointers_.push_back(s.data());
    pointers_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(storage_.size()); }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> storage_;
  std::vector<char*> pointers_;
};

struct ParseCase {
  const char* name;
  std::vector<const char*> arguments;
  bool usable;
};
void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ParseCommandLine : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLine, AcceptsOrAsksForUsage) {
  Arguments args(GetParam().arguments);
  CommandLine line;
  EXPECT_EQ(parseCommandLine(args.argc(), args.argv(), &line), GetParam().usable);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCommandLine,
    ::testing::Values(
        ParseCase{"NoArguments", {}, false}, ParseCase{"Train", {"-train"}, true},
        ParseCase{"Generate", {"-generate"}, true}, ParseCase{"Benchmark", {"-benchmark"}, true},
        ParseCase{"ModeRepeated", {"-train", "-train"}, true},
        ParseCase{"NoMode", {"-numberOfNeurons", "2"}, false},
        ParseCase{"TrainAndGenerate", {"-train", "-generate"}, false},
        ParseCase{"BenchmarkAndTrain", {"-benchmark", "-train"}, false},
        ParseCase{"AllModes", {"-benchmark", "-train", "-generate"}, false},
        // Names match exactly: case, length, prefix and attached values all count.
        ParseCase{"OtherCase", {"-Train"}, false}, ParseCase{"CharacterAdded", {"-trainX"}, false},
        ParseCase{"CharacterMissing", {"-trai"}, false},
        ParseCase{"TrailingBlank", {"-train "}, false}, ParseCase{"DoubleDash", {"--train"}, false},
        ParseCase{"NoDash", {"train"}, false},
        ParseCase{"ValueAttached", {"-train", "-numberOfNeurons=2"}, false},
        ParseCase{"EmptyArgument", {"-train", ""}, false},
        ParseCase{"UnknownBeforeMode", {"-bogus", "-train"}, false},
        // An option given last has no value to take.
        ParseCase{"LastWithoutValue", {"-train", "-inputFile"}, false},
        ParseCase{"LastIntegerWithoutValue", {"-benchmark", "-numberOfNeurons"}, false},
        // A value is taken whatever it looks like, so it is no option.
        ParseCase{"ModeAsValue", {"-inputFile", "-train"}, false},
        ParseCase{"ModeAsValueThenMode", {"-inputFile", "-train", "-benchmark"}, true},
        ParseCase{"UnknownAsValue", {"-benchmark", "-outputFile", "--help"}, true},
        // Engine options: at most one of SSE, nnvec2 and double precision.
        ParseCase{"SseAndNnvec2", {"-benchmark", "-SSE", "-nnvec2"}, false},
        ParseCase{"SseAndDouble", {"-benchmark", "-SSE", "-doublePrecision"}, false},
        ParseCase{"Nnvec2AndDouble", {"-benchmark", "-doublePrecision", "-nnvec2"}, false},
        ParseCase{"EngineOptionRepeated", {"-benchmark", "-SSE", "-SSE"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// For results without file names: those point into the arguments, gone on return.
CommandLine parse(std::initializer_list<const char*> arguments, bool* usable = nullptr) {
  Arguments args(arguments);
  CommandLine line;
  const bool ok = parseCommandLine(args.argc(), args.argv(), &line);
  if (usable != nullptr) *usable = ok;
  return line;
}

// Every option that takes a value refuses to be the last argument.
class ValueOption : public ::testing::TestWithParam<const char*> {};

TEST_P(ValueOption, GivenLastAsksForUsage) {
  bool usable = true;
  parse({"-train", GetParam()}, &usable);
  EXPECT_FALSE(usable);
  parse({"-train", GetParam(), "1"}, &usable);
  EXPECT_TRUE(usable);
}

INSTANTIATE_TEST_SUITE_P(Options, ValueOption,
                         ::testing::Values("-numberOfNeurons", "-inputWindowSize", "-learningRate",
                                           "-toleranceUnit", "-trainToTolerance",
                                           "-pointsToGenerate", "-benchmarkingIterations",
                                           "-benchmarkingDataPoints", "-inputFile", "-outputFile",
                                           "-loadStateFile", "-saveStateFile"));

TEST(CommandLine, StoresEveryValue) {
  Arguments args{"-train",
                 "-numberOfNeurons",
                 "3",
                 "-inputWindowSize",
                 "5",
                 "-learningRate",
                 "0.25",
                 "-toleranceUnit",
                 "1e-3",
                 "-trainToTolerance",
                 "0.5",
                 "-pointsToGenerate",
                 "7",
                 "-benchmarkingIterations",
                 "11",
                 "-benchmarkingDataPoints",
                 "13",
                 "-inputFile",
                 "in.txt",
                 "-outputFile",
                 "out.txt",
                 "-loadStateFile",
                 "old.state",
                 "-saveStateFile",
                 "new.state",
                 "-loadConversionState",
                 "-saveConversionState"};
  CommandLine line;
  ASSERT_TRUE(parseCommandLine(args.argc(), args.argv(), &line));
  EXPECT_EQ(line.runFlags, 1u | 4u | 8u);
  EXPECT_EQ(line.numberOfNeurons, 3u);
  EXPECT_EQ(line.inputWindowSize, 5u);
  EXPECT_EQ(line.learningRate, 0.25);
  EXPECT_EQ(line.toleranceUnit, 1e-3);
  EXPECT_EQ(line.trainToTolerance, 0.5);
  EXPECT_EQ(line.pointsToGenerate, 7u);
  EXPECT_EQ(line.benchmarkingIterations, 11u);
  EXPECT_EQ(line.benchmarkingDataPoints, 13u);
  // File names are the arguments themselves.
  EXPECT_EQ(line.inputFile, args.argv()[19]);
  EXPECT_EQ(line.outputFile, args.argv()[21]);
  EXPECT_EQ(line.loadStateFile, args.argv()[23]);
  EXPECT_EQ(line.saveStateFile, args.argv()[25]);
  EXPECT_STREQ(line.saveStateFile, "new.state");
  EXPECT_EQ(selectEngineLibrary(line.engineChoice()), std::string("nnsingle.dll"));
}

TEST(CommandLine, RunFlagsOfEachMode) {
  EXPECT_EQ(parse({"-generate", "-loadConversionState"}).runFlags, 2u | 4u);
  EXPECT_EQ(parse({"-benchmark"}).runFlags, 0u);
  EXPECT_EQ(parse({"-benchmark", "-saveConversionState"}).runFlags, 8u);
  const CommandLine train = parse({"-train"});
  EXPECT_TRUE(train.trainSeen);
  EXPECT_FALSE(train.generateSeen || train.benchmarkSeen);
}

TEST(CommandLine, LastRepetitionCounts) {
  Arguments args{"-benchmark", "-numberOfNeurons", "2", "-inputFile", "a", "-numberOfNeurons",
                 "9",          "-inputFile",       "b"};
  CommandLine line;
  ASSERT_TRUE(parseCommandLine(args.argc(), args.argv(), &line));
  EXPECT_EQ(line.numberOfNeurons, 9u);
  EXPECT_STREQ(line.inputFile, "b");
}

TEST(CommandLine, EngineChoice) {
  EXPECT_STREQ(selectEngineLibrary(parse({"-benchmark"}).engineChoice()), "nnsingle.dll");
  EXPECT_STREQ(selectEngineLibrary(parse({"-benchmark", "-doublePrecision"}).engineChoice()),
               "nndouble.dll");
  EXPECT_STREQ(selectEngineLibrary(parse({"-benchmark", "-nnvec2"}).engineChoice()), "nnvec2.dll");
  EXPECT_STREQ(selectEngineLibrary(parse({"-benchmark", "-SSE"}).engineChoice()), "nnvec4.dll");
}

struct CheckCase {
  const char* name;
  std::vector<const char*> arguments;
  std::vector<unsigned> messages;
};
void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class CheckCommandLine : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckCommandLine, ReportsEveryFailedCheckInOrder) {
  Arguments args(GetParam().arguments);
  CommandLine line;
  ASSERT_TRUE(parseCommandLine(args.argc(), args.argv(), &line));
  EXPECT_EQ(checkCommandLine(line), GetParam().messages);
}

#define TRAIN_OK                                                                          \
  "-train", "-learningRate", "0.1", "-toleranceUnit", "0.01", "-trainToTolerance", "0.5", \
      "-inputFile", "in", "-saveStateFile", "st"
INSTANTIATE_TEST_SUITE_P(
    Cases, CheckCommandLine,
    ::testing::Values(
        CheckCase{"TrainAlone", {"-train"}, {2, 3, 5, 6, 7, 11, 12}},
        CheckCase{"GenerateAlone", {"-generate"}, {2, 3, 8, 11, 13, 14}},
        CheckCase{"BenchmarkAlone", {"-benchmark"}, {2, 3, 9, 10}},
        CheckCase{
            "TrainComplete", {TRAIN_OK, "-numberOfNeurons", "2", "-inputWindowSize", "3"}, {}},
        CheckCase{
            "GenerateComplete",
            {"-generate", "-numberOfNeurons", "2", "-inputWindowSize", "3", "-pointsToGenerate",
             "4", "-inputFile", "in", "-loadStateFile", "st", "-outputFile", "out"},
            {}},
        CheckCase{"BenchmarkComplete",
                  {"-benchmark", "-numberOfNeurons", "2", "-inputWindowSize", "3",
                   "-benchmarkingIterations", "1", "-benchmarkingDataPoints", "4", "-inputFile",
                   "ignored"},
                  {}},
        // The product of the sizes is checked in 64 bits.
        CheckCase{"ProductTwoToThe32",
                  {"-benchmark", "-benchmarkingIterations", "1", "-benchmarkingDataPoints", "1",
                   "-numberOfNeurons", "65536", "-inputWindowSize", "65536"},
                  {4}},
        CheckCase{"ProductLargestUnsigned",
                  {"-benchmark", "-benchmarkingIterations", "1", "-benchmarkingDataPoints", "1",
                   "-numberOfNeurons", "65535", "-inputWindowSize", "65537"},
                  {}},
        CheckCase{"MinusOneTimesOne",
                  {"-benchmark", "-benchmarkingIterations", "1", "-benchmarkingDataPoints", "1",
                   "-numberOfNeurons", "-1", "-inputWindowSize", "1"},
                  {}},
        CheckCase{"MinusOneTimesTwo",
                  {"-benchmark", "-benchmarkingIterations", "1", "-benchmarkingDataPoints", "1",
                   "-numberOfNeurons", "-1", "-inputWindowSize", "2"},
                  {4}},
        CheckCase{"ZeroSizesAndProduct",
                  {"-benchmark", "-benchmarkingIterations", "1", "-benchmarkingDataPoints", "1",
                   "-numberOfNeurons", "0"},
                  {2, 3}},
        // The real parameters matter in Train mode only.
        CheckCase{
            "TrainRateZero",
            {TRAIN_OK, "-numberOfNeurons", "2", "-inputWindowSize", "3", "-learningRate", "0"},
            {5}},
        CheckCase{
            "TrainRateNotANumber",
            {TRAIN_OK, "-numberOfNeurons", "2", "-inputWindowSize", "3", "-learningRate", "fast"},
            {5}},
        CheckCase{"TrainNegatives",
                  {TRAIN_OK, "-numberOfNeurons", "2", "-inputWindowSize", "3", "-toleranceUnit",
                   "-1", "-trainToTolerance", "-0.5"},
                  {6, 7}},
        CheckCase{
            "BenchmarkRateZero",
            {"-benchmark", "-numberOfNeurons", "2", "-inputWindowSize", "3",
             "-benchmarkingIterations", "1", "-benchmarkingDataPoints", "4", "-learningRate", "0"},
            {}},
        CheckCase{"GenerateRateZero",
                  {"-generate", "-numberOfNeurons", "2", "-inputWindowSize", "3",
                   "-pointsToGenerate", "4", "-inputFile", "in", "-loadStateFile", "st",
                   "-outputFile", "out", "-learningRate", "0"},
                  {}},
        CheckCase{"GenerateNoOutput",
                  {"-generate", "-numberOfNeurons", "2", "-inputWindowSize", "3",
                   "-pointsToGenerate", "4", "-inputFile", "in", "-loadStateFile", "st"},
                  {14}},
        CheckCase{"TrainNoSaveFile",
                  {"-train", "-numberOfNeurons", "2", "-inputWindowSize", "3", "-learningRate",
                   "0.1", "-toleranceUnit", "0.01", "-trainToTolerance", "0.5", "-inputFile", "in"},
                  {12}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
