#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "kernels/lane_driver.h"
#include "kernels/sample_lanes.h"
#include "kernels/single_kernels.h"
#include "model/network_math.h"
#include "run/result_codes.h"

namespace engine {

// nnsingle, the reference build: single-precision values, double-precision
// sums, plain scalar kernels that state the arithmetic; the fused hidden step
// gives their numbers with rows in vector lanes. The other builds differ from
// it only in what this structure names.
struct SingleBuild : sample_lanes::Kernels<float> {
  using Element = float;
  static constexpr const char* kName = "nnsingle";

  static constexpr std::size_t kAlignment = 4;
  static constexpr unsigned kSeriesCopies = 1;
  static constexpr std::uint32_t kSeriesLimit = 1073741821;  // lines of a file, data points
  static constexpr unsigned kBenchmarkSizeMessage = msg::kDataPointsTooMany;
  static constexpr int kTextPrecision = 6;
  static constexpr Element kRandomUnit = 0x8001p-30f;  // the float nearest to 1/32767
  static constexpr Element kBestErrorStart = FLT_MAX;

  static bool networkFits(std::uint32_t h, std::uint32_t w) {
    return static_cast<std::uint64_t>(h) * w <= 1073741821u;
  }
  static constexpr bool separateRows(std::uint32_t) { return false; }

  // One row per double lane. With AVX2 the rows go in groups of sixteen,
  // eight and four, each kept interleaved as one block during the pass, four
  // rows to a register (so up to four chains overlap) and the logistics of a
  // group together; two rows left over share a 128-bit register. The AVX2
  // kernels read the windows widened to double once per sample. With SSE2
  // two rows a sweep. Rows too short to pay for the set-up go row by row.
  struct Avx2Lanes {
    static constexpr int kWidestGroup = 16;
    static constexpr int kNarrowestGroup = 2;
    static constexpr std::uint32_t kMinimumWidth = 8;
    static constexpr int kInterleavedRows = 4;
    static constexpr bool kInterleaveWholeGroups = true;
    static constexpr bool kWideWindows = true;
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(float* const* rows, const float* d,
                                                            const double* x, const double* next,
                                                            float bias, std::uint32_t w,
                                                            double* sums) {
      if constexpr (kRows == 2) {
        single_kernels::updateAndSumTwoRowsWide(rows, d, x, next, bias, w, sums);
      } else {
        single_kernels::updateAndSumInterleaved<kRows / 4>(rows[0], d, x, next, bias, w, sums);
      }
    }
  };
  struct Sse2Lanes {
    static constexpr int kWidestGroup = 2;
    static constexpr int kNarrowestGroup = 2;
    static constexpr std::uint32_t kMinimumWidth = 8;
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(float* const* rows, const float* d,
                                                            const float* x, const float* next,
                                                            float bias, std::uint32_t w,
                                                            double* sums) {
      single_kernels::updateAndSumTwoRows(rows, d, x, next, bias, w, sums);
    }
  };
};

}  // namespace engine
