#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "kernels/double_kernels.h"
#include "kernels/lane_driver.h"
#include "kernels/sample_lanes.h"
#include "model/network_math.h"
#include "run/result_codes.h"

namespace engine {

// nndouble: the reference arithmetic with every stored value a double. The
// sums, their order and the places where values are stored are the
// reference's; only the width of the stores differs.
struct DoubleBuild : sample_lanes::Kernels<double> {
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

  // One row per lane. With AVX2 the rows go in groups of sixteen, eight and
  // four, each kept interleaved as one block during the pass, four rows to a
  // register (so up to four chains overlap) and the logistics of a group
  // together; two rows left over share an SSE2 register, as all rows do on a
  // processor without AVX2. Rows too short to pay for the set-up go row by row.
  struct Avx2Lanes {
    static constexpr int kWidestGroup = 16;
    static constexpr int kNarrowestGroup = 2;
    static constexpr std::uint32_t kMinimumWidth = 8;
    static constexpr int kInterleavedRows = 4;
    static constexpr bool kInterleaveWholeGroups = true;
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(double* const* rows, const double* d,
                                                            const double* x, const double* next,
                                                            double bias, std::uint32_t w,
                                                            double* sums) {
      if constexpr (kRows == 2) {
        double_kernels::updateAndSumTwoRows(rows, d, x, next, bias, w, sums);
      } else {
        double_kernels::updateAndSumInterleaved<kRows / 4>(rows[0], d, x, next, bias, w, sums);
      }
    }
  };
  struct Sse2Lanes {
    static constexpr int kWidestGroup = 2;
    static constexpr int kNarrowestGroup = 2;
    static constexpr std::uint32_t kMinimumWidth = 8;
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(double* const* rows, const double* d,
                                                            const double* x, const double* next,
                                                            double bias, std::uint32_t w,
                                                            double* sums) {
      double_kernels::updateAndSumTwoRows(rows, d, x, next, bias, w, sums);
    }
  };
};

}  // namespace engine
