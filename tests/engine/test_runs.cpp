// Whole runs of every build: the order of messages, the result codes, the
// files a run reads and writes, and what it must leave alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "engine_builds.h"
#include "engine_test_support.h"

namespace {

using namespace enginetest;
using Ids = std::vector<unsigned>;

template <class Build>
class Runs : public ::testing::Test {
 public:
  using Element = typename Build::Element;
  static constexpr std::size_t kValueSize = sizeof(Element);

  std::int32_t run(engine::RunParameters p, std::uint32_t seed = 12345) {
    return engine::runEngine<Build>(p, seed);
  }

  // A trained state of H = 2, W = 3 on the wave series, saved in the given form.
  std::string trainedState(bool asText) {
    const std::string input = dir.file("wave.txt");
    writeFile(input, waveSeries(40));
    const std::string state = dir.file(asText ? "trained.txt" : "trained.vns");
    RecordingSink sink;
    auto p =
        parameters(kTrain | (asText ? engine::kSaveConversionStateFlag : 0), 2, 3, &sink, &running);
    p.learningRate = 0.05;
    p.toleranceUnit = 0.01;
    p.trainToTolerance = 0.3;
    p.inputFile = input.c_str();
    p.saveStateFile = state.c_str();
    EXPECT_EQ(run(p), engine::kOk);
    return state;
  }

  // Generates `count` values from a state with H = 2, W = 3.
  std::int32_t generate(const std::string& state, bool asText, const std::string& input,
                        const std::string& output, RecordingSink& sink, std::uint32_t count = 5) {
    auto p = parameters(kGenerate | (asText ? engine::kLoadConversionStateFlag : 0), 2, 3, &sink,
                        &running);
    p.pointsToGenerate = count;
    p.inputFile = input.c_str();
    p.loadStateFile = state.c_str();
    p.outputFile = output.c_str();
    return run(p);
  }

