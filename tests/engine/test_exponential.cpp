// The engine's own exponential: its lane forms against the scalar function bit
// for bit, the scalar function against the exact value, and the logistic's
// limits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "kernel_test_data.h"
#include "kernels/exponential.h"
#include "kernels/instruction_set.h"
#include "kernels/single_kernels.h"
#include "model/network_math.h"

namespace {

using enginetest::bits;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kLn2 = 0.693147180559945309417232121458176568;

// Inputs where the method is likeliest to go wrong: zeros and tiny values,
// the ends of the range and past them, the special values, and values next to
// multiples of ln2, where k changes and r is smallest or largest.
std::vector<double> edgeInputs() {
  std::vector<double> v = {0.0,
                           -0.0,
                           std::numeric_limits<double>::denorm_min(),
                           -std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::min(),
                           -std::numeric_limits<double>::min(),
                           1e-300,
                           -1e-300,
                           0x1p-54,
                           -0x1p-54,
                           1.0,
                           -1.0,
                           700.0,
                           -700.0,
                           709.78,
                           709.782712893384,
                           709.7827128933841,
                           709.79,
                           std::nextafter(709.79, kInf),
                           710.0,
                           745.0,
                           -745.0,
                           -745.1,
                           -745.13321910194122,
                           -745.2,
                           std::nextafter(-745.2, -kInf),
                           -746.0,
                           1e308,
                           -1e308,
                           std::numeric_limits<double>::max(),
                           -std::numeric_limits<double>::max(),
                           kInf,
                           -kInf,
                           std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN()};
  // The ends of the lanes' shorter path for results in the normal range.
  for (double end : {-707.0, 709.0}) {
    v.push_back(end);
    v.push_back(std::nextafter(end, -kInf));
    v.push_back(std::nextafter(end, kInf));
  }
  for (int k = -1075; k <= 1024; k += 7) {
    const double m = k * kLn2;
    double below = m, above = m;
    for (int i = 0; i < 3; ++i) {
      v.push_back(below);
      v.push_back(above);
      below = std::nextafter(below, -kInf);
      above = std::nextafter(above, kInf);
    }
    // The points halfway between multiples, where the nearest k flips.
    v.push_back(m + 0.5 * kLn2);
    v.push_back(std::nextafter(m + 0.5 * kLn2, kInf));
    v.push_back(std::nextafter(m + 0.5 * kLn2, -kInf));
  }
  return v;
}

// Uniform over the whole finite range of the function and past it, plus
// small magnitudes spread over many binary orders, plus arbitrary bit patterns
// (which include infinities, NaNs and subnormals).
std::vector<double> randomInputs(std::size_t n) {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> wide(-760.0, 720.0);
  std::uniform_real_distribution<double> mantissa(0.5, 1.0);
  std::uniform_int_distribution<int> exponent(-60, 4);
  std::vector<double> v;
  v.reserve(3 * n);
  for (std::size_t i = 0; i < n; ++i) {
    v.push_back(wide(random));
    const double m = std::ldexp(mantissa(random), exponent(random));
    v.push_back(i % 2 == 0 ? m : -m);
    v.push_back(std::bit_cast<double>(random()));
  }
  return v;
}

std::vector<double> allInputs() {
  std::vector<double> v = edgeInputs();
  const std::vector<double> r = randomInputs(100000);
  v.insert(v.end(), r.begin(), r.end());
  return v;
}

// Runs a lane function over the inputs, kLanes at a time (the tail padded with
// 0), and checks each lane against the scalar function, bit for bit. The
// inputs are also rotated by one so that every value visits every lane.
template <int kLanes, class LaneFunction, class ScalarFunction>
void expectLanesEqualScalar(const std::vector<double>& inputs, LaneFunction lanes,
                            ScalarFunction scalar) {
  for (std::size_t shift = 0; shift < static_cast<std::size_t>(kLanes); ++shift) {
    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < inputs.size(); i += kLanes) {
      double in[kLanes];
      double out[kLanes];
      for (int k = 0; k < kLanes; ++k) {
        const std::size_t j = i + shift + static_cast<std::size_t>(k);
        in[k] = j < inputs.size() ? inputs[j] : 0.0;
      }
      lanes(in, out);
      for (int k = 0; k < kLanes; ++k) {
        if (bits(out[k]) != bits(scalar(in[k]))) {
          if (++mismatches <= 5) {
            ADD_FAILURE() << "lane " << k << " of input " << in[k] << ": " << out[k] << " against "
                          << scalar(in[k]);
          }
        }
      }
    }
    EXPECT_EQ(mismatches, 0u) << "shift " << shift;
  }
}

