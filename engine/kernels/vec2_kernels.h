#pragma once
#include <immintrin.h>

#include <cstdint>

#include "kernels/vec2_reference.h"

// The pair kernels. Processors of today have no pair unit, so the pair
// operations run in SSE and AVX2 registers, two or four pairs side by side;
// the horizontal additions pair the halves exactly as the pair unit's
// accumulate instruction does. No FMA: every product is rounded first.
namespace engine {

struct Vec2Kernels {
  // (a0+a1, a2+a3, b0+b1, b2+b3) with plain SSE shuffles.
  static __m128 pairSums(__m128 a, __m128 b) {
    return _mm_add_ps(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)),
                      _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
  }

  static void prefetchAhead(const float* a) {
    _mm_prefetch(reinterpret_cast<const char*>(a) + 400, _MM_HINT_T0);
  }

  // The block sum ((p0+p1)+(p2+p3)) + ((p4+p5)+(p6+p7)) of 16 products e,
  // given as four vectors, with p_k = e_2k + e_2k+1.
  static float blockSum(__m128 e0, __m128 e1, __m128 e2, __m128 e3) {
    const __m128 p = pairSums(pairSums(e0, e1), pairSums(e2, e3));  // (p0+p1, p2+p3, p4+p5, p6+p7)
    const __m128 q = pairSums(p, p);  // ((p0+p1)+(p2+p3), (p4+p5)+(p6+p7), ...)
    return _mm_cvtss_f32(_mm_add_ss(q, _mm_shuffle_ps(q, q, _MM_SHUFFLE(1, 1, 1, 1))));
  }

  // The running total after the blocks: the pairs that follow, one by one, then
  // the odd last element in double; as Vec2Reference::dot.
  static double finishDot(float low, float high, bool hadBlocks, const float* x, const float* w,
                          std::uint32_t i, std::uint32_t n) {
    if (hadBlocks) {
      low = low + high;
      high = 0.0f;
    }
    const std::uint32_t blocksEnd = i;
    for (; i + 2 <= n; i += 2) {
      const float q = x[i] * w[i] + x[i + 1] * w[i + 1];
      low = low + high;
      high = q;
    }
    if (i > blocksEnd) low = low + high;
    if (i < n)
      return static_cast<double>(w[i]) * static_cast<double>(x[i]) + static_cast<double>(low);
    return low;
  }

  // x, w: n floats. The sum of Vec2Reference::dot.
  __attribute__((always_inline)) static double dot(float b, const float* x, const float* w,
                                                   std::uint32_t n) {
    float low = b;
    float high = 0.0f;
    std::uint32_t i = 0;
    for (; i + 16 <= n; i += 16) {
      prefetchAhead(x + i);
      prefetchAhead(w + i);
      const float s = blockSum(_mm_mul_ps(_mm_loadu_ps(x + i), _mm_loadu_ps(w + i)),
                               _mm_mul_ps(_mm_loadu_ps(x + i + 4), _mm_loadu_ps(w + i + 4)),
                               _mm_mul_ps(_mm_loadu_ps(x + i + 8), _mm_loadu_ps(w + i + 8)),
                               _mm_mul_ps(_mm_loadu_ps(x + i + 12), _mm_loadu_ps(w + i + 12)));
      low = low + high;
      high = s;
    }
    return finishDot(low, high, i > 0, x, w, i, n);
  }

  // The hidden sum is rounded to float before the logistic, also for odd W;
  // the output's prediction for Generate is unrounded for an odd H, and
  // Generate writes it as it is.
  static double hiddenSum(float b, const float* x, const float* w, std::uint32_t n) {
    return static_cast<float>(dot(b, x, w, n));
  }
  static double evaluate(float b, const float* z, const float* w, std::uint32_t n) {
    return dot(b, z, w, n);
  }