  TempDir dir;
  std::int32_t running = 1;
  std::int32_t stopped = 0;
};
TYPED_TEST_SUITE(Runs, EngineBuilds);

TYPED_TEST(Runs, AFailingRunStillAnnouncesItselfFirst) {
  RecordingSink sink;
  auto p = parameters(kTrain, 1, 1, &sink, &this->running);
  const std::string missing = this->dir.file("missing.txt");
  p.inputFile = missing.c_str();
  EXPECT_EQ(this->run(p), engine::kInputFileError);
  EXPECT_EQ(sink.ids(), (Ids{38, 39}));
  EXPECT_EQ(sink.lines[1].level, 2u);
  p.inputFile = this->dir.path().c_str();  // a directory is no series file
  EXPECT_EQ(this->run(p), engine::kInputFileError);
}

// A kernel set asked for by name that is no set is refused before anything
// is read or allocated: the run's announcement, one level-2 line, code 1.
TYPED_TEST(Runs, AnInstructionSetThatCannotBeHadIsRefused) {
  const std::string input = this->dir.file("wave.txt");
  writeFile(input, waveSeries(40));
  for (const char* name : {"avx512", "x87", " sse2"}) {
    ScopedEnvironment isa(engine::kInstructionSetVariable, name);
    RecordingSink sink;
    auto p = parameters(kTrain, 2, 3, &sink, &this->stopped);
    p.inputFile = input.c_str();
    EXPECT_EQ(this->run(p), engine::kInstructionSetMissing) << name;
    ASSERT_EQ(sink.lines.size(), 2u) << name;
    EXPECT_EQ(sink.ids(), Ids{38});
    EXPECT_EQ(sink.lines[1].level, 2u);
    EXPECT_NE(sink.lines[1].text.find(name), std::string::npos) << sink.lines[1].text;
  }
  // Every set the processor has is taken, in any case.
  for (const char* name : {"sse2", "SSE2", ""}) {
    ScopedEnvironment isa(engine::kInstructionSetVariable, name);
    RecordingSink sink;
    auto p = parameters(kTrain, 2, 3, &sink, &this->stopped);
    p.inputFile = input.c_str();
    const std::string state = this->dir.file("state.vns");
    p.saveStateFile = state.c_str();
    EXPECT_EQ(this->run(p), engine::kOk) << name;
  }
}

TYPED_TEST(Runs, TrainNeedsOneLineMoreThanGenerate) {
  const std::string state = this->trainedState(false);
  const std::string three = this->dir.file("three.txt");
  writeFile(three, "1\n2\n3\n");
  RecordingSink sink;
  auto p = parameters(kTrain, 2, 3, &sink, &this->running);
  p.learningRate = p.toleranceUnit = p.trainToTolerance = 0.1;
  p.inputFile = three.c_str();
  const std::string save = this->dir.file("never.vns");
  p.saveStateFile = save.c_str();
  EXPECT_EQ(this->run(p), engine::kTooFewPoints);
  EXPECT_EQ(sink.ids(), (Ids{38, 40}));
  EXPECT_FALSE(std::filesystem::exists(save));

  RecordingSink generated;
  EXPECT_EQ(this->generate(state, false, three, this->dir.file("out.txt"), generated), engine::kOk);
  // With both mode bits it is a Generate run that needs the Train minimum.
  RecordingSink both;
  auto q = parameters(kTrain | kGenerate, 2, 3, &both, &this->running);
  q.pointsToGenerate = 1;
  q.inputFile = three.c_str();
  q.loadStateFile = state.c_str();
  const std::string out = this->dir.file("both.txt");
  q.outputFile = out.c_str();
  EXPECT_EQ(this->run(q), engine::kTooFewPoints);
}

TYPED_TEST(Runs, TooFewLinesReportsTheCountAndTheMinimum) {
  LanguageModule language;
  ASSERT_NE(language.handle(), nullptr);
  const std::string input = this->dir.file("short.txt");
  writeFile(input, "1\n2\n3");  // the last line has no line feed: two values
  RecordingSink sink;
  auto p = parameters(kTrain, 1, 2, &sink, &this->running);
  p.languageModule = language.handle();
  p.inputFile = input.c_str();
  EXPECT_EQ(this->run(p), engine::kTooFewPoints);
  ASSERT_EQ(sink.lines.size(), 2u);
  EXPECT_EQ(sink.lines[1].text, "The input file has 2 lines; at least 3 are needed.");
}

TYPED_TEST(Runs, BenchmarkIgnoresTheStateFlagsAndTouchesNoFile) {
  const std::string load = this->dir.file("load.vns");
  const std::string save = this->dir.file("save.vns");
  std::vector<Ids> seen;
  for (std::uint32_t flags : {0u, 4u, 8u, 12u}) {
    RecordingSink sink;
    auto p = parameters(flags, 2, 4, &sink, &this->stopped);  // the stop flag is not consulted
    p.benchmarkingDataPoints = 20;
    p.benchmarkingIterations = 3;
    p.learningRate = 0.1;
    p.toleranceUnit = 0.001;
    p.loadStateFile = load.c_str();
    p.saveStateFile = save.c_str();
    EXPECT_EQ(this->run(p), engine::kOk);
    seen.push_back(sink.ids());
  }
  for (const Ids& ids : seen) EXPECT_EQ(ids, seen[0]);
  EXPECT_EQ(seen[0].front(), 38u);
  EXPECT_EQ(seen[0][1], 50u);
  EXPECT_EQ(seen[0].back(), 57u);
  EXPECT_TRUE(std::filesystem::is_empty(this->dir.path()));
}

TYPED_TEST(Runs, BenchmarkReportsMemoryAndNoPassesAsZeroThroughput) {
  LanguageModule language;
  RecordingSink sink;
  auto p = parameters(kBenchmark, 10, 20, &sink, &this->running);
  p.languageModule = language.handle();
  p.benchmarkingDataPoints = 21;
  p.benchmarkingIterations = 0;
  EXPECT_EQ(this->run(p), engine::kOk);
  ASSERT_EQ(sink.lines.size(), 3u);
  const std::string bytes =
      TestFixture::kValueSize == 4 ? "840" : "1,680";  // (10 × 20 + 10) values
  EXPECT_NE(sink.lines[1].text.find("the weights take " + bytes + " bytes."), std::string::npos)
      << sink.lines[1].text;
  EXPECT_NE(sink.lines[2].text.find("0.00 million operations per second"), std::string::npos)
      << sink.lines[2].text;
  EXPECT_EQ(sink.lines[2].text.find(" 0.000 seconds"), std::string::npos);  // at least 1 ms
}

TYPED_TEST(Runs, BenchmarkRefusesSizesBeyondItsLimits) {
  struct Case {
    std::uint32_t h, w, points;
    unsigned message;
    std::int32_t code;
  };
  const Case cases[] = {
      {1, 5, 5, 43, engine::kTooFewPoints},
      {1, 1, TypeParam::kSeriesLimit + 1, TypeParam::kBenchmarkSizeMessage, engine::kOutOfMemory},
      {1, 1, 0xFFFFFFFFu, TypeParam::kBenchmarkSizeMessage, engine::kOutOfMemory},
      {0xFFFFFFFFu, 1, 2, 45, engine::kOutOfMemory},  // checked before any weight is allocated
      {65536, 65536, 65537, 45, engine::kOutOfMemory},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    auto p = parameters(kBenchmark, c.h, c.w, &sink, &this->running);
    p.benchmarkingDataPoints = c.points;
    p.benchmarkingIterations = 1;
    EXPECT_EQ(this->run(p), c.code) << c.h << " " << c.w << " " << c.points;
    EXPECT_EQ(sink.ids(), (Ids{38, c.message}));
  }
}

TYPED_TEST(Runs, AStoppedTrainingSavesTheUntrainedState) {
  const std::string input = this->dir.file("wave.txt");
  writeFile(input, waveSeries(10));
  const std::string state = this->dir.file("untrained.vns");
  RecordingSink sink;
  auto p = parameters(kTrain, 2, 3, &sink, &this->stopped);
  p.learningRate = p.toleranceUnit = p.trainToTolerance = 0.1;
  p.inputFile = input.c_str();
  p.saveStateFile = state.c_str();
  EXPECT_EQ(this->run(p), engine::kOk);
  EXPECT_EQ(sink.ids(), (Ids{38, 53, 56}));
  EXPECT_EQ(std::filesystem::file_size(state), (1 + 2 * 3 + 2) * TestFixture::kValueSize);
}

TYPED_TEST(Runs, TrainingReportsItsFirstPassAndEndsAtTheTarget) {
  LanguageModule language;
  const std::string input = this->dir.file("wave.txt");
  writeFile(input, waveSeries(40));
  const std::string state = this->dir.file("state.vns");
  RecordingSink sink;
  auto p = parameters(kTrain, 2, 3, &sink, &this->running);
  p.languageModule = language.handle();
  p.learningRate = 0.05;
  p.toleranceUnit = 0.01;
  p.trainToTolerance = 0.3;
  p.inputFile = input.c_str();
  p.saveStateFile = state.c_str();
  EXPECT_EQ(this->run(p), engine::kOk);
  ASSERT_GE(sink.lines.size(), 4u);
  const std::string prefix = "Largest relative error of the pass: ";
  EXPECT_EQ(sink.lines[1].text.rfind(prefix, 0), 0u);
  EXPECT_EQ(sink.lines[1].level, 0u);
  const auto& last = sink.lines[sink.lines.size() - 3];
  ASSERT_EQ(last.text.rfind(prefix, 0), 0u);
  EXPECT_LE(std::atof(last.text.c_str() + prefix.size()), 0.3);
  EXPECT_EQ(sink.lines[sink.lines.size() - 2].text, "Saving the neural state (binary form).");
}

TYPED_TEST(Runs, GenerationIsDeterministicInBothStateForms) {
  for (bool asText : {false, true}) {
    const std::string state = this->trainedState(asText);
    const std::string input = this->dir.file("wave.txt");
    const std::string first = this->dir.file("first.txt");
    const std::string second = this->dir.file("second.txt");
    writeFile(second, "old content that must go\nand more\n\n\n\n\n\n");
    RecordingSink a, b;
    EXPECT_EQ(this->generate(state, asText, input, first, a, 7), engine::kOk);
    EXPECT_EQ(this->generate(state, asText, input, second, b, 7), engine::kOk);
    EXPECT_EQ(a.ids(), (Ids{38, asText ? 46u : 47u, 59, 60}));
    const std::string text = readFile(first);
    EXPECT_EQ(lines(text).size(), 7u);
    EXPECT_EQ(text, readFile(second));
  }
}

TYPED_TEST(Runs, GenerationSeedsFromTheFirstWindowOnly) {
  const std::string state = this->trainedState(false);
  const std::string shortInput = this->dir.file("short.txt");
  const std::string longInput = this->dir.file("long.txt");
  writeFile(shortInput, "2.5\n2.1\n2.7\n");
  writeFile(longInput, "2.5\n2.1\n2.7\n9\n9\n9\n9\n9\n9\n9\n");
  RecordingSink a, b;
  ASSERT_EQ(this->generate(state, false, shortInput, this->dir.file("a.txt"), a), engine::kOk);
  ASSERT_EQ(this->generate(state, false, longInput, this->dir.file("b.txt"), b), engine::kOk);
  EXPECT_EQ(readFile(this->dir.file("a.txt")), readFile(this->dir.file("b.txt")));
}

TYPED_TEST(Runs, GenerationWithoutAStateFailsBeforeTheOutputExists) {
  const std::string input = this->dir.file("wave.txt");
  writeFile(input, waveSeries(10));
  const std::string output = this->dir.file("out.txt");
  for (const char* state : {static_cast<const char*>(nullptr), "/nonexistent/state.vns"}) {
    RecordingSink sink;
    auto p = parameters(kGenerate, 2, 3, &sink, &this->running);
    p.pointsToGenerate = 3;
    p.inputFile = input.c_str();
    p.loadStateFile = state;
    p.outputFile = output.c_str();
    EXPECT_EQ(this->run(p), engine::kStateRequired);
    EXPECT_EQ(sink.ids(), (Ids{38, 49}));
    EXPECT_FALSE(std::filesystem::exists(output));
  }
  // Train with a named state that cannot be opened fails the same way.
  RecordingSink sink;
  auto p = parameters(kTrain, 2, 3, &sink, &this->running);
  p.learningRate = p.toleranceUnit = p.trainToTolerance = 0.1;
  p.inputFile = input.c_str();
  p.loadStateFile = "/nonexistent/state.vns";
  p.saveStateFile = output.c_str();
  EXPECT_EQ(this->run(p), engine::kStateRequired);
  EXPECT_FALSE(std::filesystem::exists(output));
}

TYPED_TEST(Runs, AFullDiskIsAnOutputFailureNotASuccess) {
  const std::string state = this->trainedState(false);
  RecordingSink sink;
  EXPECT_EQ(this->generate(state, false, this->dir.file("wave.txt"), "/dev/full", sink, 3),
            engine::kOutputFileError);
  EXPECT_EQ(sink.ids(), (Ids{38, 47, 59, 58}));
  RecordingSink missing;
  EXPECT_EQ(this->generate(state, false, this->dir.file("wave.txt"),
                           this->dir.file("no/dir/out.txt"), missing),
            engine::kOutputFileError);
  EXPECT_EQ(missing.ids(), (Ids{38, 47, 58}));
}

TYPED_TEST(Runs, SaveFailuresStillCloseTheRunWithItsTime) {
  const std::string input = this->dir.file("wave.txt");
  writeFile(input, waveSeries(10));
  struct Case {
    std::string path;
    Ids ids;
  };
  const Case cases[] = {
      {this->dir.file("no/such/dir/state.vns"), {38, 54, 56}},
      {this->dir.path(), {38, 54, 56}},  // a directory
      {"/dev/full", {38, 53, 55, 56}},   // a device is written in place; its writes fail
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    auto p = parameters(kTrain, 2, 3, &sink, &this->stopped);
    p.learningRate = p.toleranceUnit = p.trainToTolerance = 0.1;
    p.inputFile = input.c_str();
    p.saveStateFile = c.path.c_str();
    EXPECT_EQ(this->run(p), engine::kStateSaveFailed) << c.path;
    EXPECT_EQ(sink.ids(), c.ids) << c.path;
  }
}

// Loads `state` (binary) into a Train run stopped before its first pass, which
// saves the loaded weights again; returns the run's code.
template <class Fixture>
std::int32_t loadAndResave(Fixture& f, const std::string& state, bool asText,
                           const std::string& saved, RecordingSink& sink, std::uint32_t h = 2,
                           std::uint32_t w = 3) {
  const std::string input = f.dir.file("wave.txt");
  if (!std::filesystem::exists(input)) writeFile(input, waveSeries(40));
  auto p = parameters(kTrain | (asText ? engine::kLoadConversionStateFlag : 0) |
                          (asText ? engine::kSaveConversionStateFlag : 0),
                      h, w, &sink, &f.stopped);
  p.learningRate = p.toleranceUnit = p.trainToTolerance = 0.1;
  p.inputFile = input.c_str();
  p.loadStateFile = state.c_str();
  p.saveStateFile = saved.c_str();
  return engine::runEngine<typename Fixture::BuildType>(p, 99);
}

template <class Build>
class States : public Runs<Build> {
 public:
  using BuildType = Build;
};
TYPED_TEST_SUITE(States, EngineBuilds);

TYPED_TEST(States, BinaryStatesRoundTripExactlyAndRefuseAnotherLength) {
  const std::string state = this->trainedState(false);
  const std::string bytes = readFile(state);
  const std::size_t size = TestFixture::kValueSize;
  ASSERT_EQ(bytes.size(), (1 + 2 * 3 + 2) * size);

  RecordingSink sink;
  const std::string saved = this->dir.file("saved.vns");
  EXPECT_EQ(loadAndResave(*this, state, false, saved, sink), engine::kOk);
  EXPECT_EQ(readFile(saved), bytes);

  struct Case {
    std::string content;
    std::int32_t code;
  };
  const Case cases[] = {
      {bytes + std::string(size - 1, 'x'), engine::kOk},  // less than one whole further value
      {bytes + std::string(size, 'x'), engine::kStateFileCorrupt},
      {bytes.substr(0, bytes.size() - 1), engine::kStateFileCorrupt},
      {"", engine::kStateFileCorrupt},
  };
  for (const Case& c : cases) {
    const std::string odd = this->dir.file("odd.vns");
    writeFile(odd, c.content);
    RecordingSink s;
    EXPECT_EQ(loadAndResave(*this, odd, false, this->dir.file("resaved.vns"), s), c.code)
        << c.content.size();
    if (c.code != engine::kOk) {
      EXPECT_EQ(s.ids(), (Ids{38, 47, 48}));
    }
  }
  // Other sizes with the same H × (W + 1) take the values in storage order.
  RecordingSink other;
  EXPECT_EQ(loadAndResave(*this, state, false, this->dir.file("other.vns"), other, 1, 7),
            engine::kOk);
  EXPECT_EQ(readFile(this->dir.file("other.vns")), bytes);
}

TYPED_TEST(States, TextStatesHaveTheirLinesAndRoundTrip) {
  const std::string state = this->trainedState(true);
  const std::string text = readFile(state);
  const auto all = lines(text);
  ASSERT_EQ(all.size(), 2u + 2 * (3 + 1) + 2 + 1);
  EXPECT_EQ(all[1], "");
  EXPECT_EQ(all[5], "");
  EXPECT_EQ(all.back(), "");
  RecordingSink sink;
  const std::string saved = this->dir.file("saved.txt");
  EXPECT_EQ(loadAndResave(*this, state, true, saved, sink), engine::kOk);
  EXPECT_EQ(sink.ids(), (Ids{38, 46, 52, 56}));
  EXPECT_EQ(readFile(saved), text);  // read back and written again: the same text
}

TYPED_TEST(States, TextStateSeparatorsAndMissingLines) {
  // H = 1, W = 1: bias, empty, one weight, empty, one output weight, empty.
  struct Case {
    const char* content;
    std::int32_t code;
  };
  const Case cases[] = {
      {"-1\n\n0.5\n\n0.25\n\n", engine::kOk},
      {"-1\r\n\r\n0.5\r\n\r\n0.25\r\n\r\n", engine::kOk},  // separators written with CRLF are empty
      {"-1\n\n0.5\n\n0.25\n\nanything after the last separator\n", engine::kOk},
      {"-1\n\nabc\n\n0.25\n\n", engine::kOk},                 // not a number: 0.0, no complaint
      {"-1\n\n0.5\n\n0.25\n", engine::kStateFileCorrupt},     // last empty line missing
      {"-1\n\n0.5\n \n0.25\n\n", engine::kStateFileCorrupt},  // a blank is not empty
      {"-1\n0.5\n\n0.25\n\n", engine::kStateFileCorrupt},
      {"", engine::kStateFileCorrupt},
  };
  for (const Case& c : cases) {
    const std::string state = this->dir.file("case.txt");
    writeFile(state, c.content);
    RecordingSink sink;
    const std::string saved = this->dir.file("saved.txt");
    EXPECT_EQ(loadAndResave(*this, state, true, saved, sink, 1, 1), c.code) << c.content;
  }
  // The loaded hidden bias is kept, not derived from the series mean again.
  writeFile(this->dir.file("bias.txt"), "-7.5\n\nabc\n\n0.25\n\n");
  RecordingSink sink;
  ASSERT_EQ(
      loadAndResave(*this, this->dir.file("bias.txt"), true, this->dir.file("out.txt"), sink, 1, 1),
      engine::kOk);
  EXPECT_EQ(readFile(this->dir.file("out.txt")), "-7.5\n\n0\n\n0.25\n\n");
}

TYPED_TEST(States, ALineLongerThanTheOldLimitIsOneLine) {
  // Thousands of leading zeros: the whole line is the number.
  const std::string longHalf = std::string(6000, '0') + "0.5";
  writeFile(this->dir.file("long.txt"), "-1\n\n" + longHalf + "\n\n0.25\n\n");
  RecordingSink sink;
  EXPECT_EQ(
      loadAndResave(*this, this->dir.file("long.txt"), true, this->dir.file("out.txt"), sink, 1, 1),
      engine::kOk);
  EXPECT_EQ(readFile(this->dir.file("out.txt")), "-1\n\n0.5\n\n0.25\n\n");
  // The same in a series: 700 characters of one value, then two ordinary lines.
  const std::string input = this->dir.file("series.txt");
  writeFile(input, std::string(700, '0') + "2\n4\n6\n");
  LanguageModule language;
  RecordingSink tooShort;
  auto p = parameters(kTrain, 1, 3, &tooShort, &this->stopped);
  p.languageModule = language.handle();
  p.inputFile = input.c_str();
  EXPECT_EQ(engine::runEngine<TypeParam>(p, 1), engine::kTooFewPoints);
  EXPECT_EQ(tooShort.lines.back().text, "The input file has 3 lines; at least 4 are needed.");
}

TYPED_TEST(Runs, TheSameSeedGivesTheSameTraining) {
  const std::string input = this->dir.file("wave.txt");
  writeFile(input, waveSeries(30));
  std::string saved[2];
  for (int i = 0; i < 2; ++i) {
    RecordingSink sink;
    auto p = parameters(kTrain, 3, 4, &sink, &this->running);
    p.learningRate = 0.05;
    p.toleranceUnit = 0.01;
    p.trainToTolerance = 0.5;
    p.inputFile = input.c_str();
    const std::string state = this->dir.file("s" + std::to_string(i));
    p.saveStateFile = state.c_str();
    ASSERT_EQ(this->run(p, 777), engine::kOk);
    saved[i] = readFile(state);
  }
  EXPECT_EQ(saved[0], saved[1]);
}

}  // namespace
