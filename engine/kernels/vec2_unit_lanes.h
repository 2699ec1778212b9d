#pragma once
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

// The pair build's widest kernel: eight hidden rows in the eight float lanes
// of a 256-bit register, each lane doing exactly what one pair unit does for
// its own row. The pair sum tree of a row runs down the columns of its lane,
// so every addition of it is a plain vertical one and no lane ever mixes with
// another. The rows of a group are kept interleaved during the pass (weight m
// of the group's row k at 8m + k; see interleaved_rows.h), so one load gives
// weight m of all eight rows. No FMA: every product is rounded first.
namespace engine {

struct Vec2UnitLanes {
  static constexpr int kRows = 8;

  // Keeps v computed here. GCC otherwise moves every single-use arithmetic step
  // down to where its result is used, here the end of a block's sum tree, and
  // then needs far more registers than there are: the pair sums must be formed
  // while their weights are still in registers.
  __attribute__((target("avx2"), always_inline)) static void formHere(__m256& v) {
    asm("" : "+x"(v));
  }

  // Weights m and m + 1 of G groups: each row takes row = d·x + row in float,
  // stored, then p = next[m]·row[m] + next[m+1]·row[m+1], the pair sum of that
  // row's pair (a float). Every group is read before any is written: groups a
  // multiple of 4 KiB apart would otherwise see a store at the page offset of a
  // later load, which the processor stalls on.
  template <int G>
  __attribute__((target("avx2"), always_inline)) static void pairStep(float* const* g,
                                                                      const __m256* dv,
                                                                      const float* x,
                                                                      const float* next,
                                                                      std::size_t m, __m256* p) {
    __m256 a[G];
    __m256 b[G];
    const __m256 x0 = _mm256_broadcast_ss(x + m);
    const __m256 x1 = _mm256_broadcast_ss(x + m + 1);
#pragma GCC unroll 4
    for (int k = 0; k < G; ++k) {
      a[k] = _mm256_add_ps(_mm256_mul_ps(dv[k], x0), _mm256_loadu_ps(g[k] + kRows * m));
      b[k] = _mm256_add_ps(_mm256_mul_ps(dv[k], x1), _mm256_loadu_ps(g[k] + kRows * (m + 1)));
    }
    const __m256 n0 = _mm256_broadcast_ss(next + m);
    const __m256 n1 = _mm256_broadcast_ss(next + m + 1);
#pragma GCC unroll 4
    for (int k = 0; k < G; ++k) {
      _mm256_storeu_ps(g[k] + kRows * m, a[k]);
      _mm256_storeu_ps(g[k] + kRows * (m + 1), b[k]);
      p[k] = _mm256_add_ps(_mm256_mul_ps(n0, a[k]), _mm256_mul_ps(n1, b[k]));
      formHere(p[k]);
    }
  }

  // Half a block, the four pairs from weight m on: (p0+p1) + (p2+p3) per row.
  template <int G>
  __attribute__((target("avx2"), always_inline)) static void halfBlock(float* const* g,
                                                                       const __m256* dv,
                                                                       const float* x,
                                                                       const float* next,
                                                                       std::size_t m, __m256* s) {
    __m256 p[G];
    __m256 q[G];
    __m256 t[G];
    pairStep<G>(g, dv, x, next, m, p);
    pairStep<G>(g, dv, x, next, m + 2, q);
#pragma GCC unroll 4
    for (int k = 0; k < G; ++k) {
      t[k] = _mm256_add_ps(p[k], q[k]);
      formHere(t[k]);
    }
    pairStep<G>(g, dv, x, next, m + 4, p);
    pairStep<G>(g, dv, x, next, m + 6, q);
#pragma GCC unroll 4
    for (int k = 0; k < G; ++k) {
      s[k] = _mm256_add_ps(t[k], _mm256_add_ps(p[k], q[k]));
      formHere(s[k]);
    }
  }

