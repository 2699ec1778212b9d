// What distinguishes the four builds, run through the one engine body: the
// whole training pass against the build's reference arithmetic, the
// cross-build facts, the limits and their messages, the state forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "builds/build_double.h"
#include "builds/build_single.h"
#include "builds/build_vec2.h"
#include "builds/build_vec4.h"
#include "engine_builds.h"
#include "engine_test_support.h"
#include "kernel_test_data.h"
#include "kernels/reference_pass.h"
#include "model/network.h"
#include "model/network_math.h"
#include "model/random_generator.h"
#include "model/series.h"
#include "run/run.h"
#include "run/training_pass.h"

namespace {

using engine::DoubleBuild;
using engine::SingleBuild;
using engine::Vec2Build;
using engine::Vec4Build;
using enginetest::bits;
using enginetest::RecordingSink;
using enginetest::TempDir;

// What each build must be, written down independently of its traits.
template <class Build>
struct Facts;
template <>
struct Facts<SingleBuild> {
  static constexpr std::uint32_t kSeriesLimit = 1073741821;
  static constexpr unsigned kBenchmarkSizeMessage = 44;
  static constexpr std::uint32_t kValueBytes = 4;
};
template <>
struct Facts<DoubleBuild> {
  static constexpr std::uint32_t kSeriesLimit = 536870910;
  static constexpr unsigned kBenchmarkSizeMessage = 44;
  static constexpr std::uint32_t kValueBytes = 8;
};
template <>
struct Facts<Vec4Build> {
  static constexpr std::uint32_t kSeriesLimit = 1073741818;
  static constexpr unsigned kBenchmarkSizeMessage = 41;
  static constexpr std::uint32_t kValueBytes = 4;
};
template <>
struct Facts<Vec2Build> {
  static constexpr std::uint32_t kSeriesLimit = 1073741820;
  static constexpr unsigned kBenchmarkSizeMessage = 41;
  static constexpr std::uint32_t kValueBytes = 4;
};

// A network and a series of one build, set up as a Benchmark run sets them up.
template <class Build>
struct Workbench {
  using Element = typename Build::Element;
  engine::RunOutput out{nullptr, nullptr};
  engine::Network<Build> net;
  engine::Series<Build> series;

