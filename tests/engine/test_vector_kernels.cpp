// Each fast kernel against the plainly written reference of its arithmetic,
// bit for bit on random data.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "kernel_test_data.h"
#include "kernels/double_kernels.h"
#include "kernels/instruction_set.h"
#include "kernels/interleaved_rows.h"
#include "kernels/interleaved_sums.h"
#include "kernels/scalar_kernels.h"
#include "kernels/single_kernels.h"
#include "kernels/vec2_kernels.h"
#include "kernels/vec2_reference.h"
#include "kernels/vec2_unit_lanes.h"
#include "kernels/vec4_kernels.h"
#include "kernels/vec4_reference.h"

namespace {

using enginetest::bits;
using enginetest::kernelSizes;
using enginetest::randomValues;
using enginetest::sameBits;

// The fast and the reference kernels of one build, side by side.
template <class FastKernels, class ReferenceKernels>
struct KernelPair {
  using Fast = FastKernels;
  using Reference = ReferenceKernels;
};

template <class K>
class FloatVectorKernels : public ::testing::Test {};
using KernelSets = ::testing::Types<KernelPair<engine::Vec4Kernels, engine::Vec4Reference>,
                                    KernelPair<engine::Vec2Kernels, engine::Vec2Reference>>;
TYPED_TEST_SUITE(FloatVectorKernels, KernelSets);

constexpr int kTrials = 8;

TYPED_TEST(FloatVectorKernels, DotMatchesReference) {
  std::mt19937 random(1);
  for (std::uint32_t n : kernelSizes()) {
    for (int trial = 0; trial < kTrials; ++trial) {
      const auto x = randomValues<float>(random, n);
      const auto w = randomValues<float>(random, n);
      const float b = randomValues<float>(random, 1)[0];
      ASSERT_EQ(bits(TypeParam::Fast::dot(b, x.data(), w.data(), n)),
                bits(TypeParam::Reference::dot(b, x.data(), w.data(), n)))
          << "n = " << n;
    }
  }
}

TYPED_TEST(FloatVectorKernels, OutputStepMatchesReference) {
  std::mt19937 random(2);
  for (std::uint32_t n : kernelSizes()) {
    for (int trial = 0; trial < kTrials; ++trial) {
      const auto z = randomValues<float>(random, n);
      auto w = randomValues<float>(random, n);
      auto wRef = w;
      std::vector<float> back(n), backRef(n);
      const float target = randomValues<float>(random, 1)[0];
      const double y = TypeParam::Fast::trainOutput(-static_cast<float>(n), z.data(), w.data(),
                                                    back.data(), n, 0.37, target);
      const double yRef = TypeParam::Reference::trainOutput(
          -static_cast<float>(n), z.data(), wRef.data(), backRef.data(), n, 0.37, target);
      ASSERT_EQ(bits(y), bits(yRef)) << "n = " << n;
      ASSERT_TRUE(sameBits(w, wRef)) << "n = " << n;
      ASSERT_TRUE(sameBits(back, backRef)) << "n = " << n;
    }
  }
}

TYPED_TEST(FloatVectorKernels, RowUpdateMatchesReference) {
  std::mt19937 random(3);
  for (std::uint32_t n : kernelSizes()) {
    for (int trial = 0; trial < kTrials; ++trial) {
      const auto x = randomValues<float>(random, n);
      auto row = randomValues<float>(random, n);
      auto rowRef = row;
      const float d = randomValues<float>(random, 1)[0];
      TypeParam::Fast::updateHidden(d, x.data(), row.data(), n);
      TypeParam::Reference::updateHidden(d, x.data(), rowRef.data(), n);
      ASSERT_TRUE(sameBits(row, rowRef)) << "n = " << n;
    }
  }
}

// The fused sweep equals the reference update followed by the reference sum
// over the updated row and the next window.
TYPED_TEST(FloatVectorKernels, FusedRowStepMatchesUpdateThenSum) {
  if (!engine::processorHas(engine::InstructionSet::kAvx2))
    GTEST_SKIP() << "no AVX2 on this processor";
  std::mt19937 random(4);
  for (std::uint32_t n : kernelSizes()) {
    for (int trial = 0; trial < kTrials; ++trial) {
      const auto series = randomValues<float>(random, n + 1);
      auto row = randomValues<float>(random, n);
      auto rowRef = row;
      const float d = randomValues<float>(random, 1)[0];
      const float b = randomValues<float>(random, 1)[0];
      const double a =
          TypeParam::Fast::updateAndSum(row.data(), d, series.data(), series.data() + 1, b, n);
      TypeParam::Reference::updateHidden(d, series.data(), rowRef.data(), n);
      const double aRef = TypeParam::Reference::dot(b, series.data() + 1, rowRef.data(), n);
      ASSERT_TRUE(sameBits(row, rowRef)) << "n = " << n;
      ASSERT_EQ(bits(a), bits(aRef)) << "n = " << n;
    }
  }
}

// The lanes are not a reassociation that happens to agree: on data made to
// cancel, the four-lane and the pair grouping give other sums than the
// sequential double sum.
TEST(FloatVectorKernels, GroupingIsVisibleOnCancellingData) {
  std::vector<float> x(16, 1.0f);
  std::vector<float> w(16, 1.0f);
  w[0] = 16777216.0f;  // 2^24: adding 1 to it in float is lost
  const float bias = -16777216.0f;
  EXPECT_EQ(engine::scalar::dot<float>(bias, x.data(), w.data(), 16), 15.0);
  EXPECT_EQ(engine::Vec4Reference::dot(bias, x.data(), w.data(), 16), 14.0);
  EXPECT_EQ(engine::Vec4Kernels::dot(bias, x.data(), w.data(), 16), 14.0);
  // The pair sum of block 1 is (2^24 + 1) + 2·7 = 2^24 + 14 in float, then the bias.
  EXPECT_EQ(engine::Vec2Reference::dot(bias, x.data(), w.data(), 16), 14.0);
  // With the bias first in the running total the pair build cancels before
  // adding: move the large weight into the tail pair.
  std::vector<float> x17(18, 1.0f);
  std::vector<float> w17(18, 1.0f);
  w17[16] = 16777216.0f;
  EXPECT_EQ(engine::Vec2Reference::dot(bias, x17.data(), w17.data(), 18),
            16.0);  // (b + 16) + (2^24 + 1)
  EXPECT_EQ(engine::Vec2Kernels::dot(bias, x17.data(), w17.data(), 18), 16.0);
  EXPECT_EQ(engine::scalar::dot<float>(bias, x17.data(), w17.data(), 18), 17.0);
}

// The four-lane build's two-row kernel: each row as the reference's update and sum.
TEST(FourLaneKernels, TwoRowsMatchUpdateThenSum) {
  if (!engine::processorHas(engine::InstructionSet::kAvx2))
    GTEST_SKIP() << "no AVX2 on this processor";
  std::mt19937 random(9);
  for (std::uint32_t n : kernelSizes()) {
    const auto series = randomValues<float>(random, n + 1);
    auto row0 = randomValues<float>(random, n);
    auto row1 = randomValues<float>(random, n);
    auto ref0 = row0;
    auto ref1 = row1;
    const auto d = randomValues<float>(random, 2);
    const float b = randomValues<float>(random, 1)[0];
    double sums[2];
    engine::Vec4Kernels::updateAndSumTwoRows(row0.data(), row1.data(), d[0], d[1], series.data(),
                                             series.data() + 1, b, n, sums);
    engine::Vec4Reference::updateHidden(d[0], series.data(), ref0.data(), n);
    engine::Vec4Reference::updateHidden(d[1], series.data(), ref1.data(), n);
    ASSERT_TRUE(sameBits(row0, ref0) && sameBits(row1, ref1)) << "n = " << n;
    ASSERT_EQ(bits(sums[0]), bits(engine::Vec4Reference::dot(b, series.data() + 1, ref0.data(), n)))
        << "n = " << n;
    ASSERT_EQ(bits(sums[1]), bits(engine::Vec4Reference::dot(b, series.data() + 1, ref1.data(), n)))
        << "n = " << n;
  }
}

// The four-lane build's group kernel, 2·P rows interleaved as a pass
// interleaves them: each row as the reference's update and sum.
template <int P>
void checkVec4Group(std::uint32_t n, std::mt19937& random) {
  const auto series = randomValues<float>(random, n + 1);
  auto block = randomValues<float>(random, 2 * P * n);
  const auto before = block;
  std::vector<float> scratch(2 * P * n);
  engine::interleaveRows<2 * P, 4>(block.data(), n, scratch.data());
  const auto d = randomValues<float>(random, 2 * P);
  const float b = randomValues<float>(random, 1)[0];
  double sums[2 * P];
  engine::Vec4Kernels::updateAndSumGroup<P>(block.data(), d.data(), series.data(),
                                            series.data() + 1, b, n, sums);
  engine::restoreRows<2 * P, 4>(block.data(), n, scratch.data());
  for (int k = 0; k < 2 * P; ++k) {
    std::vector<float> row(before.begin() + static_cast<std::ptrdiff_t>(k) * n,
                           before.begin() + static_cast<std::ptrdiff_t>(k + 1) * n);
    engine::Vec4Reference::updateHidden(d[k], series.data(), row.data(), n);
    const std::vector<float> got(block.begin() + static_cast<std::ptrdiff_t>(k) * n,
                                 block.begin() + static_cast<std::ptrdiff_t>(k + 1) * n);
    ASSERT_TRUE(sameBits(got, row)) << "n = " << n << ", row " << k;
    ASSERT_EQ(bits(sums[k]), bits(engine::Vec4Reference::dot(b, series.data() + 1, row.data(), n)))
        << "n = " << n << ", row " << k;
  }
}

TEST(Vec4Kernels, InterleavedGroupsMatchUpdateThenSum) {
  if (!engine::processorHas(engine::InstructionSet::kAvx2))
    GTEST_SKIP() << "no AVX2 on this processor";
  std::mt19937 random(12);
  for (std::uint32_t n : kernelSizes()) {
    if (n % 4 != 0) continue;  // the widths the pass interleaves
    checkVec4Group<2>(n, random);
    checkVec4Group<4>(n, random);
    checkVec4Group<8>(n, random);
  }
}

// A float-build kernel that reads its windows widened, given float windows.
template <void (*kKernel)(float* const*, const float*, const double*, const double*, float,
                          std::uint32_t, double*)>
void withWideWindows(float* const* rows, const float* d, const float* x, const float* next,
                     float bias, std::uint32_t w, double* sums) {
  const std::vector<double> wideX(x, x + w), wideNext(next, next + w);
  kKernel(rows, d, wideX.data(), wideNext.data(), bias, w, sums);
}

// An interleaved lane kernel of 4·G rows kept as one block, run on rows that
// lie apart: they are copied into one block, interleaved, stepped, restored
// and copied back, as a pass does with its rows.
template <class E, int G, class Window,
          void (*kKernel)(E*, const E*, const Window*, const Window*, E, std::uint32_t, double*)>
void throughInterleavedBlock(E* const* rows, const E* d, const Window* x, const Window* next,
                             E bias, std::uint32_t w, double* sums) {
  std::vector<E> block(static_cast<std::size_t>(w) * 4 * G);
  std::vector<E> scratch(block.size());
  for (int k = 0; k < 4 * G; ++k)
    std::copy(rows[k], rows[k] + w, block.begin() + static_cast<std::ptrdiff_t>(k) * w);
  engine::interleaveRows<4 * G, 1>(block.data(), w, scratch.data());
  kKernel(block.data(), d, x, next, bias, w, sums);
  engine::restoreRows<4 * G, 1>(block.data(), w, scratch.data());
  for (int k = 0; k < 4 * G; ++k)
    std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(k) * w, w, rows[k]);
}

