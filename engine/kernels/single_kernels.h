#pragma once
#include <immintrin.h>

#include <cstdint>

// Fast kernels of the float build. The weights and the series are floats, the
// arithmetic is double: a product of two floats is exact in double, every sum
// is rounded to double in index order, and a weight is rounded to float where
// it is stored. So, as in the double build, one row's sum is a single
// sequential chain and cannot be split; instead each row gets a double lane
// of its own. The floats are widened on load, the updated weights narrowed
// for the store and widened again for the sum, because the sum must see the
// weight as stored.
namespace engine {

struct SingleKernels {
  using Element = float;
  using Avx2Window = double;  // the AVX2 kernels read the windows widened once a sample

  // d·x + row over four weights of one row, rounded to float. xv: the four
  // window values widened, d: the row's factor in every lane.
  __attribute__((target("avx2"), always_inline)) static __m128 updateFour(const float* row,
                                                                          __m256d d, __m256d xv) {
    return _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(d, xv), _mm256_cvtps_pd(_mm_loadu_ps(row))));
  }

  // The rest of a row after the vector steps, one weight at a time: the update
  // and the chain as the reference states them. The windows may come as floats
  // or widened to double: the same numbers.
  template <class Value>
  static double finishRow(float* row, float d, const Value* x, const Value* next, double a,
                          std::uint32_t m, std::uint32_t w) {
    for (; m < w; ++m) {
      row[m] = static_cast<float>(static_cast<double>(d) * static_cast<double>(x[m]) +
                                  static_cast<double>(row[m]));
      a = a + static_cast<double>(next[m]) * static_cast<double>(row[m]);
    }
    return a;
  }

  // The update and the next sum of two rows (interleaved_sums.h holds the
  // four-row groups), four weights a step: the update in 256-bit
  // registers, the two rows' chains in the two lanes of one 128-bit register.
  // The windows come widened to double.
  __attribute__((target("avx2"))) static void updateAndSumTwoRowsWide(
      float* const* rows, const float* d, const double* x, const double* next, float bias,
      std::uint32_t w, double* sums) {
    const __m256d d0 = _mm256_set1_pd(static_cast<double>(d[0]));
    const __m256d d1 = _mm256_set1_pd(static_cast<double>(d[1]));
    float* row0 = rows[0];
    float* row1 = rows[1];
    __m128d acc = _mm_set1_pd(static_cast<double>(bias));
    const std::uint32_t whole = w & ~3u;
    for (std::uint32_t m = 0; m < whole; m += 4) {
      const __m256d xv = _mm256_loadu_pd(x + m);
      const double* n = next + m;
      const __m128 f0 = updateFour(row0 + m, d0, xv);
      const __m128 f1 = updateFour(row1 + m, d1, xv);
      _mm_storeu_ps(row0 + m, f0);
      _mm_storeu_ps(row1 + m, f1);
      // (row 0, row 1) at m and m + 1, then at m + 2 and m + 3.
      const __m256d lo = _mm256_cvtps_pd(_mm_unpacklo_ps(f0, f1));
      const __m256d hi = _mm256_cvtps_pd(_mm_unpackhi_ps(f0, f1));
      acc = _mm_add_pd(acc, _mm_mul_pd(_mm_loaddup_pd(n), _mm256_castpd256_pd128(lo)));
      acc = _mm_add_pd(acc, _mm_mul_pd(_mm_loaddup_pd(n + 1), _mm256_extractf128_pd(lo, 1)));
      acc = _mm_add_pd(acc, _mm_mul_pd(_mm_loaddup_pd(n + 2), _mm256_castpd256_pd128(hi)));
      acc = _mm_add_pd(acc, _mm_mul_pd(_mm_loaddup_pd(n + 3), _mm256_extractf128_pd(hi, 1)));
    }
    _mm_storeu_pd(sums, acc);
    for (int k = 0; k < 2; ++k) sums[k] = finishRow(rows[k], d[k], x, next, sums[k], whole, w);
  }

  // Two floats from anywhere (no alignment), widened; and two floats stored.
  static __m128d loadTwo(const float* p) {
    return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i_u*>(p))));
  }
  static void storeTwo(float* p, __m128 v) {
    _mm_storel_epi64(reinterpret_cast<__m128i_u*>(p), _mm_castps_si128(v));
  }

  // The same for two rows in the two lanes of an SSE2 register: for the rows
  // left over when fewer than four remain (or without AVX2).
  static void updateAndSumTwoRows(float* const* rows, const float* d, const float* x,
                                  const float* next, float bias, std::uint32_t w, double* sums) {
    __m128d acc = _mm_set1_pd(static_cast<double>(bias));
    const __m128d d0 = _mm_set1_pd(static_cast<double>(d[0]));
    const __m128d d1 = _mm_set1_pd(static_cast<double>(d[1]));
    float* row0 = rows[0];
    float* row1 = rows[1];
    const std::uint32_t whole = w & ~1u;
    for (std::uint32_t m = 0; m < whole; m += 2) {
      const __m128d xv = loadTwo(x + m);
      const __m128 f0 = _mm_cvtpd_ps(_mm_add_pd(_mm_mul_pd(d0, xv), loadTwo(row0 + m)));
      const __m128 f1 = _mm_cvtpd_ps(_mm_add_pd(_mm_mul_pd(d1, xv), loadTwo(row1 + m)));
      storeTwo(row0 + m, f0);
      storeTwo(row1 + m, f1);
      // Lane k: weight m, then m + 1, of row k, as stored.
      const __m128 pairs = _mm_unpacklo_ps(f0, f1);  // (row 0, row 1) at m, then at m + 1
      const __m128d r = _mm_cvtps_pd(pairs);
      const __m128d s = _mm_cvtps_pd(_mm_movehl_ps(pairs, pairs));
      const __m128d nv = loadTwo(next + m);
      acc = _mm_add_pd(acc, _mm_mul_pd(_mm_unpacklo_pd(nv, nv), r));
      acc = _mm_add_pd(acc, _mm_mul_pd(_mm_unpackhi_pd(nv, nv), s));
    }
    _mm_storeu_pd(sums, acc);
    for (int k = 0; k < 2; ++k) sums[k] = finishRow(rows[k], d[k], x, next, sums[k], whole, w);
  }
};

}  // namespace engine