  Workbench(std::uint32_t h, std::uint32_t w, std::uint32_t n, std::uint32_t seed,
            double rate = 0.05) {
    net.instructionSet = enginetest::instructionSetUnderTest();
    engine::RandomGenerator random(seed);
    EXPECT_EQ(engine::makeSyntheticSeries(out, n, w, random, series), engine::kOk);
    EXPECT_EQ(net.build(out, h, w, series.mean, rate, random), engine::kOk);
    net.drawHiddenWeights(random);
    EXPECT_EQ(net.allocateOutputs(out, true), engine::kOk);
  }
  // Weights as a loaded state brings them: both signs, any hidden bias.
  void loadRandomState(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> weight(-0.5, 0.5);
    net.hiddenBias = static_cast<Element>(weight(random));
    for (std::uint32_t r = 0; r < net.h; ++r)
      for (std::uint32_t m = 0; m < net.w; ++m)
        net.hiddenWeights.row(r)[m] = static_cast<Element>(weight(random));
    for (std::uint32_t r = 0; r < net.h; ++r)
      net.output.weights[r] = static_cast<Element>(weight(random));
  }
  std::vector<Element> hiddenWeights() const {
    std::vector<Element> all;
    for (std::uint32_t r = 0; r < net.h; ++r)
      all.insert(all.end(), net.hiddenWeights.row(r), net.hiddenWeights.row(r) + net.w);
    return all;
  }
  std::vector<Element> outputWeights() const {
    return std::vector<Element>(net.output.weights.data(), net.output.weights.data() + net.h);
  }
};

template <class Build>
class EveryBuild : public ::testing::Test {};
TYPED_TEST_SUITE(EveryBuild, EngineBuilds);

// One shape's passes against the plain step of the build's arithmetic: every
// weight and every pass error equal bit for bit. missing: "rows" or
// "windows" takes away the room the pass rearranges rows or widens windows
// in (it then keeps the rows as stored), "loaded state" starts from the
// weights of a loaded state rather than the drawn ones.
template <class Build>
void checkPassesAgainstReference(std::uint32_t h, std::uint32_t w, engine::InstructionSet set,
                                 const std::string& missing, int passes) {
  using Element = typename Build::Element;
  Workbench<Build> bench(h, w, w + 23, h * 100 + w);
  bench.net.instructionSet = set;
  if (missing == "loaded state") bench.loadRandomState(h * 100 + w);
  if (missing == "rows") bench.net.interleaveScratch.release();
  if (missing == "windows") bench.net.wideWindows.release();
  engine::ReferencePass<Build> reference(bench.net);
  const std::vector<Element> series(bench.series.values(),
                                    bench.series.values() + bench.series.size());
  for (int pass = 0; pass < passes; ++pass) {
    const Element passError = engine::trainPass(bench.net, bench.series);
    const Element referenceError = reference.pass(series.data(), bench.net.w + 23);
    ASSERT_EQ(bits(passError), bits(referenceError))
        << "H = " << h << ", W = " << w << ", pass " << pass;
  }
  ASSERT_TRUE(enginetest::sameBits(bench.hiddenWeights(), reference.hidden))
      << "H = " << h << ", W = " << w;
  ASSERT_TRUE(enginetest::sameBits(bench.outputWeights(), reference.output))
      << "H = " << h << ", W = " << w;
}

// The engine's pass (fused, vectorised, copies of the series) against the
// plain step of the build's arithmetic on every kernel set the processor has,
// over widths and heights around every stage boundary (groups of 16, 8, 4 and
// 2 rows, more than one group of 16, and the rows left over; blocks, whole
// vectors and single values), also without the room to rearrange and from a
// loaded state. It runs as the tests are compiled and once more at -O3.
TYPED_TEST(EveryBuild, TrainingPassIsTheBuildsReferenceArithmetic) {
  const std::uint32_t heights[] = {1, 2, 3, 4, 5, 7, 8, 9, 12, 13, 17, 31, 40, 48};
  const std::uint32_t widths[] = {1, 2, 3, 4, 5, 6, 7, 8, 15, 16, 17, 20, 28, 31, 32, 33, 40, 48};
  for (engine::InstructionSet set : enginetest::instructionSetsOfThisProcessor()) {
    for (const char* missing : {"", "rows", "windows", "loaded state"}) {
      SCOPED_TRACE(std::string(engine::instructionSetName(set)) +
                   ", no room for / from: " + missing);
      for (std::uint32_t h : heights) {
        for (std::uint32_t w : widths) {
          checkPassesAgainstReference<TypeParam>(h, w, set, missing, 3);
          if (::testing::Test::HasFatalFailure()) return;
        }
      }
    }
  }
}

// Small networks, where a sample is one chain of dependent steps and every
// step on it counts: every height up to 8 with every width up to 32, so that
// no path a small network takes goes unchecked.
TYPED_TEST(EveryBuild, SmallNetworkPassIsTheBuildsReferenceArithmetic) {
  for (engine::InstructionSet set : enginetest::instructionSetsOfThisProcessor()) {
    for (const char* start : {"", "loaded state"}) {
      SCOPED_TRACE(std::string(engine::instructionSetName(set)) + ", from: " + start);
      for (std::uint32_t h = 1; h <= 8; ++h) {
        for (std::uint32_t w = 1; w <= 32; ++w) {
          checkPassesAgainstReference<TypeParam>(h, w, set, start, 2);
          if (::testing::Test::HasFatalFailure()) return;
        }
      }
    }
  }
}

// A Benchmark asking for one data point more than the build holds is refused
// before anything is allocated, with the build's message and code 128.
TYPED_TEST(EveryBuild, TooManyDataPointsAreRefusedWithTheBuildsMessage) {
  RecordingSink sink;
  engine::RunParameters p = enginetest::parameters(enginetest::kBenchmark, 2, 3, &sink, nullptr);
  p.benchmarkingDataPoints = Facts<TypeParam>::kSeriesLimit + 1;
  p.benchmarkingIterations = 1;
  EXPECT_EQ(engine::runEngine<TypeParam>(p, 1), engine::kOutOfMemory);
  EXPECT_EQ(sink.ids(), (std::vector<unsigned>{38, Facts<TypeParam>::kBenchmarkSizeMessage}));
}

// The binary state holds values of the build's width; another width is
// refused as malformed, the text form is read by every build.
TYPED_TEST(EveryBuild, BinaryStateHasTheBuildsWidth) {
  TempDir dir;
  const std::string input = dir.file("series.txt");
  const std::string state = dir.file("state.bin");
  enginetest::writeFile(input, enginetest::waveSeries(30));
  const std::int32_t keepRunning = 1;
  RecordingSink sink;
  engine::RunParameters p = enginetest::parameters(enginetest::kTrain, 3, 5, &sink, &keepRunning);
  p.learningRate = 0.01;
  p.trainToTolerance = 1e30;  // one pass
  p.inputFile = input.c_str();
  p.saveStateFile = state.c_str();
  ASSERT_EQ(engine::runEngine<TypeParam>(p, 7), engine::kOk);
  EXPECT_EQ(enginetest::readFile(state).size(), Facts<TypeParam>::kValueBytes * (1 + 3 * 5 + 3));
}

// Saves a one-pass state of build A in the given form and returns the path.
template <class Build>
std::string trainedState(const TempDir& dir, const std::string& name, bool text, std::uint32_t h,
                         std::uint32_t w) {
  const std::string input = dir.file("series.txt");
  enginetest::writeFile(input, enginetest::waveSeries(40));
  const std::string state = dir.file(name);
  const std::int32_t keepRunning = 1;
  RecordingSink sink;
  engine::RunParameters p =
      enginetest::parameters(enginetest::kTrain | (text ? engine::kSaveConversionStateFlag : 0), h,
                             w, &sink, &keepRunning);
  p.learningRate = 0.01;
  p.trainToTolerance = 1e30;
  p.inputFile = input.c_str();
  p.saveStateFile = state.c_str();
  EXPECT_EQ(engine::runEngine<Build>(p, 11), engine::kOk);
  return state;
}

// Generates 5 values from a state with build B; returns the code and the messages.
template <class Build>
std::int32_t generateFrom(const TempDir& dir, const std::string& state, bool text, std::uint32_t h,
                          std::uint32_t w, RecordingSink& sink, std::string* output = nullptr) {
  const std::string out = dir.file("generated.txt");
  engine::RunParameters p = enginetest::parameters(
      enginetest::kGenerate | (text ? engine::kLoadConversionStateFlag : 0), h, w, &sink, nullptr);
  p.pointsToGenerate = 5;
  const std::string input = dir.file("series.txt");
  p.inputFile = input.c_str();
  p.outputFile = out.c_str();
  p.loadStateFile = state.c_str();
  const std::int32_t code = engine::runEngine<Build>(p, 1);
  if (output != nullptr) *output = enginetest::readFile(out);
  return code;
}

template <class Saver, class Loader>
void checkStateExchange() {
  TempDir dir;
  SCOPED_TRACE(std::string(Saver::kName) + " saves, " + Loader::kName + " loads");
  const std::string text = trainedState<Saver>(dir, "state.txt", true, 3, 6);
  RecordingSink textSink;
  EXPECT_EQ(generateFrom<Loader>(dir, text, true, 3, 6, textSink), engine::kOk);
  EXPECT_EQ(textSink.count(46), 1u);
  const std::string binary = trainedState<Saver>(dir, "state.bin", false, 3, 6);
  RecordingSink binarySink;
  const bool sameWidth = sizeof(typename Saver::Element) == sizeof(typename Loader::Element);
  EXPECT_EQ(generateFrom<Loader>(dir, binary, false, 3, 6, binarySink),
            sameWidth ? engine::kOk : engine::kStateFileCorrupt);
  EXPECT_EQ(binarySink.count(48), sameWidth ? 0u : 1u);
}

template <class Saver>
void checkStateExchangeFrom() {
  checkStateExchange<Saver, SingleBuild>();
  checkStateExchange<Saver, DoubleBuild>();
  checkStateExchange<Saver, Vec4Build>();
  checkStateExchange<Saver, Vec2Build>();
}

TEST(CrossBuild, TextStatesLoadEverywhereBinaryOnlyAtTheSameWidth) {
  checkStateExchangeFrom<SingleBuild>();
  checkStateExchangeFrom<DoubleBuild>();
  checkStateExchangeFrom<Vec4Build>();
  checkStateExchangeFrom<Vec2Build>();
}

// With H and W below 4 the four-lane build has no vector stage: every result
// is the reference build's, bit for bit, for the same random draws.
TEST(CrossBuild, FourLaneBuildEqualsReferenceBelowFourByFour) {
  for (std::uint32_t h = 1; h < 4; ++h) {
    for (std::uint32_t w = 1; w < 4; ++w) {
      Workbench<SingleBuild> single(h, w, 50, 3 * h + w);
      Workbench<Vec4Build> vec4(h, w, 50, 3 * h + w);
      for (int pass = 0; pass < 4; ++pass) {
        ASSERT_EQ(bits(engine::trainPass(single.net, single.series)),
                  bits(engine::trainPass(vec4.net, vec4.series)));
      }
      EXPECT_TRUE(enginetest::sameBits(single.hiddenWeights(), vec4.hiddenWeights()))
          << "H = " << h << ", W = " << w;
      EXPECT_TRUE(enginetest::sameBits(single.outputWeights(), vec4.outputWeights()))
          << "H = " << h << ", W = " << w;
    }
  }
  // From four inputs on the lanes regroup the sums, and the results part.
  Workbench<SingleBuild> single(5, 40, 200, 9);
  Workbench<Vec4Build> vec4(5, 40, 200, 9);
  for (int pass = 0; pass < 3; ++pass) {
    engine::trainPass(single.net, single.series);
    engine::trainPass(vec4.net, vec4.series);
  }
  EXPECT_FALSE(enginetest::sameBits(single.hiddenWeights(), vec4.hiddenWeights()));
}

// The double build draws the same integers as the reference; only the unit
// and the rounding of each value differ.
TEST(CrossBuild, DoubleBuildDrawsTheReferencesSequenceAtDoubleWidth) {
  std::uint64_t unitBits;
  std::memcpy(&unitBits, &DoubleBuild::kRandomUnit, sizeof unitBits);
  EXPECT_EQ(unitBits, 0x3F00002000400080u);
  EXPECT_EQ(32767.0 * DoubleBuild::kRandomUnit, 1.0);
  Workbench<SingleBuild> single(2, 3, 10, 42);
  Workbench<DoubleBuild> wide(2, 3, 10, 42);
  for (std::uint32_t i = 0; i < 10; ++i) {
    const double draws = std::round(wide.series.values()[i] / DoubleBuild::kRandomUnit);
    EXPECT_EQ(static_cast<float>(draws * SingleBuild::kRandomUnit), single.series.values()[i]);
  }
  EXPECT_EQ(single.net.hiddenBias, -0.75f);
  EXPECT_EQ(wide.net.hiddenBias, -0.75);
}

// Window t of the four-lane build comes from copy t mod 4 at index t − t mod 4
// (16-byte aligned); the pair build's from copy t mod 2 (8-byte aligned).
template <class Build>
void checkWindows(unsigned copies, std::size_t alignment) {
  Workbench<Build> bench(1, 5, 30, 1);
  const auto& series = bench.series;
  for (std::uint32_t t = 0; t + 5 <= 30; ++t) {
    const float* x = series.window(t);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(x) % alignment, 0u) << "t = " << t;
    for (std::uint32_t m = 0; m < 5; ++m) EXPECT_EQ(x[m], series.values()[t + m]) << "t = " << t;
    if (t % copies == 0) {
      EXPECT_EQ(x, series.values() + t) << "t = " << t;  // copy 0 itself
    } else {
      EXPECT_NE(x, series.values() + t) << "t = " << t;
    }
  }
}

