#pragma once
#include <immintrin.h>

#include <cstdint>

// Fast kernels of the double build. Every hidden sum is one sequential chain
// bias + x[0]·w[0] + x[1]·w[1] + ... in double, so a single row cannot be
// vectorised without changing its result. Instead four rows share a 256-bit
// register, one row per lane, each lane keeping its own chain in index order;
// several such groups run side by side to hide the latency of the additions.
namespace engine {

struct DoubleKernels {
  using Element = double;
  using Avx2Window = double;  // what the lane sets' AVX2 kernels read

  // The update and the next sum of two rows (interleaved_sums.h holds the
  // four-row groups) in the two lanes of an SSE2 register: for the rows left
  // over when fewer than four remain (or without AVX2).
  static void updateAndSumTwoRows(double* const* rows, const double* d, const double* x,
                                  const double* next, double bias, std::uint32_t w, double* sums) {
    __m128d acc = _mm_set1_pd(bias);
    const __m128d d0 = _mm_set1_pd(d[0]);
    const __m128d d1 = _mm_set1_pd(d[1]);
    double* row0 = rows[0];
    double* row1 = rows[1];
    const std::uint32_t whole = w & ~1u;
    for (std::uint32_t m = 0; m < whole; m += 2) {
      const __m128d xv = _mm_loadu_pd(x + m);
      const __m128d r0 = _mm_add_pd(_mm_mul_pd(d0, xv), _mm_loadu_pd(row0 + m));
      const __m128d r1 = _mm_add_pd(_mm_mul_pd(d1, xv), _mm_loadu_pd(row1 + m));
      _mm_storeu_pd(row0 + m, r0);
      _mm_storeu_pd(row1 + m, r1);
      acc = _mm_add_pd(acc, _mm_mul_pd(_mm_set1_pd(next[m]), _mm_unpacklo_pd(r0, r1)));
      acc = _mm_add_pd(acc, _mm_mul_pd(_mm_set1_pd(next[m + 1]), _mm_unpackhi_pd(r0, r1)));
    }
    _mm_storeu_pd(sums, acc);
    for (int k = 0; k < 2; ++k) {
      double a = sums[k];
      for (std::uint32_t m = whole; m < w; ++m) {
        rows[k][m] = d[k] * x[m] + rows[k][m];
        a = a + next[m] * rows[k][m];
      }
      sums[k] = a;
    }
  }
};

}  // namespace engine
