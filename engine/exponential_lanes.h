#pragma once
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#include "exponential.h"

// The exponential and the logistic of several values at once, in vector
// lanes: each lane does exactly the operations of engine::exponential and
// engine::logistic, in the same order, so every lane's result equals the
// scalar function's bit for bit. Out-of-range lanes are computed on 0 and
// replaced by the scalar function's special values at the end.
namespace engine::exponential_lanes {

template <int kLanes>
struct Lanes {
  using Real __attribute__((vector_size(kLanes * 8))) = double;
  using Bits __attribute__((vector_size(kLanes * 8))) = std::int64_t;
  using Word __attribute__((vector_size(kLanes * 8))) = std::uint64_t;
};

// Vectors pass by reference: a 256-bit vector by value would change the
// calling convention between code with and without AVX.
template <int kLanes>
__attribute__((always_inline)) inline void exponential(const typename Lanes<kLanes>::Real& x,
                                                       typename Lanes<kLanes>::Real& out) {
  using namespace exponential_constants;
  using Real = typename Lanes<kLanes>::Real;
  using Bits = typename Lanes<kLanes>::Bits;
  using Word = typename Lanes<kLanes>::Word;
  // Scalars in the operations below stand for the value in every lane; a cast
  // between two vector types of one size keeps the bits.
  const Real zero = Real{};
  const Real infinity = zero + std::numeric_limits<double>::infinity();

  const Bits inRange = (x >= kUnderflow) & (x <= kOverflow);
  const Real xr = inRange ? x : zero;

  const Real shifted = xr * kInverseLn2 + kRoundingShift;
  const Real kd = shifted - kRoundingShift;
  const Word kb = (Word)shifted - std::bit_cast<std::uint64_t>(kRoundingShift) +
                  kHalfBias;

  const Real high = xr - kd * kLn2High;
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
  const Real e = (1.0 - u) + r;
  const Real y = u + ((e + c) + t);

  const Word k1 = kb >> 1;
  const Real scale1 = (Real)((k1 - 1) << 52);
  const Real scale2 = (Real)((kb - k1 - 1) << 52);
  Real result = y * scale1 * scale2;

  result = x > kOverflow ? infinity : result;
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

// out[i] = f(in[i]) for four values in one 256-bit register (only on a
// processor with AVX2) or two in one 128-bit register (SSE2, every x86-64
// processor).
__attribute__((target("avx2"))) inline void exponentialFourAvx2(const double* in, double* out) {
  exponential<4>(in, out);
}
inline void exponentialTwo(const double* in, double* out) { exponential<2>(in, out); }
__attribute__((target("avx2"))) inline void logisticFourAvx2(const double* in, double* out) {
  logistic<4>(in, out);
}
// Eight or sixteen values in two or four 256-bit registers, in one
// function, so that their chains of dependent steps overlap.
__attribute__((target("avx2"))) inline void logisticEightAvx2(const double* in, double* out) {
  logistic<4>(in, out);
  logistic<4>(in + 4, out + 4);
}
__attribute__((target("avx2"))) inline void logisticSixteenAvx2(const double* in, double* out) {
  logistic<4>(in, out);
  logistic<4>(in + 4, out + 4);
  logistic<4>(in + 8, out + 8);
  logistic<4>(in + 12, out + 12);
}
inline void logisticTwo(const double* in, double* out) { logistic<2>(in, out); }

}  // namespace engine::exponential_lanes
