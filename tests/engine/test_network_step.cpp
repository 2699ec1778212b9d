// The arithmetic of one sample, on values whose results are exact, so the
// expected figures are worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "builds/build_single.h"
#include "model/aligned_buffer.h"
#include "model/network.h"
#include "model/network_math.h"
#include "model/random_generator.h"
#include "model/series.h"
#include "run/training_pass.h"

namespace {

using engine::RandomGenerator;
using engine::SingleBuild;

TEST(RandomGenerator, SeededWithOneYieldsTheKnownSequence) {
  RandomGenerator random(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int e : expected) EXPECT_EQ(random.draw(), e);
}

TEST(RandomGenerator, UnitValuesSpanZeroToExactlyOne) {
  std::uint32_t bits;
  std::memcpy(&bits, &SingleBuild::kRandomUnit, sizeof bits);
  EXPECT_EQ(bits, 0x38000100u);
  EXPECT_EQ(static_cast<float>(32767.0f * SingleBuild::kRandomUnit), 1.0f);
  // The first value seeded with 1 is 41 units.
  RandomGenerator random(1);
  EXPECT_EQ(random.unitValue<float>(SingleBuild::kRandomUnit), 41.0f * SingleBuild::kRandomUnit);
}

TEST(OutputNeuron, DeltaRuleStepUpdatesWeightThenBackSignalFromIt) {
  // z = 0.5, w = 0.25, bias −1: y = −0.875; g = (1 + 0.875) × 0.5 = 0.9375;
  // w' = 0.9375 × 0.5 + 0.25 = 0.71875; back = 0.9375 × 0.71875 (the new weight).
  const float z[] = {0.5f};
  float w[] = {0.25f};
  float back[] = {0.0f};
  const double y = SingleBuild::trainOutput(-1.0f, z, w, back, 1, 0.5, 1.0f);
  EXPECT_EQ(y, -0.875);
  EXPECT_EQ(w[0], 0.71875f);
  EXPECT_EQ(back[0], 0.673828125f);
}

TEST(OutputNeuron, ScaledErrorIsRoundedToSingleBeforeUse) {
  // (1 − 0) × 0.1 rounds to the float nearest 0.1; the weight step uses that float.
  const float z[] = {1.0f};
  float w[] = {0.0f};
  float back[] = {0.0f};
  SingleBuild::trainOutput(0.0f, z, w, back, 1, 0.1, 1.0f);
  EXPECT_EQ(w[0], 0.1f);
  EXPECT_EQ(back[0], static_cast<float>(static_cast<double>(0.1f) * static_cast<double>(0.1f)));
}

TEST(OutputNeuron, ZeroLearningRateChangesNoWeight) {
  const float z[] = {0.25f, 0.75f, 0.5f};
  float w[] = {0.125f, 0.5f, 1.0f};
  float back[] = {9.0f, 9.0f, 9.0f};
  SingleBuild::trainOutput(-3.0f, z, w, back, 3, 0.0, 2.0f);
  EXPECT_EQ(w[0], 0.125f);
  EXPECT_EQ(w[1], 0.5f);
  EXPECT_EQ(w[2], 1.0f);
  EXPECT_EQ(back[0], 0.0f);  // g is 0, so every back signal is 0
}

TEST(HiddenUnit, SumIsCarriedUnroundedAndLogisticSaturates) {
  // 1 + 2^-30 is not a float, but the sum keeps it before the logistic.
  const float x[] = {1.0f, 0x1p-30f};
  const float w[] = {1.0f, 1.0f};
  EXPECT_EQ(SingleBuild::hiddenSum(0.0f, x, w, 2), 1.0 + 0x1p-30);
  EXPECT_EQ(engine::logistic(0.0), 0.5);
  EXPECT_EQ(static_cast<float>(engine::logistic(-1000.0)), 0.0f);
  EXPECT_EQ(static_cast<float>(engine::logistic(1000.0)), 1.0f);
  EXPECT_NEAR(engine::logistic(1.0), 1.0 / (1.0 + std::exp(-1.0)), 1e-16);
}

TEST(SampleError, RelativeErrorWithItsSpecialCases) {
  EXPECT_EQ(engine::sampleError(1.5, 1.0), 0.5);
  EXPECT_EQ(engine::sampleError(0.5, 1.0), 0.5);
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(engine::sampleError(1.0, 0.0), inf);           // a target of 0
  EXPECT_TRUE(std::isnan(engine::sampleError(0.0, 0.0)));  // nothing known: the pass error stays
  // A prediction that is not a number means the weights blew up: infinitely wrong.
  EXPECT_EQ(engine::sampleError(std::nan(""), 2.0), inf);
  EXPECT_EQ(engine::sampleError(inf, inf), inf);
}

TEST(Network, BiasesComeFromTheMeanAndTheWidth) {
  engine::RunOutput out(nullptr, nullptr);
  RandomGenerator random(7);
  engine::Network<SingleBuild> net;
  ASSERT_EQ(net.build(out, 1, 1, 2.0f, 0.1, random), engine::kOk);
  EXPECT_EQ(net.hiddenBias, -1.0f);
  EXPECT_EQ(net.output.bias, -1.0f);
  engine::Network<SingleBuild> wide;
  ASSERT_EQ(wide.build(out, 3, 384, 0.5f, 0.1, random), engine::kOk);
  EXPECT_EQ(wide.hiddenBias, -96.0f);  // 384 × 0.25
  EXPECT_EQ(wide.output.bias, -3.0f);
}

TEST(Network, OutputWeightsAreDrawnBeforeHiddenWeights) {
  engine::RunOutput out(nullptr, nullptr);
  RandomGenerator random(1);
  engine::Network<SingleBuild> net;
  ASSERT_EQ(net.build(out, 2, 2, 1.0f, 0.1, random), engine::kOk);
  net.drawHiddenWeights(random);
  const float unit = SingleBuild::kRandomUnit;
  EXPECT_EQ(net.output.weights[0], 41 * unit);
  EXPECT_EQ(net.output.weights[1], 18467 * unit);
  EXPECT_EQ(net.hiddenWeights.row(0)[0], 6334 * unit);
  EXPECT_EQ(net.hiddenWeights.row(0)[1], 26500 * unit);
  EXPECT_EQ(net.hiddenWeights.row(1)[0], 19169 * unit);
}

// A network whose weights have blown up must not look converged.
TEST(TrainingPass, NotANumberPredictionGivesAnInfinitePassError) {
  engine::RunOutput out(nullptr, nullptr);
  RandomGenerator random(3);
  engine::Series<SingleBuild> series;
  ASSERT_TRUE(series.allocate(4));
  for (int i = 0; i < 4; ++i) series.values()[i] = 1.0f + static_cast<float>(i);
  engine::Network<SingleBuild> net;
  ASSERT_EQ(net.build(out, 2, 2, 2.0f, 0.1, random), engine::kOk);
  net.drawHiddenWeights(random);
  ASSERT_EQ(net.allocateOutputs(out, true), engine::kOk);
  net.output.weights[0] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(engine::trainPass(net, series), std::numeric_limits<float>::infinity());
}

TEST(TrainingPass, HiddenUpdateUsesTheOutputsBeforeTheUpdate) {
  // H = 1, W = 1, one sample: every figure can be followed by hand.
  engine::RunOutput out(nullptr, nullptr);
  RandomGenerator random(1);
  engine::Series<SingleBuild> series;
  ASSERT_TRUE(series.allocate(2));
  series.values()[0] = 1.0f;
  series.values()[1] = 2.0f;
  engine::Network<SingleBuild> net;
  ASSERT_EQ(net.build(out, 1, 1, 0.0f, 0.5, random), engine::kOk);  // hidden bias 0: z = 0.5
  net.output.weights[0] = 0.25f;
  net.hiddenWeights.row(0)[0] = 0.0f;  // the hidden sum is the bias alone: z = logistic(0) = 0.5
  ASSERT_EQ(net.allocateOutputs(out, true), engine::kOk);
  const float passError = engine::trainPass(net, series);
  // y = −1 + 0.25 × 0.5 = −0.875; g = 2.875 × 0.5 = 1.4375; w' = 1.4375 × 0.5 + 0.25 = 0.96875.
  EXPECT_EQ(net.output.weights[0], 0.96875f);
  // back = 1.4375 × 0.96875 with the new output weight, rounded; d = 0.5 × 0.5 × back,
  // rounded; with x = 1 the hidden weight becomes d · 1 + 0.
  const float back = static_cast<float>(1.4375 * 0.96875);
  EXPECT_EQ(net.hiddenWeights.row(0)[0], static_cast<float>(0.5 * 0.5 * static_cast<double>(back)));
  EXPECT_EQ(passError, static_cast<float>(std::fabs(-0.875 / 2.0 - 1.0)));
}

// A buffer of a cache line or more starts on one whatever the build asks for
// (the lane kernels' wide accesses must not straddle lines); a smaller one
// gets the alignment asked for.
TEST(AlignedMemory, LargeBuffersStartOnACacheLine) {
  struct Case {
    std::uint64_t bytes;
    std::size_t asked;
    std::uintptr_t atLeast;
  };
  const Case cases[] = {{64, 4, 64},  {4096, 8, 64}, {1u << 20, 16, 64}, {1u << 20, 128, 128},
                        {12, 16, 16}, {8, 4, 8},     {63, 32, 32},       {0, 8, 8}};
  for (const Case& c : cases) {
    void* p = engine::alignedAllocate(c.bytes, c.asked);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % c.atLeast, 0u)
        << c.bytes << " bytes, " << c.asked << " asked";
    engine::alignedFree(p);
  }
}

}  // namespace
