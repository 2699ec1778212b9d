#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "kernels/double_kernels.h"
#include "kernels/double_lane_sets.h"
#include "kernels/lane_driver.h"
#include "kernels/sample_lanes.h"
#include "model/network_math.h"
#include "model/result_codes.h"

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
    return static_cast<std::uint64_t>(h) * w <= kSeriesLimit;
  }
  static constexpr bool separateRows(std::uint32_t) { return false; }

  // The rows in double lanes (double_lane_sets.h) with this build's kernels.
  using Avx2Lanes = DoubleLaneSets<DoubleKernels>::Avx2Lanes;
  using Sse2Lanes = DoubleLaneSets<DoubleKernels>::Sse2Lanes;
};

}  // namespace engine