TEST(CrossBuild, WindowsStartOnTheVectorBoundaryInTheirCopy) {
  checkWindows<Vec4Build>(4, 16);
  checkWindows<Vec2Build>(2, 8);
  // Copies 1 to 3 hold N − 1, N − 2 and N − 3 values; 0 when N is smaller.
  engine::Series<Vec4Build> tiny;
  ASSERT_TRUE(tiny.allocate(2));
  tiny.values()[0] = 1.0f;
  tiny.values()[1] = 2.0f;
  tiny.fillCopies();
  EXPECT_EQ(tiny.window(1)[0], 2.0f);
}

// Limits of the hidden weights, checked before anything is allocated.
template <class Build>
std::vector<unsigned> networkMessages(std::uint32_t h, std::uint32_t w) {
  RecordingSink sink;
  engine::RunParameters p = enginetest::parameters(enginetest::kBenchmark, h, w, &sink, nullptr);
  p.benchmarkingDataPoints = w + 1;
  p.benchmarkingIterations = 1;
  EXPECT_EQ(engine::runEngine<Build>(p, 1), engine::kOutOfMemory);
  return sink.ids();
}

TEST(Limits, NetworkSizeRefusedWithMessage45) {
  const std::vector<unsigned> refused{38, 45};
  EXPECT_EQ(networkMessages<SingleBuild>(1073741822, 1), refused);
  EXPECT_EQ(networkMessages<DoubleBuild>(536870911, 1), refused);
  EXPECT_EQ(networkMessages<DoubleBuild>(268435456, 2), refused);
  EXPECT_EQ(networkMessages<Vec2Build>(1073741821, 1), refused);
  EXPECT_EQ(networkMessages<Vec2Build>(357913941, 3), refused);  // 1,073,741,823
  // The four-lane build limits the row table, and H × W only for one block.
  EXPECT_EQ(networkMessages<Vec4Build>(1073741819, 1), refused);
  EXPECT_EQ(networkMessages<Vec4Build>(268435455, 4), refused);  // 1,073,741,820
  EXPECT_TRUE(Vec4Build::networkFits(268435454, 4));             // 1,073,741,816
  EXPECT_TRUE(
      Vec4Build::networkFits(268435455, 5));  // separate rows: each row's own allocation decides
  EXPECT_FALSE(Vec4Build::networkFits(1073741819, 5));
  EXPECT_TRUE(DoubleBuild::networkFits(536870910, 1));
  EXPECT_TRUE(Vec2Build::networkFits(1073741820, 1));
}

