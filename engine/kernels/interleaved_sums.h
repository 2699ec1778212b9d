#pragma once
#include <immintrin.h>

#include <cstdint>

// The update and the next sum of many hidden rows at once, for the float and
// the double builds alike. Each row's sum is one sequential chain in double,
// so a row cannot be split across lanes; instead four rows share a 256-bit
// register, one row per lane, each lane keeping its own chain in index order,
// and several such groups run side by side to hide the latency of the
// additions. The two builds differ only in how a weight is loaded and stored.
namespace engine {

struct InterleavedSums {
  // Four weights widened to double.
  __attribute__((target("avx2"), always_inline)) static __m256d loadFour(const double* p) {
    return _mm256_loadu_pd(p);
  }
  __attribute__((target("avx2"), always_inline)) static __m256d loadFour(const float* p) {
    return _mm256_cvtps_pd(_mm_loadu_ps(p));
  }

  // Stores four weights rounded to the weight type and returns them as stored,
  // widened again: the sum must see the weight as stored.
  __attribute__((target("avx2"), always_inline)) static __m256d storeFour(double* p, __m256d v) {
    _mm256_storeu_pd(p, v);
    return v;
  }
  __attribute__((target("avx2"), always_inline)) static __m256d storeFour(float* p, __m256d v) {
    const __m128 f = _mm256_cvtpd_ps(v);
    _mm_storeu_ps(p, f);
    return _mm256_cvtps_pd(f);
  }

  // The update and the next sum of 4·G rows stored as one interleaved block
  // (weight m of row k at 4G·m + k), one row per double lane, G registers of
  // four rows. d: the rows' factors; x: this sample's window, next: the next
  // one's, both in double (a broadcast is then a load alone, where widening in
  // every sweep took a third of the arithmetic unit's steps). Each row takes
  // row[m] = d·x[m] + row[m] (in double, rounded to the weight type), and
  // sums[k] = bias + Σ next[m]·row[m] over the new weights as stored, in index
  // order, in double, unrounded. The block is read and written as one stream,
  // G vectors a step, so no transposes are needed.
  template <int G, class Weight>
  __attribute__((target("avx2"))) static void updateAndSum(Weight* block, const Weight* d,
                                                           const double* x, const double* next,
                                                           Weight bias, std::uint32_t w,
                                                           double* sums) {
    __m256d dv[G];
    __m256d acc[G];
    // Unrolled, so that the arrays stay in registers.
#pragma GCC unroll 4
    for (int k = 0; k < G; ++k) {
      dv[k] = loadFour(d + 4 * k);
      acc[k] = _mm256_set1_pd(static_cast<double>(bias));
    }
    for (std::uint32_t m = 0; m < w; ++m, block += 4 * G) {
      const __m256d xv = _mm256_broadcast_sd(x + m);
      const __m256d nv = _mm256_broadcast_sd(next + m);
#pragma GCC unroll 4
      for (int k = 0; k < G; ++k) {
        const __m256d r = storeFour(
            block + 4 * k, _mm256_add_pd(_mm256_mul_pd(dv[k], xv), loadFour(block + 4 * k)));
        acc[k] = _mm256_add_pd(acc[k], _mm256_mul_pd(nv, r));
      }
    }
#pragma GCC unroll 4
    for (int k = 0; k < G; ++k) _mm256_storeu_pd(sums + 4 * k, acc[k]);
  }
};

}  // namespace engine
