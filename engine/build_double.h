#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "double_kernels.h"
#include "lane_driver.h"
#include "network_math.h"
#include "result_codes.h"
#include "scalar_kernels.h"

namespace engine {

// nndouble: the reference arithmetic with every stored value a double. The
// sums, their order and the places where values are stored are the
// reference's; only the width of the stores differs.
struct DoubleBuild : scalar::Kernels<double> {
  using Element = double;
  static constexpr const char* kName = "nndouble";

  static constexpr std::size_t kAlignment = 8;
  static constexpr unsigned kSeriesCopies = 1;
  static constexpr std::uint32_t kSeriesLimit = 536870910;  // lines of a file, data points
  static constexpr unsigned kBenchmarkSizeMessage = msg::kDataPointsTooMany;
  static constexpr int kTextPrecision = 15;
  static constexpr Element kRandomUnit = 0x1.0002000400080p-15;  // the double nearest to 1/32767
  static constexpr Element kBestErrorStart = DBL_MAX;

  static bool networkFits(std::uint32_t h, std::uint32_t w) {
    return static_cast<std::uint64_t>(h) * w <= 536870910u;
  }
  static constexpr bool separateRows(std::uint32_t) { return false; }

  // One row per double lane: sixteen down to four rows a sweep with AVX2,
  // then two (SSE2, also all that a processor without AVX2 takes), when the
  // rows are long enough to pay for the transposes.
  struct Avx2Lanes {
    static constexpr int kWidestGroup = 16;
    static constexpr int kNarrowestGroup = 2;
    static constexpr std::uint32_t kMinimumWidth = 8;
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(double* const* rows, const double* d, const double* x,
                                                            const double* next, double bias, std::uint32_t w,
                                                            double* sums) {
      if constexpr (kRows == 2) {
        double_kernels::updateAndSumTwoRows(rows, d, x, next, bias, w, sums);
      } else {
        constexpr int kStep = kRows >= 8 ? 8 : 4;
        for (int k = 0; k < kRows; k += kStep) {
          double_kernels::updateAndSumRows<kStep / 4>(rows + k, d + k, x, next, bias, w, sums + k);
        }
      }
    }
  };
  struct Sse2Lanes {
    static constexpr int kWidestGroup = 2;
    static constexpr int kNarrowestGroup = 2;
    static constexpr std::uint32_t kMinimumWidth = 8;
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(double* const* rows, const double* d, const double* x,
                                                            const double* next, double bias, std::uint32_t w,
                                                            double* sums) {
      double_kernels::updateAndSumTwoRows(rows, d, x, next, bias, w, sums);
    }
  };
};

}  // namespace engine