// Error of y against the exact value in units of the last place of the
// double nearest to it (subnormal spacing below the normal range).
long double ulpError(double y, long double exact) {
  const int e = std::max(std::ilogb(static_cast<double>(exact)), -1022);
  const long double ulp = std::ldexp(1.0L, e - 52);
  return std::fabs(static_cast<long double>(y) - exact) / ulp;
}

// The lane forms as plain functions: out[i] = f(in[i]) for four values in
// one 256-bit register (only on a processor with AVX2) or two in one 128-bit
// register (SSE2, every x86-64 processor).
__attribute__((target("avx2"))) void exponentialFourAvx2(const double* in, double* out) {
  engine::exponential_lanes::exponential<4>(in, out);
}
void exponentialTwo(const double* in, double* out) {
  engine::exponential_lanes::exponential<2>(in, out);
}
__attribute__((target("avx2"))) void logisticFourAvx2(const double* in, double* out) {
  engine::exponential_lanes::logistic<4>(in, out);
}
void logisticTwo(const double* in, double* out) { engine::exponential_lanes::logistic<2>(in, out); }

TEST(ExponentialLanes, FourLanesEqualTheScalarFunction) {
  if (!engine::processorHas(engine::InstructionSet::kAvx2))
    GTEST_SKIP() << "no AVX2 on this processor";
  const std::vector<double> inputs = allInputs();
  expectLanesEqualScalar<4>(inputs, exponentialFourAvx2,
                            [](double x) { return engine::exponential(x); });
  expectLanesEqualScalar<4>(inputs, logisticFourAvx2,
                            [](double x) { return engine::logistic(x); });
}

TEST(ExponentialLanes, TwoLanesEqualTheScalarFunction) {
  const std::vector<double> inputs = allInputs();
  expectLanesEqualScalar<2>(inputs, exponentialTwo,
                            [](double x) { return engine::exponential(x); });
  expectLanesEqualScalar<2>(inputs, logisticTwo,
                            [](double x) { return engine::logistic(x); });
}

TEST(Exponential, WithinOneUlpOfTheExactValue) {
  // The exact value from the long double exponential (64-bit significand,
  // 2^-11 of a double's last place), over the range where e^x is finite and
  // not zero, and over the edge inputs inside it.
  std::vector<double> inputs;
  for (double x : allInputs()) {
    if (std::isfinite(x) && x > -745.13 && x < 709.78) inputs.push_back(x);
  }
  long double worst = 0.0L;  // over results in the normal range
  double worstInput = 0.0;
  std::size_t overOne = 0;
  std::size_t farFromLibrary = 0;
  for (double x : inputs) {
    const double y = engine::exponential(x);
    const long double error = ulpError(y, std::exp(static_cast<long double>(x)));
    if (y >= std::numeric_limits<double>::min() && error > worst) {
      worst = error;
      worstInput = x;
    }
    if (!(error < 1.0L)) ++overOne;
    // The system library's exp is also within an ulp of the exact value, so
    // the two may differ by one step at most.
    const double library = std::exp(x);
    const double lower = std::nextafter(library, -kInf);
    const double upper = std::nextafter(library, kInf);
    if (y != library && y != lower && y != upper) ++farFromLibrary;
  }
  EXPECT_EQ(overOne, 0u);
  EXPECT_EQ(farFromLibrary, 0u);
  // What the method gives for normal results: the final rounding's half ulp
  // and the small terms' roundings, together at most about 0.75 ulp below 1
  // (0.68 seen here); a lost correction of r or a short polynomial shows as
  // more. (A subnormal result is rounded a second time, to fewer bits, which
  // can add up to a quarter of its ulp.)
  EXPECT_LT(worst, 0.75L) << "at " << worstInput;
  RecordProperty("worst_ulp_error", std::to_string(static_cast<double>(worst)));
}

