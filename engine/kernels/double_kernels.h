#pragma once
#include <immintrin.h>

#include <cstdint>

// Fast kernels of the double build. Every hidden sum is one sequential chain
// bias + x[0]·w[0] + x[1]·w[1] + ... in double, so a single row cannot be
// vectorised without changing its result. Instead four rows share a 256-bit
// register, one row per lane, each lane keeping its own chain in index order;
// several such groups run side by side to hide the latency of the additions.
namespace engine::double_kernels {

// The update and the next sum of 4·G rows stored as one interleaved block
// (weight m of row k at 4G·m + k), one row per lane, G registers of four
// rows. d: the rows' factors; x: this sample's window, next: the next one's.
// Each row takes row[m] = d·x[m] + row[m] (product rounded, then the sum),
// and sums[k] = bias + Σ next[m]·row[m] over the new weights, in index order,
// unrounded. The block is read and written as one stream, G vectors a step.
template <int G>
__attribute__((target("avx2"))) inline void updateAndSumInterleaved(double* block, const double* d,
                                                                    const double* x,
                                                                    const double* next, double bias,
                                                                    std::uint32_t w, double* sums) {
  __m256d dv[G];
  __m256d acc[G];
  // Unrolled, so that the arrays stay in registers.
#pragma GCC unroll 4
  for (int k = 0; k < G; ++k) {
    dv[k] = _mm256_loadu_pd(d + 4 * k);
    acc[k] = _mm256_set1_pd(bias);
  }
  for (std::uint32_t m = 0; m < w; ++m, block += 4 * G) {
    const __m256d xv = _mm256_set1_pd(x[m]);
    const __m256d nv = _mm256_set1_pd(next[m]);
#pragma GCC unroll 4
    for (int k = 0; k < G; ++k) {
      const __m256d r = _mm256_add_pd(_mm256_mul_pd(dv[k], xv), _mm256_loadu_pd(block + 4 * k));
      _mm256_storeu_pd(block + 4 * k, r);
      acc[k] = _mm256_add_pd(acc[k], _mm256_mul_pd(nv, r));
    }
  }
#pragma GCC unroll 4
  for (int k = 0; k < G; ++k) _mm256_storeu_pd(sums + 4 * k, acc[k]);
}

// The same for two rows in the two lanes of an SSE2 register: for the rows
// left over when fewer than four remain (or without AVX2).
inline void updateAndSumTwoRows(double* const* rows, const double* d, const double* x,
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

}  // namespace engine::double_kernels