// An interleaved lane kernel of G groups of kGroupRows rows, run on rows that
// lie apart: they are copied into one block, interleaved, stepped, restored
// and copied back, as a pass does with its rows.
template <class E, int G,
          void (*kKernel)(E* const*, const E*, const E*, const E*, E, std::uint32_t, double*),
          int kGroupRows = 4>
void throughInterleavedGroups(E* const* rows, const E* d, const E* x, const E* next, E bias,
                              std::uint32_t w, double* sums) {
  std::vector<E> block(static_cast<std::size_t>(w) * kGroupRows * G);
  std::vector<E> scratch(static_cast<std::size_t>(w) * kGroupRows);
  E* groups[G];
  for (int k = 0; k < kGroupRows * G; ++k)
    std::copy(rows[k], rows[k] + w, block.begin() + static_cast<std::ptrdiff_t>(k) * w);
  for (int g = 0; g < G; ++g) {
    groups[g] = block.data() + static_cast<std::size_t>(g) * kGroupRows * w;
    engine::interleaveRows<kGroupRows, 1>(groups[g], w, scratch.data());
  }
  kKernel(groups, d, x, next, bias, w, sums);
  for (int g = 0; g < G; ++g) engine::restoreRows<kGroupRows, 1>(groups[g], w, scratch.data());
  for (int k = 0; k < kGroupRows * G; ++k)
    std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(k) * w, w, rows[k]);
}