TEST(Exponential, SpecialValuesAndTheEndsOfTheRange) {
  EXPECT_EQ(engine::exponential(0.0), 1.0);
  EXPECT_EQ(engine::exponential(-0.0), 1.0);
  EXPECT_EQ(engine::exponential(1e-300), 1.0);
  EXPECT_EQ(engine::exponential(-1e-300), 1.0);
  EXPECT_EQ(engine::exponential(kInf), kInf);
  EXPECT_EQ(bits(engine::exponential(-kInf)), bits(0.0));
  EXPECT_TRUE(std::isnan(engine::exponential(std::numeric_limits<double>::quiet_NaN())));
  // The largest finite results and the first infinite ones.
  EXPECT_EQ(engine::exponential(709.78), std::exp(709.78));
  EXPECT_TRUE(std::isfinite(engine::exponential(709.782712893383)));
  EXPECT_EQ(engine::exponential(709.7827128933841), kInf);
  EXPECT_EQ(engine::exponential(709.79), kInf);
  EXPECT_EQ(engine::exponential(710.0), kInf);
  EXPECT_EQ(engine::exponential(1e308), kInf);
  // Subnormal results, the smallest one, and the first that round to 0.
  EXPECT_EQ(engine::exponential(-740.0), std::exp(-740.0));
  EXPECT_EQ(engine::exponential(-745.1), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(bits(engine::exponential(-745.14)), bits(0.0));
  EXPECT_EQ(bits(engine::exponential(-745.2)), bits(0.0));
  EXPECT_EQ(bits(engine::exponential(-1e308)), bits(0.0));
  // Exact powers of two where the method makes them exact: r = 0.
  EXPECT_EQ(engine::exponential(0.0), 1.0);
}

TEST(Logistic, LimitsKeepTheirMeaning) {
  // A very negative sum gives exactly 0 once rounded, in double and in float;
  // a very positive one gives 1; NaN stays NaN.
  EXPECT_EQ(bits(engine::logistic(-710.0)), bits(0.0));
  EXPECT_EQ(bits(engine::logistic(-1e308)), bits(0.0));
  EXPECT_EQ(bits(engine::logistic(-kInf)), bits(0.0));
  EXPECT_EQ(bits(static_cast<float>(engine::logistic(-200.0))), bits(0.0f));
  EXPECT_GT(engine::logistic(-200.0), 0.0);
  EXPECT_EQ(engine::logistic(40.0), 1.0);
  EXPECT_EQ(engine::logistic(1e308), 1.0);
  EXPECT_EQ(engine::logistic(kInf), 1.0);
  EXPECT_EQ(static_cast<float>(engine::logistic(20.0)), 1.0f);
  EXPECT_TRUE(std::isnan(engine::logistic(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_TRUE(
      std::isnan(static_cast<float>(engine::logistic(std::numeric_limits<double>::quiet_NaN()))));
  EXPECT_EQ(engine::logistic(0.0), 0.5);
  // Symmetric within rounding: z(a) + z(−a) = 1.
  for (double a : {0.25, 1.0, 3.5, 12.0}) {
    EXPECT_NEAR(engine::logistic(a) + engine::logistic(-a), 1.0, 0x1p-52) << a;
  }
}

}  // namespace