  // The update and the next sum of G interleaved groups of eight rows. groups:
  // the G group starts; d: the 8·G rows' factors; x: this sample's window,
  // next: the next one's. Each row takes Vec2Reference::updateHidden (the odd
  // last weight in double), then sums[k] = Vec2Reference::dot(bias, next, row)
  // over its new weights, rounded to float as the hidden sum is. Per row the
  // running total is the pair unit's accumulator (low, high): each block of 16
  // and then each pair after the blocks adds high into low and becomes high.
  template <int G>
  __attribute__((target("avx2"))) static void updateAndSumInterleaved(
      float* const* groups, const float* d, const float* x, const float* next, float bias,
      std::uint32_t w, double* sums) {
    __m256 dv[G];
    __m256 low[G];
    __m256 high[G];
    float* g[G];
#pragma GCC unroll 4
    for (int k = 0; k < G; ++k) {
      dv[k] = _mm256_loadu_ps(d + kRows * k);
      low[k] = _mm256_set1_ps(bias);
      high[k] = _mm256_setzero_ps();
      g[k] = groups[k];
    }
    const std::size_t blocksEnd = w & ~15u;
    std::size_t m = 0;
    for (; m < blocksEnd; m += 16) {
      // high is free while the block's tree is built: fewer registers live.
#pragma GCC unroll 4
      for (int k = 0; k < G; ++k) low[k] = _mm256_add_ps(low[k], high[k]);
      __m256 s[G];
      halfBlock<G>(g, dv, x, next, m, s);
      halfBlock<G>(g, dv, x, next, m + 8, high);
#pragma GCC unroll 4
      for (int k = 0; k < G; ++k) high[k] = _mm256_add_ps(s[k], high[k]);
    }
    if (blocksEnd > 0) {
#pragma GCC unroll 4
      for (int k = 0; k < G; ++k) {
        low[k] = _mm256_add_ps(low[k], high[k]);
        high[k] = _mm256_setzero_ps();
      }
    }
    const std::size_t pairsEnd = w & ~1u;
    for (; m < pairsEnd; m += 2) {
#pragma GCC unroll 4
      for (int k = 0; k < G; ++k) low[k] = _mm256_add_ps(low[k], high[k]);
      pairStep<G>(g, dv, x, next, m, high);
    }
    if (pairsEnd > blocksEnd) {
#pragma GCC unroll 4
      for (int k = 0; k < G; ++k) low[k] = _mm256_add_ps(low[k], high[k]);
    }
    if (m < w) {
      // The odd last weight: its update and its product in double, the total
      // then rounded to float once.
      const __m256d xv = _mm256_set1_pd(static_cast<double>(x[m]));
      const __m256d nv = _mm256_set1_pd(static_cast<double>(next[m]));
#pragma GCC unroll 4
      for (int k = 0; k < G; ++k) {
        float* last = g[k] + kRows * m;
        const __m256d d0 = _mm256_cvtps_pd(_mm256_castps256_ps128(dv[k]));
        const __m256d d1 = _mm256_cvtps_pd(_mm256_extractf128_ps(dv[k], 1));
        const __m128 w0 = _mm256_cvtpd_ps(
            _mm256_add_pd(_mm256_mul_pd(d0, xv), _mm256_cvtps_pd(_mm_loadu_ps(last))));
        const __m128 w1 = _mm256_cvtpd_ps(
            _mm256_add_pd(_mm256_mul_pd(d1, xv), _mm256_cvtps_pd(_mm_loadu_ps(last + 4))));
        _mm_storeu_ps(last, w0);
        _mm_storeu_ps(last + 4, w1);
        const __m128 s0 =
            _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(_mm256_cvtps_pd(w0), nv),
                                          _mm256_cvtps_pd(_mm256_castps256_ps128(low[k]))));
        const __m128 s1 =
            _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(_mm256_cvtps_pd(w1), nv),
                                          _mm256_cvtps_pd(_mm256_extractf128_ps(low[k], 1))));
        low[k] = _mm256_set_m128(s1, s0);
      }
    }
#pragma GCC unroll 4
    for (int k = 0; k < G; ++k) {
      _mm256_storeu_pd(sums + kRows * k, _mm256_cvtps_pd(_mm256_castps256_ps128(low[k])));
      _mm256_storeu_pd(sums + kRows * k + 4, _mm256_cvtps_pd(_mm256_extractf128_ps(low[k], 1)));
    }
  }
};

}  // namespace engine