// The double build's lane kernel: four to sixteen rows at once, each lane a
// sequential sum, against the reference row step and sum row by row.
template <int G>
void checkDoubleRows(std::uint32_t w, std::mt19937& random) {
  constexpr int kRows = 4 * G;
  const auto series = randomValues<double>(random, w + 1);
  std::vector<std::vector<double>> rows, rowsRef;
  double* pointers[kRows];
  for (int k = 0; k < kRows; ++k) {
    rows.push_back(randomValues<double>(random, w));
    rowsRef.push_back(rows.back());
  }
  for (int k = 0; k < kRows; ++k) pointers[k] = rows[k].data();
  const auto d = randomValues<double>(random, kRows);
  const double bias = randomValues<double>(random, 1)[0];
  double sums[kRows];
  throughInterleavedBlock<double, G, double, engine::InterleavedSums::updateAndSum<G, double>>(
      pointers, d.data(), series.data(), series.data() + 1, bias, w, sums);
  for (int k = 0; k < kRows; ++k) {
    engine::scalar::updateHidden<double>(d[k], series.data(), rowsRef[k].data(), w);
    ASSERT_TRUE(sameBits(rows[k], rowsRef[k])) << "W = " << w << ", row " << k;
    ASSERT_EQ(bits(sums[k]),
              bits(engine::scalar::dot<double>(bias, series.data() + 1, rowsRef[k].data(), w)))
        << "W = " << w << ", row " << k;
  }
}