  // The output step of Vec2Reference::trainOutput.
  static double trainOutput(float bias, const float* z, float* w, float* back, std::uint32_t n,
                            double learningRate, float target) {
    const float y = static_cast<float>(dot(bias, z, w, n));
    const float g =
        static_cast<float>((static_cast<double>(target) - static_cast<double>(y)) * learningRate);
    const __m128 gv = _mm_set1_ps(g);
    std::uint32_t i = 0;
    for (; i + 4 <= n; i += 4) {
      const __m128 wv = _mm_add_ps(_mm_mul_ps(gv, _mm_loadu_ps(z + i)), _mm_loadu_ps(w + i));
      _mm_storeu_ps(w + i, wv);
      _mm_storeu_ps(back + i, _mm_mul_ps(wv, gv));
    }
    for (; i + 2 <= n; ++i) {
      w[i] = g * z[i] + w[i];
      back[i] = w[i] * g;
      ++i;
      w[i] = g * z[i] + w[i];
      back[i] = w[i] * g;
    }
    scalar::updateOutputFrom<float>(g, z, w, back, i, n);  // an odd last weight
    return y;
  }

  // The row step of Vec2Reference::updateHidden.
  static void updateHidden(float d, const float* x, float* row, std::uint32_t n) {
    const __m128 dv = _mm_set1_ps(d);
    std::uint32_t m = 0;
    for (; m + 4 <= n; m += 4)
      _mm_storeu_ps(row + m,
                    _mm_add_ps(_mm_mul_ps(dv, _mm_loadu_ps(x + m)), _mm_loadu_ps(row + m)));
    for (; m + 2 <= n; m += 2) {
      row[m] = d * x[m] + row[m];
      row[m + 1] = d * x[m + 1] + row[m + 1];
    }
    if (m < n) {
      row[m] = static_cast<float>(static_cast<double>(d) * static_cast<double>(x[m]) +
                                  static_cast<double>(row[m]));
    }
  }

  // One row's update followed by its sum over the next window, in one sweep:
  // updateHidden, then returns dot(bias, next, row) over the new weights. A
  // block's 16 products sit in two 256-bit registers; the first horizontal add
  // gives (p0,p1,p4,p5 | p2,p3,p6,p7), the second pairs those within each half,
  // and the halves' sum holds (p0+p1)+(p2+p3) and (p4+p5)+(p6+p7).
  __attribute__((target("avx2"))) static double updateAndSum(float* row, float d, const float* x,
                                                             const float* next, float bias,
                                                             std::uint32_t n) {
    const __m256 dv = _mm256_set1_ps(d);
    float low = bias;
    float high = 0.0f;
    std::uint32_t i = 0;
    for (; i + 16 <= n; i += 16) {
      const __m256 w0 =
          _mm256_add_ps(_mm256_mul_ps(dv, _mm256_loadu_ps(x + i)), _mm256_loadu_ps(row + i));
      const __m256 w1 = _mm256_add_ps(_mm256_mul_ps(dv, _mm256_loadu_ps(x + i + 8)),
                                      _mm256_loadu_ps(row + i + 8));
      _mm256_storeu_ps(row + i, w0);
      _mm256_storeu_ps(row + i + 8, w1);
      const __m256 h = _mm256_hadd_ps(_mm256_mul_ps(_mm256_loadu_ps(next + i), w0),
                                      _mm256_mul_ps(_mm256_loadu_ps(next + i + 8), w1));
      const __m256 hh = _mm256_hadd_ps(h, h);
      const __m128 v = _mm_add_ps(_mm256_castps256_ps128(hh), _mm256_extractf128_ps(hh, 1));
      const float s = _mm_cvtss_f32(_mm_add_ss(v, _mm_movehdup_ps(v)));
      low = low + high;
      high = s;
    }
    const std::uint32_t blocksEnd = i;
    updateHidden(d, x + i, row + i, n - i);
    return finishDot(low, high, blocksEnd > 0, next, row, blocksEnd, n);
  }