TEST(Limits, FourLaneRowsAreSeparateUnlessTheWidthIsAMultipleOfFour) {
  for (std::uint32_t w : {4u, 8u, 16u, 20u}) {
    Workbench<Vec4Build> bench(3, w, w + 2, 1);
    for (std::uint32_t r = 0; r < 3; ++r)
      EXPECT_EQ(bench.net.hiddenWeights.row(r), bench.net.hiddenWeights.row(0) + r * w);
  }
  for (std::uint32_t w : {1u, 5u, 7u, 17u}) {
    Workbench<Vec4Build> bench(3, w, w + 2, 1);
    for (std::uint32_t r = 0; r < 3; ++r) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bench.net.hiddenWeights.row(r)) % 16, 0u)
          << "W = " << w;
    }
  }
}

// The double build's observable widths: memory estimate at 8 bytes a value,
// progress and generated values at 15 digits.
TEST(DoubleBuildFacts, EstimateProgressAndOutputAtDoubleWidth) {
  enginetest::LanguageModule language;
  ASSERT_NE(language.handle(), nullptr);
  RecordingSink sink;
  engine::RunParameters p = enginetest::parameters(enginetest::kBenchmark, 10, 10, &sink, nullptr);
  p.languageModule = language.handle();
  p.benchmarkingDataPoints = 40;
  p.benchmarkingIterations = 1;
  p.learningRate = 0.01;
  ASSERT_EQ(engine::runEngine<DoubleBuild>(p, 3), engine::kOk);
  ASSERT_GE(sink.lines.size(), 3u);
  EXPECT_NE(sink.lines[1].text.find("880 bytes"), std::string::npos) << sink.lines[1].text;
  // The first pass always reports; its error is printed with 15 digits.
  EXPECT_EQ(sink.lines[2].level, kProgressLevel);
  const std::string progress = sink.lines[2].text;
  std::size_t digits = 0;
  for (std::size_t i = progress.find_first_of("0123456789");
       i < progress.size() && progress[i] != 'e'; ++i) {
    digits += std::isdigit(static_cast<unsigned char>(progress[i])) != 0;
  }
  EXPECT_GE(digits, 12u) << progress;
}