void checkTwoDoubleRows(std::uint32_t w, std::mt19937& random) {
  const auto series = randomValues<double>(random, w + 1);
  auto row0 = randomValues<double>(random, w);
  auto row1 = randomValues<double>(random, w);
  auto ref0 = row0;
  auto ref1 = row1;
  double* pointers[2] = {row0.data(), row1.data()};
  const auto d = randomValues<double>(random, 2);
  double sums[2];
  engine::DoubleKernels::updateAndSumTwoRows(pointers, d.data(), series.data(), series.data() + 1,
                                             0.5, w, sums);
  engine::scalar::updateHidden<double>(d[0], series.data(), ref0.data(), w);
  engine::scalar::updateHidden<double>(d[1], series.data(), ref1.data(), w);
  ASSERT_TRUE(sameBits(row0, ref0) && sameBits(row1, ref1)) << "W = " << w;
  ASSERT_EQ(bits(sums[0]),
            bits(engine::scalar::dot<double>(0.5, series.data() + 1, ref0.data(), w)))
      << "W = " << w;
  ASSERT_EQ(bits(sums[1]),
            bits(engine::scalar::dot<double>(0.5, series.data() + 1, ref1.data(), w)))
      << "W = " << w;
}

TEST(DoubleKernels, TwoRowLanesMatchTheSequentialReference) {
  std::mt19937 random(6);
  for (std::uint32_t w : kernelSizes()) checkTwoDoubleRows(w, random);
}

