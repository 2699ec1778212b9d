#pragma once
#include <immintrin.h>

#include <cstdint>

// Fast kernels of the double build. Every hidden sum is one sequential chain
// bias + x[0]·w[0] + x[1]·w[1] + ... in double, so a single row cannot be
// vectorised without changing its result. Instead four rows share a 256-bit
// register, one row per lane, each lane keeping its own chain in index order;
// two such groups run side by side to hide the latency of the additions.
namespace engine::double_kernels {

// Four rows' weights m to m + 3, updated.
struct Quad {
  __m256d r0, r1, r2, r3;
};

__attribute__((target("avx2"), always_inline)) inline Quad updateQuad(double* const* rows, const double* d,
                                                                     std::uint32_t m, __m256d xv) {
  // Written out, not looped: GCC would keep an array of four vectors in memory.
  return {_mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(d[0]), xv), _mm256_loadu_pd(rows[0] + m)),
          _mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(d[1]), xv), _mm256_loadu_pd(rows[1] + m)),
          _mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(d[2]), xv), _mm256_loadu_pd(rows[2] + m)),
          _mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(d[3]), xv), _mm256_loadu_pd(rows[3] + m))};
}

__attribute__((target("avx2"), always_inline)) inline void storeQuad(double* const* rows, std::uint32_t m,
                                                                    const Quad& q) {
  _mm256_storeu_pd(rows[0] + m, q.r0);
  _mm256_storeu_pd(rows[1] + m, q.r1);
  _mm256_storeu_pd(rows[2] + m, q.r2);
  _mm256_storeu_pd(rows[3] + m, q.r3);
}

// Adds next[m..m+3] times the four rows' new weights to their chains, in order.
__attribute__((target("avx2"), always_inline)) inline __m256d sumQuad(const Quad& q, __m256d n0, __m256d n1,
                                                                     __m256d n2, __m256d n3, __m256d acc) {
  // Transpose: the i-th vector holds weight m + i of the four rows.
  const __m256d t0 = _mm256_unpacklo_pd(q.r0, q.r1);
  const __m256d t1 = _mm256_unpackhi_pd(q.r0, q.r1);
  const __m256d t2 = _mm256_unpacklo_pd(q.r2, q.r3);
  const __m256d t3 = _mm256_unpackhi_pd(q.r2, q.r3);
  acc = _mm256_add_pd(acc, _mm256_mul_pd(n0, _mm256_permute2f128_pd(t0, t2, 0x20)));
  acc = _mm256_add_pd(acc, _mm256_mul_pd(n1, _mm256_permute2f128_pd(t1, t3, 0x20)));
  acc = _mm256_add_pd(acc, _mm256_mul_pd(n2, _mm256_permute2f128_pd(t0, t2, 0x31)));
  return _mm256_add_pd(acc, _mm256_mul_pd(n3, _mm256_permute2f128_pd(t1, t3, 0x31)));
}

// The update and the next sum of 4·G rows in one sweep. rows: 4·G pointers to
// W doubles; d: their factors; x: the window of this sample, next: the
// window of the next one. Each row takes row[m] = d·x[m] + row[m] (product
// rounded, then the sum), and sums[k] = bias + Σ next[m]·row[m] over the new
// weights, in index order, unrounded.
template <int G>
__attribute__((target("avx2"))) inline void updateAndSumRows(double* const* rows, const double* d, const double* x,
                                                             const double* next, double bias, std::uint32_t w,
                                                             double* sums) {
  static_assert(G == 1 || G == 2);
  constexpr int kRows = 4 * G;
  __m256d acc0 = _mm256_set1_pd(bias);
  __m256d acc1 = acc0;
  const std::uint32_t whole = w & ~3u;
  for (std::uint32_t m = 0; m < whole; m += 4) {
    const __m256d xv = _mm256_loadu_pd(x + m);
    const __m256d n0 = _mm256_set1_pd(next[m]);
    const __m256d n1 = _mm256_set1_pd(next[m + 1]);
    const __m256d n2 = _mm256_set1_pd(next[m + 2]);
    const __m256d n3 = _mm256_set1_pd(next[m + 3]);
    // Every load of a step comes before its stores: rows whose length is a
    // multiple of 4 KiB would otherwise see a store to one row at the same
    // page offset as the next row's load, which the processor stalls on.
    const Quad q0 = updateQuad(rows, d, m, xv);
    if constexpr (G == 2) {
      const Quad q1 = updateQuad(rows + 4, d + 4, m, xv);
      storeQuad(rows, m, q0);
      storeQuad(rows + 4, m, q1);
      acc0 = sumQuad(q0, n0, n1, n2, n3, acc0);
      acc1 = sumQuad(q1, n0, n1, n2, n3, acc1);
    } else {
      storeQuad(rows, m, q0);
      acc0 = sumQuad(q0, n0, n1, n2, n3, acc0);
    }
  }
  _mm256_storeu_pd(sums, acc0);
  if constexpr (G == 2) _mm256_storeu_pd(sums + 4, acc1);
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

// The update and the next sum of G groups of four interleaved rows (weight m
// of the group's row k at 4m + k), one row per lane. groups: G group starts;
// d: the 4·G rows' factors; sums: their hidden sums, as updateAndSumRows
// gives them. One load per group and step, no transposes.
template <int G>
__attribute__((target("avx2"))) inline void updateAndSumInterleaved(double* const* groups, const double* d,
                                                                    const double* x, const double* next,
                                                                    double bias, std::uint32_t w, double* sums) {
  __m256d dv[G];
  __m256d acc[G];
  double* g[G];
  // Unrolled, so that the arrays stay in registers.
#pragma GCC unroll 4
  for (int k = 0; k < G; ++k) {
    dv[k] = _mm256_loadu_pd(d + 4 * k);
    acc[k] = _mm256_set1_pd(bias);
    g[k] = groups[k];
  }
  for (std::uint32_t m = 0; m < w; ++m) {
    const __m256d xv = _mm256_set1_pd(x[m]);
    const __m256d nv = _mm256_set1_pd(next[m]);
#pragma GCC unroll 4
    for (int k = 0; k < G; ++k) {
      const __m256d r = _mm256_add_pd(_mm256_mul_pd(dv[k], xv), _mm256_loadu_pd(g[k]));
      _mm256_storeu_pd(g[k], r);
      acc[k] = _mm256_add_pd(acc[k], _mm256_mul_pd(nv, r));
      g[k] += 4;
    }
  }
#pragma GCC unroll 4
  for (int k = 0; k < G; ++k) _mm256_storeu_pd(sums + 4 * k, acc[k]);
}

// The same for two rows in the two lanes of an SSE2 register: for the rows
// left over when fewer than four remain (or without AVX2).
inline void updateAndSumTwoRows(double* const* rows, const double* d, const double* x, const double* next,
                                double bias, std::uint32_t w, double* sums) {
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
