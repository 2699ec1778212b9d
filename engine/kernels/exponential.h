#pragma once
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

// The engine's own exponential function in double precision. Every build and
// the reference pass evaluate the logistic through it, and its lane form runs
// the same steps (one template for both), so a hidden unit gets the same
// value whichever path computes it. Error below 1 ulp.
//
// Method: x = k·ln2 + r with k the integer nearest to x/ln2 and |r| about
// ln2/2 at most; e^x = 2^k · e^r. ln2 is split into a high part with 32
// significant bits (k·high is exact for every k used, and x − k·high is exact
// by Sterbenz's lemma) and a low part; the rounding error of r − k·low is kept
// as a correction c. e^r = 1 + r + r²·q(r), q the Taylor series of
// (e^r − 1 − r)/r² to r^11 (its remainder stays below 10^-17 for |r| ≤ 0.35),
// evaluated by pairs and powers of r to shorten the chain. 1 + r is taken
// with its exact rounding error, so the small terms are added before the one
// final rounding of the sum. 2^k is applied in two exact-exponent steps, so
// results in the subnormal range are rounded once and overflow gives
// infinity. No fused multiply-add: the results must not depend on the
// processor.
namespace engine::exponential_constants {

inline constexpr double kInverseLn2 = 0x1.71547652b82fep+0;
inline constexpr double kLn2High = 0x1.62e42fee00000p-1;
inline constexpr double kLn2Low = 0x1.a39ef35793c76p-33;
// Adding 1.5·2^52 rounds a value of magnitude below 2^51 to an integer, which
// then sits in the low bits of the sum's significand.
inline constexpr double kRoundingShift = 0x1.8p52;
// Above kOverflow e^x is infinite; below kUnderflow it rounds to 0. Between
// them k lies in [−1075, 1024], and both halves of k are normal exponents.
inline constexpr double kOverflow = 709.79;
inline constexpr double kUnderflow = -745.2;
// Between these k lies in [−1021, 1023], so 2^k and the result (2^k times a
// value in [0.7, 1.42]) are normal numbers.
inline constexpr double kNormalLow = -707.0;
inline constexpr double kNormalHigh = 709.0;

// 1/(n + 2)! for n = 0..11; each factorial is exact in double, so every
// coefficient is the correctly rounded quotient.
inline constexpr double kQ0 = 1.0 / 2.0;
inline constexpr double kQ1 = 1.0 / 6.0;
inline constexpr double kQ2 = 1.0 / 24.0;
inline constexpr double kQ3 = 1.0 / 120.0;
inline constexpr double kQ4 = 1.0 / 720.0;
inline constexpr double kQ5 = 1.0 / 5040.0;
inline constexpr double kQ6 = 1.0 / 40320.0;
inline constexpr double kQ7 = 1.0 / 362880.0;
inline constexpr double kQ8 = 1.0 / 3628800.0;
inline constexpr double kQ9 = 1.0 / 39916800.0;
inline constexpr double kQ10 = 1.0 / 479001600.0;
inline constexpr double kQ11 = 1.0 / 6227020800.0;

// The exponent fields of 2^k1 and 2^k2, k1 = floor(k/2), k2 = k − k1, from
// k + 2048 (positive for every k used, so the shift needs no sign).
inline constexpr std::uint64_t kHalfBias = 2048;

}  // namespace engine::exponential_constants

