#pragma once
#include <bit>
#include <cstdint>
#include <limits>

// The engine's own exponential function in double precision. Every build and
// the reference pass evaluate the logistic through it, and the lane form in
// exponential_lanes.h repeats its operations in the same order, so a hidden
// unit gets the same value whichever path computes it. Error below 1 ulp.
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

inline double exponential(double x) {
  using namespace exponential_constants;
  if (!(x >= kUnderflow && x <= kOverflow)) {
    if (x > kOverflow) return std::numeric_limits<double>::infinity();
    if (x < kUnderflow) return 0.0;
    return x + x;  // not a number
  }
  const double shifted = x * kInverseLn2 + kRoundingShift;
  const double kd = shifted - kRoundingShift;
  const std::uint64_t kb = std::bit_cast<std::uint64_t>(shifted) - std::bit_cast<std::uint64_t>(kRoundingShift) + kHalfBias;

  // r + c = x − k·ln2 to about 2^-100; the subtraction of the low part is
  // split exactly into its rounded value r and its error c.
  const double high = x - kd * kLn2High;
  const double low = kd * kLn2Low;
  const double r = high - low;
  const double back = r - high;
  const double c = (high - (r - back)) - (low + back);

  const double r2 = r * r;
  const double r4 = r2 * r2;
  const double r8 = r4 * r4;
  const double p0 = kQ0 + kQ1 * r;
  const double p1 = kQ2 + kQ3 * r;
  const double p2 = kQ4 + kQ5 * r;
  const double p3 = kQ6 + kQ7 * r;
  const double p4 = kQ8 + kQ9 * r;
  const double p5 = kQ10 + kQ11 * r;
  const double q01 = p0 + p1 * r2;
  const double q23 = p2 + p3 * r2;
  const double q45 = p4 + p5 * r2;
  const double q = (q01 + r4 * q23) + r8 * q45;
  const double t = r2 * q;

  const double u = 1.0 + r;
  const double e = (1.0 - u) + r;  // exact: 1 + r = u + e
  const double y = u + ((e + c) + t);

  const std::uint64_t k1 = kb >> 1;  // floor(k/2) + 1024
  const double scale1 = std::bit_cast<double>((k1 - 1) << 52);
  const double scale2 = std::bit_cast<double>((kb - k1 - 1) << 52);  // k − floor(k/2) + 1023
  return y * scale1 * scale2;
}

}  // namespace engine