TEST(DoubleKernels, RowLanesMatchTheSequentialReference) {
  if (!engine::processorHas(engine::InstructionSet::kAvx2))
    GTEST_SKIP() << "no AVX2 on this processor";
  std::mt19937 random(5);
  for (std::uint32_t w : kernelSizes()) {
    for (int trial = 0; trial < 3; ++trial) {
      checkDoubleRows<1>(w, random);
      checkDoubleRows<2>(w, random);
      checkDoubleRows<4>(w, random);
    }
  }
}

// The float builds' lane kernels against their reference row step and sum,
// row by row. The float build's rows sit in double lanes, the weights rounded
// to float where stored and summed as stored; the pair build's eight-lane
// kernels give the hidden sum rounded to float, its four-row kernel unrounded.
// The rows lie apart in memory as separate vectors do; the next window
// overlaps this one, as in a pass.
using FloatLaneKernel = void (*)(float* const*, const float*, const float*, const float*, float,
                                 std::uint32_t, double*);

// The references: the reference build's plain kernels (hidden sums
// unrounded) and the pair arithmetic's (hidden sums rounded to float).
using SingleReference = engine::scalar::Kernels<float>;
using PairReference = engine::Vec2Reference;

template <int kRows, class Reference = SingleReference>
void checkFloatRows(FloatLaneKernel kernel, std::uint32_t w, std::mt19937& random) {
  const auto series = randomValues<float>(random, w + 1);
  std::vector<std::vector<float>> rows, rowsRef;
  float* pointers[kRows];
  for (int k = 0; k < kRows; ++k) {
    rows.push_back(randomValues<float>(random, w));
    rowsRef.push_back(rows.back());
  }
  for (int k = 0; k < kRows; ++k) pointers[k] = rows[k].data();
  const auto d = randomValues<float>(random, kRows);
  const float bias = randomValues<float>(random, 1)[0];
  double sums[kRows];
  kernel(pointers, d.data(), series.data(), series.data() + 1, bias, w, sums);
  for (int k = 0; k < kRows; ++k) {
    Reference::updateHidden(d[k], series.data(), rowsRef[k].data(), w);
    ASSERT_TRUE(sameBits(rows[k], rowsRef[k])) << "W = " << w << ", row " << k;
    ASSERT_EQ(bits(sums[k]),
              bits(Reference::hiddenSum(bias, series.data() + 1, rowsRef[k].data(), w)))
        << "W = " << w << ", row " << k;
  }
}

TEST(SingleKernels, TwoRowLanesMatchTheSequentialReference) {
  std::mt19937 random(10);
  for (std::uint32_t w : kernelSizes()) {
    for (int trial = 0; trial < 3; ++trial)
      checkFloatRows<2>(engine::SingleKernels::updateAndSumTwoRows, w, random);
  }
}

