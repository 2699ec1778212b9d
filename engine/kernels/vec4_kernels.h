#pragma once
#include <immintrin.h>

#include <cstdint>

#include "kernels/vec4_reference.h"

// The four-lane kernels. SSE carries one 4-lane unit per register; the AVX2
// kernel carries two (the low and the high half), arranged so that each half
// does exactly the additions of the SSE kernel. No FMA anywhere: every
// product is rounded before it is added.
namespace engine {

struct Vec4Kernels {
  static double laneSum(__m128 v) {
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, v);
    return Vec4Reference::laneSum(lanes);
  }

  // The rounded lane sum after the blocks: with no block at all the lanes are
  // (b, 0, 0, 0) and their sum is b + 0 (which only turns −0 into +0).
  static float blocksSum(__m128 acc, bool hadBlocks) {
    return hadBlocks ? static_cast<float>(laneSum(acc)) : _mm_cvtss_f32(acc) + 0.0f;
  }

  // Both streams are fetched 400 bytes (100 floats) ahead of the block.
  static void prefetchAhead(const float* a, const float* b) {
    _mm_prefetch(reinterpret_cast<const char*>(a) + 400, _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(b) + 400, _MM_HINT_T0);
  }

  // x, w: n floats. The sum of Vec4Reference::dot, unrounded.
  static double dot(float b, const float* x, const float* w, std::uint32_t n) {
    __m128 acc = _mm_set_ss(b);
    std::uint32_t i = 0;
    for (; i + 16 <= n; i += 16) {
      prefetchAhead(x + i, w + i);
      const __m128 p0 = _mm_mul_ps(_mm_loadu_ps(x + i), _mm_loadu_ps(w + i));
      const __m128 p1 = _mm_mul_ps(_mm_loadu_ps(x + i + 4), _mm_loadu_ps(w + i + 4));
      const __m128 p2 = _mm_mul_ps(_mm_loadu_ps(x + i + 8), _mm_loadu_ps(w + i + 8));
      const __m128 p3 = _mm_mul_ps(_mm_loadu_ps(x + i + 12), _mm_loadu_ps(w + i + 12));
      acc = _mm_add_ps(_mm_add_ps(_mm_add_ps(p0, p1), _mm_add_ps(p2, p3)), acc);
    }
    const float s = blocksSum(acc, i > 0);
    // With no whole vector left the lanes are (s, 0, 0, 0), whose sum is s + 0.
    double r = static_cast<double>(s) + 0.0;
    if (i + 4 <= n) {
      acc = _mm_set_ss(s);
      for (; i + 4 <= n; i += 4)
        acc = _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(x + i), _mm_loadu_ps(w + i)), acc);
      r = laneSum(acc);
    }
    for (; i < n; ++i) r = r + static_cast<double>(w[i]) * static_cast<double>(x[i]);
    return r;
  }

  // The hidden sum and the output's prediction (Generate), both unrounded.
  static double hiddenSum(float b, const float* x, const float* w, std::uint32_t n) {
    return dot(b, x, w, n);
  }
  static double evaluate(float b, const float* z, const float* w, std::uint32_t n) {
    return dot(b, z, w, n);
  }

  // The output step of Vec4Reference::trainOutput.
  static double trainOutput(float bias, const float* z, float* w, float* back, std::uint32_t n,
                            double learningRate, float target) {
    const double y = dot(bias, z, w, n);
    const float g = static_cast<float>((static_cast<double>(target) - y) * learningRate);
    const __m128 gv = _mm_set1_ps(g);
    std::uint32_t i = 0;
    for (; i + 4 <= n; i += 4) {
      const __m128 wv = _mm_add_ps(_mm_loadu_ps(w + i), _mm_mul_ps(_mm_loadu_ps(z + i), gv));
      _mm_storeu_ps(w + i, wv);
      _mm_storeu_ps(back + i, _mm_mul_ps(wv, gv));
    }
    scalar::updateOutputFrom<float>(g, z, w, back, i, n);
    return y;
  }

  // The row step of Vec4Reference::updateHidden.
  static void updateHidden(float d, const float* x, float* row, std::uint32_t n) {
    const __m128 dv = _mm_set1_ps(d);
    std::uint32_t m = 0;
    for (; m + 4 <= n; m += 4)
      _mm_storeu_ps(row + m,
                    _mm_add_ps(_mm_loadu_ps(row + m), _mm_mul_ps(_mm_loadu_ps(x + m), dv)));
    for (; m < n; ++m) {
      row[m] = static_cast<float>(static_cast<double>(d) * static_cast<double>(x[m]) +
                                  static_cast<double>(row[m]));
    }
  }

  // The lanes of one block's products, (p0|p1) and (p2|p3), regrouped into
  // (p0|p2) and (p1|p3): their sum is (p0+p1 | p2+p3), and the halves' sum the
  // SSE kernel's (p0+p1) + (p2+p3), which is added to the lanes' totals.
  __attribute__((target("avx2"), always_inline)) static __m128 addBlock(__m256 p01, __m256 p23,
                                                                        __m128 acc) {
    const __m256 q = _mm256_add_ps(_mm256_permute2f128_ps(p01, p23, 0x20),
                                   _mm256_permute2f128_ps(p01, p23, 0x31));
    return _mm_add_ps(_mm_add_ps(_mm256_castps256_ps128(q), _mm256_extractf128_ps(q, 1)), acc);
  }

  // After the blocks of a fused row step: the whole vectors and the single
  // values that follow, updated and summed as the SSE kernels do.
  static double finishRow(float* row, float d, const float* x, const float* next, __m128 acc,
                          std::uint32_t i, std::uint32_t n) {
    const float s = blocksSum(acc, i > 0);
    // With no whole vector left the lanes are (s, 0, 0, 0), whose sum is s + 0.
    double r = static_cast<double>(s) + 0.0;
    if (i + 4 <= n) {
      acc = _mm_set_ss(s);
      const __m128 dv = _mm_set1_ps(d);
      for (; i + 4 <= n; i += 4) {
        const __m128 wv = _mm_add_ps(_mm_loadu_ps(row + i), _mm_mul_ps(_mm_loadu_ps(x + i), dv));
        _mm_storeu_ps(row + i, wv);
        acc = _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(next + i), wv), acc);
      }
      r = laneSum(acc);
    }
    for (; i < n; ++i) {
      row[i] = static_cast<float>(static_cast<double>(d) * static_cast<double>(x[i]) +
                                  static_cast<double>(row[i]));
      r = r + static_cast<double>(row[i]) * static_cast<double>(next[i]);
    }
    return r;
  }

  // One row's update followed by its sum over the next window, in one sweep:
  // row = row + x·d (updateHidden), then returns dot(bias, next, row) over the
  // new weights. A block of 16 sits in two 256-bit registers as (v0|v1) and
  // (v2|v3), two 4-lane units side by side.
  __attribute__((target("avx2"))) static double updateAndSum(float* row, float d, const float* x,
                                                             const float* next, float bias,
                                                             std::uint32_t n) {
    const __m256 dv = _mm256_set1_ps(d);
    __m128 acc = _mm_set_ss(bias);
    std::uint32_t i = 0;
    for (; i + 16 <= n; i += 16) {
      const __m256 w01 =
          _mm256_add_ps(_mm256_loadu_ps(row + i), _mm256_mul_ps(_mm256_loadu_ps(x + i), dv));
      const __m256 w23 = _mm256_add_ps(_mm256_loadu_ps(row + i + 8),
                                       _mm256_mul_ps(_mm256_loadu_ps(x + i + 8), dv));
      _mm256_storeu_ps(row + i, w01);
      _mm256_storeu_ps(row + i + 8, w23);
      acc = addBlock(_mm256_mul_ps(_mm256_loadu_ps(next + i), w01),
                     _mm256_mul_ps(_mm256_loadu_ps(next + i + 8), w23), acc);
    }
    return finishRow(row, d, x, next, acc, i, n);
  }

  // updateAndSum for two rows in one sweep: the windows are loaded once for
  // both, and both rows are read before either is written (rows a multiple of
  // 4 KiB apart would otherwise stall on a store at the same page offset). The
  // products are regrouped as (row 0 | row 1) for each chunk, so that one
  // accumulator carries both rows, row 0 in the low and row 1 in the high half.
  __attribute__((target("avx2"))) static void updateAndSumTwoRows(float* row0, float* row1,
                                                                  float d0, float d1,
                                                                  const float* x, const float* next,
                                                                  float bias, std::uint32_t n,
                                                                  double* sums) {
    const __m256 dv0 = _mm256_set1_ps(d0);
    const __m256 dv1 = _mm256_set1_ps(d1);
    __m256 acc = _mm256_setr_m128(_mm_set_ss(bias), _mm_set_ss(bias));
    std::uint32_t i = 0;
    for (; i + 16 <= n; i += 16) {
      const __m256 x01 = _mm256_loadu_ps(x + i);
      const __m256 x23 = _mm256_loadu_ps(x + i + 8);
      const __m256 a01 = _mm256_add_ps(_mm256_loadu_ps(row0 + i), _mm256_mul_ps(x01, dv0));
      const __m256 a23 = _mm256_add_ps(_mm256_loadu_ps(row0 + i + 8), _mm256_mul_ps(x23, dv0));
      const __m256 b01 = _mm256_add_ps(_mm256_loadu_ps(row1 + i), _mm256_mul_ps(x01, dv1));
      const __m256 b23 = _mm256_add_ps(_mm256_loadu_ps(row1 + i + 8), _mm256_mul_ps(x23, dv1));
      _mm256_storeu_ps(row0 + i, a01);
      _mm256_storeu_ps(row0 + i + 8, a23);
      _mm256_storeu_ps(row1 + i, b01);
      _mm256_storeu_ps(row1 + i + 8, b23);
      const __m256 n01 = _mm256_loadu_ps(next + i);
      const __m256 n23 = _mm256_loadu_ps(next + i + 8);
      const __m256 pa01 = _mm256_mul_ps(n01, a01);
      const __m256 pa23 = _mm256_mul_ps(n23, a23);
      const __m256 pb01 = _mm256_mul_ps(n01, b01);
      const __m256 pb23 = _mm256_mul_ps(n23, b23);
      // (p0 + p1) and (p2 + p3) of both rows, then their sum, as the SSE kernel adds them.
      const __m256 s01 = _mm256_add_ps(_mm256_permute2f128_ps(pa01, pb01, 0x20),
                                       _mm256_permute2f128_ps(pa01, pb01, 0x31));
      const __m256 s23 = _mm256_add_ps(_mm256_permute2f128_ps(pa23, pb23, 0x20),
                                       _mm256_permute2f128_ps(pa23, pb23, 0x31));
      acc = _mm256_add_ps(_mm256_add_ps(s01, s23), acc);
    }
    sums[0] = finishRow(row0, d0, x, next, _mm256_castps256_ps128(acc), i, n);
    sums[1] = finishRow(row1, d1, x, next, _mm256_extractf128_ps(acc, 1), i, n);
  }

  // Lane sums of four row-pair accumulators at once (pair p: row 2p in the low,
  // row 2p+1 in the high half), each row's four lanes added as laneSum adds
  // them. even: rows 0, 2, 4, 6; odd: rows 1, 3, 5, 7.
  __attribute__((target("avx2"), always_inline)) static void laneSumsOfPairs(const __m256* a,
                                                                             __m256d& even,
                                                                             __m256d& odd) {
    // A 4×4 transpose in each half: lane j of the four pairs side by side.
    const __m256 t0 = _mm256_unpacklo_ps(a[0], a[1]);
    const __m256 t1 = _mm256_unpackhi_ps(a[0], a[1]);
    const __m256 t2 = _mm256_unpacklo_ps(a[2], a[3]);
    const __m256 t3 = _mm256_unpackhi_ps(a[2], a[3]);
    const __m256 lane[4] = {_mm256_shuffle_ps(t0, t2, 0x44), _mm256_shuffle_ps(t0, t2, 0xEE),
                            _mm256_shuffle_ps(t1, t3, 0x44), _mm256_shuffle_ps(t1, t3, 0xEE)};
    even = _mm256_cvtps_pd(_mm256_castps256_ps128(lane[3]));
    odd = _mm256_cvtps_pd(_mm256_extractf128_ps(lane[3], 1));
#pragma GCC unroll 3
    for (int j = 2; j >= 0; --j) {
      even = _mm256_add_pd(even, _mm256_cvtps_pd(_mm256_castps256_ps128(lane[j])));
      odd = _mm256_add_pd(odd, _mm256_cvtps_pd(_mm256_extractf128_ps(lane[j], 1)));
    }
  }

  // Stores the first `count` (at most 8) of the rows' values even (rows 0, 2,
  // 4, 6) and odd (rows 1, 3, 5, 7) in row order.
  __attribute__((target("avx2"), always_inline)) static void storeRows(__m256d even, __m256d odd,
                                                                       double* out, int count) {
    const __m256d low = _mm256_unpacklo_pd(even, odd);   // rows 0, 1 | 4, 5
    const __m256d high = _mm256_unpackhi_pd(even, odd);  // rows 2, 3 | 6, 7
    _mm256_storeu_pd(out, _mm256_permute2f128_pd(low, high, 0x20));
    if (count > 4) _mm256_storeu_pd(out + 4, _mm256_permute2f128_pd(low, high, 0x31));
  }

  // The update and the next sum of the 2·P rows of one group kept interleaved
  // by chunks of four (chunk c of row k at (c·2P + k)·4, see interleaveRows):
  // one 256-bit access holds the same chunk of a row pair, row 2p in the low
  // and row 2p+1 in the high half, and each half does exactly the SSE kernel's
  // additions. The group is one stream, read once front to back, so no load
  // waits on a pending store to another row a multiple of 4 KiB away. d: the
  // rows' factors; n: a multiple of 4; sums: the rows' hidden sums as
  // updateAndSum gives them. P: 2 or a multiple of 4.
  template <int P>
  __attribute__((target("avx2"))) static void updateAndSumGroup(float* group, const float* d,
                                                                const float* x, const float* next,
                                                                float bias, std::uint32_t n,
                                                                double* sums) {
    static_assert(P == 2 || P % 4 == 0);
    constexpr int kBatches = (P + 3) / 4;  // of four pairs, for the lane sums
    __m256 dv[P];
    __m256 acc[4 * kBatches];
#pragma GCC unroll 8
    for (int k = 0; k < 4 * kBatches; ++k) {
      acc[k] = _mm256_setzero_ps();
      if (k >= P) continue;
      dv[k] = _mm256_setr_m128(_mm_set1_ps(d[2 * k]), _mm_set1_ps(d[2 * k + 1]));
      acc[k] = _mm256_setr_m128(_mm_set_ss(bias), _mm_set_ss(bias));
    }
    float* q = group;
    std::uint32_t i = 0;
    for (; i + 16 <= n; i += 16, q += 32 * P) {
      __m256 xs[4];
      __m256 ns[4];
#pragma GCC unroll 4
      for (int c = 0; c < 4; ++c) {
        xs[c] = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(x + i + 4 * c));
        ns[c] = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(next + i + 4 * c));
      }