  // updateAndSum for four rows at once, their sums in the four lanes of one
  // register: each row's block gives (p0,p1,p4,p5 | p2,p3,p6,p7) as above; two
  // rows' such vectors paired by a horizontal add and their halves added hold
  // both rows' (p0+p1)+(p2+p3) and (p4+p5)+(p6+p7); a last horizontal add of
  // two such results gives the four block sums. Each lane's running total is
  // the one row's. sums: the four rows' hidden sums, rounded to float as
  // hiddenSum rounds them (an odd width leaves a double to round).
  __attribute__((target("avx2"))) static void updateAndSumFourRows(float* const* rows,
                                                                   const float* d, const float* x,
                                                                   const float* next, float bias,
                                                                   std::uint32_t n, double* sums) {
    const __m256 d0 = _mm256_set1_ps(d[0]);
    const __m256 d1 = _mm256_set1_ps(d[1]);
    const __m256 d2 = _mm256_set1_ps(d[2]);
    const __m256 d3 = _mm256_set1_ps(d[3]);
    __m128 low = _mm_set1_ps(bias);
    __m128 high = _mm_setzero_ps();
    std::uint32_t i = 0;
    for (; i + 16 <= n; i += 16) {
      const __m256 x0 = _mm256_loadu_ps(x + i);
      const __m256 x1 = _mm256_loadu_ps(x + i + 8);
      const __m256 n0 = _mm256_loadu_ps(next + i);
      const __m256 n1 = _mm256_loadu_ps(next + i + 8);
      // Written out, not looped: GCC would keep an array of vectors in memory.
      const __m256 a0 = _mm256_add_ps(_mm256_mul_ps(d0, x0), _mm256_loadu_ps(rows[0] + i));
      const __m256 b0 = _mm256_add_ps(_mm256_mul_ps(d0, x1), _mm256_loadu_ps(rows[0] + i + 8));
      const __m256 a1 = _mm256_add_ps(_mm256_mul_ps(d1, x0), _mm256_loadu_ps(rows[1] + i));
      const __m256 b1 = _mm256_add_ps(_mm256_mul_ps(d1, x1), _mm256_loadu_ps(rows[1] + i + 8));
      const __m256 a2 = _mm256_add_ps(_mm256_mul_ps(d2, x0), _mm256_loadu_ps(rows[2] + i));
      const __m256 b2 = _mm256_add_ps(_mm256_mul_ps(d2, x1), _mm256_loadu_ps(rows[2] + i + 8));
      const __m256 a3 = _mm256_add_ps(_mm256_mul_ps(d3, x0), _mm256_loadu_ps(rows[3] + i));
      const __m256 b3 = _mm256_add_ps(_mm256_mul_ps(d3, x1), _mm256_loadu_ps(rows[3] + i + 8));
      _mm256_storeu_ps(rows[0] + i, a0);
      _mm256_storeu_ps(rows[0] + i + 8, b0);
      _mm256_storeu_ps(rows[1] + i, a1);
      _mm256_storeu_ps(rows[1] + i + 8, b1);
      _mm256_storeu_ps(rows[2] + i, a2);
      _mm256_storeu_ps(rows[2] + i + 8, b2);
      _mm256_storeu_ps(rows[3] + i, a3);
      _mm256_storeu_ps(rows[3] + i + 8, b3);
      const __m256 h0 = _mm256_hadd_ps(_mm256_mul_ps(n0, a0), _mm256_mul_ps(n1, b0));
      const __m256 h1 = _mm256_hadd_ps(_mm256_mul_ps(n0, a1), _mm256_mul_ps(n1, b1));
      const __m256 h2 = _mm256_hadd_ps(_mm256_mul_ps(n0, a2), _mm256_mul_ps(n1, b2));
      const __m256 h3 = _mm256_hadd_ps(_mm256_mul_ps(n0, a3), _mm256_mul_ps(n1, b3));
      const __m256 h01 = _mm256_hadd_ps(h0, h1);
      const __m256 h23 = _mm256_hadd_ps(h2, h3);
      const __m128 l01 = _mm_add_ps(_mm256_castps256_ps128(h01), _mm256_extractf128_ps(h01, 1));
      const __m128 l23 = _mm_add_ps(_mm256_castps256_ps128(h23), _mm256_extractf128_ps(h23, 1));
      low = _mm_add_ps(low, high);
      high = _mm_hadd_ps(l01, l23);
    }
    const bool hadBlocks = i > 0;
    if (hadBlocks) low = _mm_add_ps(low, high);
    alignas(16) float totals[4];
    _mm_store_ps(totals, low);
    alignas(32) double tails[4];
    for (int k = 0; k < 4; ++k) {
      updateHidden(d[k], x + i, rows[k] + i, n - i);
      tails[k] = finishDot(totals[k], 0.0f, false, next, rows[k], i, n);
    }
    // Rounded in one register by the conversion instructions themselves. Written
    // as four scalar round trips through float, GCC 12 at -O3 vectorises them
    // and then loses the rounding when the sums are read back as one vector.
    _mm256_storeu_pd(sums, _mm256_cvtps_pd(_mm256_cvtpd_ps(_mm256_load_pd(tails))));
  }
};

}  // namespace engine