namespace engine {

// The steps for an x within [kUnderflow, kOverflow], written once for a
// double and for a vector of doubles (GCC vector types: a scalar operand
// stands for the value in every lane), so that every lane's result equals the
// scalar function's bit for bit. Real: double or a vector of them; Word:
// unsigned 64-bit integers of the same shape. Vectors pass by reference: a
// 256-bit vector by value would change the calling convention between code
// with and without AVX, and so would std::bit_cast, a function: the builtin
// is used instead.
template <class Real, class Word, bool kNormalResult = false>
__attribute__((always_inline)) inline void exponentialInRange(const Real& x, Real& out) {
  using namespace exponential_constants;
  const Real shifted = x * kInverseLn2 + kRoundingShift;
  const Real kd = shifted - kRoundingShift;
  const Word kb =
      __builtin_bit_cast(Word, shifted) - std::bit_cast<std::uint64_t>(kRoundingShift) + kHalfBias;

  // r + c = x − k·ln2 to about 2^-100; the subtraction of the low part is
  // split exactly into its rounded value r and its error c.
  const Real high = x - kd * kLn2High;
  const Real low = kd * kLn2Low;
  const Real r = high - low;
  const Real back = r - high;
  const Real c = (high - (r - back)) - (low + back);

  const Real r2 = r * r;
  const Real r4 = r2 * r2;
  const Real r8 = r4 * r4;
  const Real p0 = kQ0 + kQ1 * r;
  const Real p1 = kQ2 + kQ3 * r;
  const Real p2 = kQ4 + kQ5 * r;
  const Real p3 = kQ6 + kQ7 * r;
  const Real p4 = kQ8 + kQ9 * r;
  const Real p5 = kQ10 + kQ11 * r;
  const Real q01 = p0 + p1 * r2;
  const Real q23 = p2 + p3 * r2;
  const Real q45 = p4 + p5 * r2;
  const Real q = (q01 + r4 * q23) + r8 * q45;
  const Real t = r2 * q;

  const Real u = 1.0 + r;
  const Real e = (1.0 - u) + r;  // exact: 1 + r = u + e
  const Real y = u + ((e + c) + t);

  if constexpr (kNormalResult) {
    // 2^k itself is a normal number and so is the result: one exact step.
    out = y * __builtin_bit_cast(Real, (kb - 1025) << 52);
  } else {
    const Word k1 = kb >> 1;  // floor(k/2) + 1024
    const Real scale1 = __builtin_bit_cast(Real, (k1 - 1) << 52);
    const Real scale2 = __builtin_bit_cast(Real, (kb - k1 - 1) << 52);  // k − floor(k/2) + 1023
    out = y * scale1 * scale2;
  }
}

inline double exponential(double x) {
  using namespace exponential_constants;
  if (!(x >= kUnderflow && x <= kOverflow)) {
    if (x > kOverflow) return std::numeric_limits<double>::infinity();
    if (x < kUnderflow) return 0.0;
    return x + x;  // not a number
  }
  double y;
  if (x >= kNormalLow && x <= kNormalHigh) {
    // The usual case, as in the lanes below: one exact scaling step, one
    // multiplication less on the path from a hidden sum to its output.
    exponentialInRange<double, std::uint64_t, true>(x, y);
  } else {
    exponentialInRange<double, std::uint64_t>(x, y);
  }
  return y;
}

}  // namespace engine

// The exponential and the logistic of several values at once, in vector
// lanes. Out-of-range lanes are computed on 0 and replaced by the scalar
// function's special values at the end.
namespace engine::exponential_lanes {

template <int kLanes>
struct Lanes {
  using Real __attribute__((vector_size(kLanes * 8))) = double;
  using Bits __attribute__((vector_size(kLanes * 8))) = std::int64_t;
  using Word __attribute__((vector_size(kLanes * 8))) = std::uint64_t;
};

template <int kLanes>
__attribute__((always_inline)) inline void exponential(const typename Lanes<kLanes>::Real& x,
                                                       typename Lanes<kLanes>::Real& out) {
  using namespace exponential_constants;
  using Real = typename Lanes<kLanes>::Real;
  using Bits = typename Lanes<kLanes>::Bits;
  const Real zero = Real{};
  // Usually every lane's result is a normal number: then neither the special
  // values nor the two-step scaling are needed, and the chain is shorter.
  const Bits normal = (x >= kNormalLow) & (x <= kNormalHigh);
  bool allNormal = true;
  for (int i = 0; i < kLanes; ++i) allNormal = allNormal && normal[i] != 0;
  if (allNormal) {
    exponentialInRange<Real, typename Lanes<kLanes>::Word, true>(x, out);
    return;
  }
  const Bits inRange = (x >= kUnderflow) & (x <= kOverflow);
  const Real xr = inRange ? x : zero;
  Real result;
  exponentialInRange<Real, typename Lanes<kLanes>::Word>(xr, result);
  result = x > kOverflow ? zero + std::numeric_limits<double>::infinity() : result;
  result = x < kUnderflow ? zero : result;
  result = x != x ? x + x : result;
  out = result;
}

template <int kLanes>
__attribute__((always_inline)) inline void exponential(const double* in, double* out) {
  typename Lanes<kLanes>::Real x, y;
  std::memcpy(&x, in, sizeof x);
  exponential<kLanes>(x, y);
  std::memcpy(out, &y, sizeof y);
}

// z = 1 / (e^−a + 1) in every lane, as engine::logistic computes it.
template <int kLanes>
__attribute__((always_inline)) inline void logistic(const double* in, double* out) {
  using Real = typename Lanes<kLanes>::Real;
  Real a, e;
  std::memcpy(&a, in, sizeof a);
  const Real one = Real{} + 1.0;
  exponential<kLanes>(-a, e);
  const Real z = one / (e + one);
  std::memcpy(out, &z, sizeof z);
}

// The logistic of kCount values, four to a 256-bit register or two to a
// 128-bit one, in one function, so that the exponential's long chains of
// dependent steps overlap.
template <int kCount>
__attribute__((always_inline)) inline void logisticOfMany(const double* in, double* out) {
  constexpr int kLanes = kCount >= 4 ? 4 : 2;
  static_assert(kCount % kLanes == 0);
#pragma GCC unroll 4
  for (int i = 0; i < kCount; i += kLanes) logistic<kLanes>(in + i, out + i);
}

}  // namespace engine::exponential_lanes