#pragma GCC unroll 8
      for (int k = 0; k < P; ++k) {
        __m256 products[4];
#pragma GCC unroll 4
        for (int c = 0; c < 4; ++c) {
          float* chunk = q + 8 * (c * P + k);
          const __m256 wv = _mm256_add_ps(_mm256_loadu_ps(chunk), _mm256_mul_ps(xs[c], dv[k]));
          _mm256_storeu_ps(chunk, wv);
          products[c] = _mm256_mul_ps(ns[c], wv);
        }
        acc[k] = _mm256_add_ps(_mm256_add_ps(_mm256_add_ps(products[0], products[1]),
                                             _mm256_add_ps(products[2], products[3])),
                               acc[k]);
      }
    }
    // Each row's lanes summed in double and rounded to float. A width of whole
    // blocks ends there: the sum of (s, 0, 0, 0) is s + 0.
    const __m256 zero = _mm256_setzero_ps();
    if (i == n && i > 0) {
#pragma GCC unroll 2
      for (int b = 0; b < kBatches; ++b) {
        __m256d even, odd;
        laneSumsOfPairs(acc + 4 * b, even, odd);
        const __m256d evenSums =
            _mm256_add_pd(_mm256_cvtps_pd(_mm256_cvtpd_ps(even)), _mm256_setzero_pd());
        const __m256d oddSums =
            _mm256_add_pd(_mm256_cvtps_pd(_mm256_cvtpd_ps(odd)), _mm256_setzero_pd());
        storeRows(evenSums, oddSums, sums + 8 * b, 2 * P - 8 * b);
      }
      return;
    }
    // Otherwise the whole vectors after the blocks go on from there lane by
    // lane; with no block at all the lanes stay (b, 0, 0, 0) and b + 0 takes
    // the rounding's place.
    if (i == 0) {
#pragma GCC unroll 8
      for (int k = 0; k < P; ++k) acc[k] = _mm256_add_ps(acc[k], zero);
    } else {
#pragma GCC unroll 2
      for (int b = 0; b < kBatches; ++b) {
        __m256d even, odd;
        laneSumsOfPairs(acc + 4 * b, even, odd);
        const __m256 rounded = _mm256_setr_m128(_mm256_cvtpd_ps(even), _mm256_cvtpd_ps(odd));
        // Pair k's rounded sums in lane 0 of each half, the other lanes 0.
        acc[4 * b] = _mm256_blend_ps(zero, _mm256_shuffle_ps(rounded, rounded, 0), 0x11);
        acc[4 * b + 1] = _mm256_blend_ps(zero, _mm256_shuffle_ps(rounded, rounded, 1), 0x11);
        acc[4 * b + 2] = _mm256_blend_ps(zero, _mm256_shuffle_ps(rounded, rounded, 2), 0x11);
        acc[4 * b + 3] = _mm256_blend_ps(zero, _mm256_shuffle_ps(rounded, rounded, 3), 0x11);
      }
    }
    for (; i < n; i += 4, q += 8 * P) {
      const __m256 xv = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(x + i));
      const __m256 nv = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(next + i));
#pragma GCC unroll 8
      for (int k = 0; k < P; ++k) {
        const __m256 wv = _mm256_add_ps(_mm256_loadu_ps(q + 8 * k), _mm256_mul_ps(xv, dv[k]));
        _mm256_storeu_ps(q + 8 * k, wv);
        acc[k] = _mm256_add_ps(_mm256_mul_ps(nv, wv), acc[k]);
      }
    }
#pragma GCC unroll 2
    for (int b = 0; b < kBatches; ++b) {
      __m256d even, odd;
      laneSumsOfPairs(acc + 4 * b, even, odd);
      storeRows(even, odd, sums + 8 * b, 2 * P - 8 * b);
    }
  }
};

}  // namespace engine
