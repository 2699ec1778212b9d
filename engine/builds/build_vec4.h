#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "kernels/lane_driver.h"
#include "kernels/vec4_kernels.h"
#include "kernels/vec4_reference.h"
#include "model/network_math.h"
#include "model/result_codes.h"

namespace engine {

// nnvec4: single precision on four-lane vectors. Every buffer starts on a
// 16-byte boundary (the allocator puts any buffer of a cache line or more on
// a cache line, and so the row groups the AVX2 kernels interleave); four
// shifted copies of the series let every window start on one, and rows whose
// width is not a multiple of 4 get buffers of their own so that each row
// starts on one too.
struct Vec4Build : Vec4Kernels {
  using Element = float;
  static constexpr const char* kName = "nnvec4";

  static constexpr std::size_t kAlignment = 16;
  static constexpr unsigned kSeriesCopies = 4;
  static constexpr std::uint32_t kSeriesLimit = 1073741818;  // lines of a file, data points
  static constexpr std::uint32_t kNetworkLimit = 1073741818;
  static constexpr unsigned kBenchmarkSizeMessage = msg::kSeriesTooLarge;
  static constexpr int kTextPrecision = 6;
  static constexpr Element kRandomUnit = 0x8001p-30f;  // the float nearest to 1/32767
  static constexpr Element kBestErrorStart = FLT_MAX;

  // The row table limits H; one block limits H × W; separate rows limit W.
  static bool networkFits(std::uint32_t h, std::uint32_t w) {
    if (h > kNetworkLimit) return false;
    if (separateRows(w)) return w <= kNetworkLimit;
    return static_cast<std::uint64_t>(h) * w <= kNetworkLimit;
  }
  static constexpr bool separateRows(std::uint32_t w) { return w % 4 != 0; }

  // The arithmetic stated one value at a time; the fast kernels equal it.
  using Reference = Vec4Reference;

  // With AVX2 two rows per 256-bit register, one in each half. Groups of
  // eight rows, whose width is a multiple of 4, are kept interleaved during
  // the pass and swept as one stream; other rows go two a sweep as they are
  // stored; sixteen down to two rows between logistics, a last odd row alone.
  // Every width takes them: even a short row gains from being read once per
  // sample instead of twice. Without AVX2 the SSE kernels take the update and
  // the next sum one after the other.
  struct Avx2Lanes {
    static constexpr int kWidestGroup = 16;
    static constexpr int kNarrowestGroup = 2;
    static constexpr std::uint32_t kMinimumWidth = 1;
    static constexpr int kInterleavedRows = 8;
    static constexpr std::uint32_t kInterleavedChunk = 4;
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(float* const* rows, const float* d,
                                                            const float* x, const float* next,
                                                            float bias, std::uint32_t w,
                                                            double* sums) {
      if constexpr (kRows >= kInterleavedRows) {
        for (int k = 0; k < kRows; k += kInterleavedRows) {
          Vec4Kernels::updateAndSumGroup<kInterleavedRows / 2>(rows[k], d + k, x, next, bias, w,
                                                               sums + k);
        }
      } else {
        for (int k = 0; k < kRows; k += 2) {
          Vec4Kernels::updateAndSumTwoRows(rows[k], rows[k + 1], d[k], d[k + 1], x, next, bias, w,
                                           sums + k);
        }
      }
    }
    __attribute__((always_inline)) static double updateAndSumOne(float* row, float d,
                                                                 const float* x, const float* next,
                                                                 float bias, std::uint32_t w) {
      return Vec4Kernels::updateAndSum(row, d, x, next, bias, w);
    }
  };
  // The rows as stored, for widths that are no multiple of 4.
  struct Avx2RowLanes : Avx2Lanes {
    static constexpr int kInterleavedRows = 0;
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(float* const* rows, const float* d,
                                                            const float* x, const float* next,
                                                            float bias, std::uint32_t w,
                                                            double* sums) {
      for (int k = 0; k < kRows; k += 2) {
        Vec4Kernels::updateAndSumTwoRows(rows[k], rows[k + 1], d[k], d[k + 1], x, next, bias, w,
                                         sums + k);
      }
    }
  };
  using Sse2Lanes = NoLanes;
};

}  // namespace engine