TEST(DoubleBuildFacts, TextStateKeepsFifteenDigits) {
  TempDir dir;
  const std::string state = trainedState<DoubleBuild>(dir, "state.txt", true, 2, 3);
  const auto lines = enginetest::lines(enginetest::readFile(state));
  ASSERT_EQ(lines.size(), 2u + 2 * (3 + 1) + 2 + 1);
  // Random weights at 15 digits: more than the 6 of the single builds.
  EXPECT_GT(lines[2].size(), 10u) << lines[2];
  // And read back without rounding to float.
  TempDir again;
  RecordingSink sink;
  std::string generated;
  enginetest::writeFile(again.file("series.txt"), enginetest::waveSeries(40));
  ASSERT_EQ(generateFrom<DoubleBuild>(again, state, true, 2, 3, sink, &generated), engine::kOk);
  const auto values = enginetest::lines(generated);
  ASSERT_EQ(values.size(), 5u);
  EXPECT_GT(values[0].size(), 10u) << values[0];
}

// The pair build's output neuron: evaluate is unrounded for an odd H (the
// odd product is added in double), the training step's y is always a float.
TEST(PairBuildFacts, EvaluateUnroundedForOddHeightTrainStepRounded) {
  std::mt19937 random(8);
  int unrounded = 0;
  for (int trial = 0; trial < 20; ++trial) {
    for (std::uint32_t h : {1u, 2u, 3u, 16u, 17u}) {
      const auto z = enginetest::randomValues<float>(random, h);
      auto w = enginetest::randomValues<float>(random, h);
      std::vector<float> back(h);
      const double y = Vec2Build::evaluate(-static_cast<float>(h), z.data(), w.data(), h);
      if (h % 2 == 0) {
        EXPECT_EQ(y, static_cast<float>(y));
      }
      unrounded += y != static_cast<float>(y);
      const double trained = Vec2Build::trainOutput(-static_cast<float>(h), z.data(), w.data(),
                                                    back.data(), h, 0.1, 1.0f);
      EXPECT_EQ(trained, static_cast<float>(trained));
      EXPECT_EQ(trained, static_cast<float>(y));
    }
  }
  EXPECT_GT(unrounded, 20);
  // W = 1: the hidden sum is bias + w·x in double, then rounded to float.
  const float x = 1.0f + 0x1p-20f;
  const float weight = 1.0f + 0x1p-20f;
  EXPECT_EQ(Vec2Build::hiddenSum(0x1p-30f, &x, &weight, 1),
            static_cast<float>(static_cast<double>(x) * weight + 0x1p-30));
}

}  // namespace