TEST(SingleKernels, WideRowLanesMatchTheSequentialReference) {
  if (!engine::processorHas(engine::InstructionSet::kAvx2))
    GTEST_SKIP() << "no AVX2 on this processor";
  std::mt19937 random(11);
  for (std::uint32_t w : kernelSizes()) {
    for (int trial = 0; trial < 3; ++trial) {
      checkFloatRows<2>(withWideWindows<engine::SingleKernels::updateAndSumTwoRowsWide>, w, random);
      checkFloatRows<4>(
          withWideWindows<throughInterleavedBlock<float, 1, double,
                                                  engine::InterleavedSums::updateAndSum<1, float>>>,
          w, random);
      checkFloatRows<16>(
          withWideWindows<throughInterleavedBlock<float, 4, double,
                                                  engine::InterleavedSums::updateAndSum<4, float>>>,
          w, random);
    }
  }
}

TEST(PairKernels, RowLanesMatchUpdateThenSum) {
  if (!engine::processorHas(engine::InstructionSet::kAvx2))
    GTEST_SKIP() << "no AVX2 on this processor";
  using Lanes = engine::Vec2UnitLanes;
  std::mt19937 random(7);
  for (std::uint32_t w : kernelSizes()) {
    for (int trial = 0; trial < 3; ++trial) {
      checkFloatRows<4, PairReference>(engine::Vec2Kernels::updateAndSumFourRows, w, random);
      checkFloatRows<8, PairReference>(
          throughInterleavedGroups<float, 1, Lanes::updateAndSumInterleaved<1>, Lanes::kRows>, w,
          random);
      checkFloatRows<16, PairReference>(
          throughInterleavedGroups<float, 2, Lanes::updateAndSumInterleaved<2>, Lanes::kRows>, w,
          random);
    }
  }
}

// The rounding points on a case built for them: d·x = 1 + 2^-11 + 2^-24 is
// exact in double, and row + d·x = 2 + 2^-23 + 2^-24 rounds up to the float
// 2 + 2^-22. A product rounded to float first (1 + 2^-11) would leave the tie
// 2 + 2^-23 and round to 2; a sum fed the unrounded weight would differ too.
TEST(SingleKernels, UpdateIsRoundedOnceFromDoubleAndSummedAsStored) {
  const float factor = 1.0f + 0x1p-12f;
  const float weight = 1.0f - 0x1p-11f + 0x1p-23f;
  struct Kernel {
    FloatLaneKernel run;
    int rows;
    bool needsAvx2;
  };
  const Kernel kernels[] = {
      {engine::SingleKernels::updateAndSumTwoRows, 2, false},
      {withWideWindows<engine::SingleKernels::updateAndSumTwoRowsWide>, 2, true},
      {withWideWindows<throughInterleavedBlock<float, 1, double,
                                               engine::InterleavedSums::updateAndSum<1, float>>>,
       4, true},
      {withWideWindows<throughInterleavedBlock<float, 2, double,
                                               engine::InterleavedSums::updateAndSum<2, float>>>,
       8, true}};
  for (const Kernel& kernel : kernels) {
    if (kernel.needsAvx2 && !engine::processorHas(engine::InstructionSet::kAvx2)) continue;
    for (std::uint32_t w : {1u, 2u, 5u, 8u, 13u}) {
      const std::vector<float> series(w + 1, factor);
      std::vector<std::vector<float>> rows(8, std::vector<float>(w, weight));
      float* pointers[8];
      for (int k = 0; k < 8; ++k) pointers[k] = rows[k].data();
      const std::vector<float> d(8, factor);
      double sums[8];
      kernel.run(pointers, d.data(), series.data(), series.data() + 1, 0.0f, w, sums);
      double expectedSum = 0.0;
      for (std::uint32_t m = 0; m < w; ++m)
        expectedSum = expectedSum + static_cast<double>(factor) * (2.0 + 0x1p-22);
      for (int k = 0; k < kernel.rows; ++k) {
        ASSERT_EQ(rows[k], std::vector<float>(w, 2.0f + 0x1p-22f))
            << "rows " << kernel.rows << ", W = " << w;
        ASSERT_EQ(bits(sums[k]), bits(expectedSum)) << "rows " << kernel.rows << ", W = " << w;
      }
    }
  }
}

}  // namespace
