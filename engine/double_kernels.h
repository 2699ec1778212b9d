#pragma once
#include <immintrin.h>

#include <cstdint>

// Fast kernels of the double build. Every hidden sum is one sequential chain
// bias + x[0]·w[0] + x[1]·w[1] + ... in double, so a single row cannot be
// vectorised without changing its result. Instead four rows share a 256-bit
// register, one row per lane, each lane keeping its own chain in index order;
// two such groups run side by side to hide the latency of the additions.
namespace engine::double_kernels {

// The update and the next sum of 4·G rows in one sweep. rows: 4·G pointers to
// W doubles; d: their factors; x: the window of this sample, next: the
// window of the next one. Each row takes row[m] = d·x[m] + row[m] (product
// rounded, then the sum), and sums[k] = bias + Σ next[m]·row[m] over the new
// weights, in index order, unrounded.
template <int G>
__attribute__((target("avx2"))) inline void updateAndSumRows(double* const* rows, const double* d, const double* x,
                                                             const double* next, double bias, std::uint32_t w,
                                                             double* sums) {
  constexpr int kRows = 4 * G;
  __m256d acc[G];
  __m256d factor[kRows];
  for (int g = 0; g < G; ++g) acc[g] = _mm256_set1_pd(bias);
  for (int k = 0; k < kRows; ++k) factor[k] = _mm256_set1_pd(d[k]);
  const std::uint32_t whole = w & ~3u;
  for (std::uint32_t m = 0; m < whole; m += 4) {
    const __m256d xv = _mm256_loadu_pd(x + m);
    const __m256d n0 = _mm256_set1_pd(next[m]);
    const __m256d n1 = _mm256_set1_pd(next[m + 1]);
    const __m256d n2 = _mm256_set1_pd(next[m + 2]);
    const __m256d n3 = _mm256_set1_pd(next[m + 3]);
#pragma GCC unroll 2
    for (int g = 0; g < G; ++g) {
      __m256d r[4];
      for (int k = 0; k < 4; ++k) {
        double* row = rows[4 * g + k] + m;
        r[k] = _mm256_add_pd(_mm256_mul_pd(factor[4 * g + k], xv), _mm256_loadu_pd(row));
        _mm256_storeu_pd(row, r[k]);
      }
      // Transpose: c_i holds weight m + i of the four rows.
      const __m256d t0 = _mm256_unpacklo_pd(r[0], r[1]);
      const __m256d t1 = _mm256_unpackhi_pd(r[0], r[1]);
      const __m256d t2 = _mm256_unpacklo_pd(r[2], r[3]);
      const __m256d t3 = _mm256_unpackhi_pd(r[2], r[3]);
      const __m256d c0 = _mm256_permute2f128_pd(t0, t2, 0x20);
      const __m256d c1 = _mm256_permute2f128_pd(t1, t3, 0x20);
      const __m256d c2 = _mm256_permute2f128_pd(t0, t2, 0x31);
      const __m256d c3 = _mm256_permute2f128_pd(t1, t3, 0x31);
      acc[g] = _mm256_add_pd(acc[g], _mm256_mul_pd(n0, c0));
      acc[g] = _mm256_add_pd(acc[g], _mm256_mul_pd(n1, c1));
      acc[g] = _mm256_add_pd(acc[g], _mm256_mul_pd(n2, c2));
      acc[g] = _mm256_add_pd(acc[g], _mm256_mul_pd(n3, c3));
    }
  }
  for (int g = 0; g < G; ++g) _mm256_storeu_pd(sums + 4 * g, acc[g]);
  for (int k = 0; k < kRows; ++k) {
    double* row = rows[k];
    double a = sums[k];
    for (std::uint32_t m = whole; m < w; ++m) {
      row[m] = d[k] * x[m] + row[m];
      a = a + next[m] * row[m];
    }
    sums[k] = a;
  }
}

inline bool haveAvx2() { return __builtin_cpu_supports("avx2"); }

}  // namespace engine::double_kernels