namespace {

using engine::InstructionSet;
using engine::InstructionSetChoice;

// The kernel set a run takes from the processor's best and the variable.
struct InstructionSetCase {
  const char* requested;
  InstructionSet best;
  InstructionSetChoice choice;
  InstructionSet chosen;
};

class InstructionSetChoices : public ::testing::TestWithParam<InstructionSetCase> {};

TEST_P(InstructionSetChoices, LowerOnlyAndRefuseWhatIsMissing) {
  const InstructionSetCase& c = GetParam();
  InstructionSet chosen =
      c.best == InstructionSet::kAvx2 ? InstructionSet::kSse2 : InstructionSet::kAvx2;
  EXPECT_EQ(engine::chooseInstructionSet(c.requested, c.best, &chosen), c.choice);
  EXPECT_EQ(chosen, c.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InstructionSetChoices,
    ::testing::Values(InstructionSetCase{nullptr, InstructionSet::kAvx2,
                                         InstructionSetChoice::kChosen, InstructionSet::kAvx2},
                      InstructionSetCase{nullptr, InstructionSet::kSse2,
                                         InstructionSetChoice::kChosen, InstructionSet::kSse2},
                      InstructionSetCase{"", InstructionSet::kAvx2, InstructionSetChoice::kChosen,
                                         InstructionSet::kAvx2},
                      InstructionSetCase{"sse2", InstructionSet::kAvx2,
                                         InstructionSetChoice::kChosen, InstructionSet::kSse2},
                      InstructionSetCase{"Sse2", InstructionSet::kSse2,
                                         InstructionSetChoice::kChosen, InstructionSet::kSse2},
                      InstructionSetCase{"AVX2", InstructionSet::kAvx2,
                                         InstructionSetChoice::kChosen, InstructionSet::kAvx2},
                      // A refusal leaves the best in place, so nothing reads an unset value.
                      InstructionSetCase{"avx2", InstructionSet::kSse2,
                                         InstructionSetChoice::kMissingOnProcessor,
                                         InstructionSet::kSse2},
                      InstructionSetCase{"avx", InstructionSet::kAvx2,
                                         InstructionSetChoice::kUnknownName, InstructionSet::kAvx2},
                      InstructionSetCase{"avx2 ", InstructionSet::kAvx2,
                                         InstructionSetChoice::kUnknownName,
                                         InstructionSet::kAvx2}));

}  // namespace
