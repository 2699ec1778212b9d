#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "kernels/double_lane_sets.h"
#include "kernels/lane_driver.h"
#include "kernels/sample_lanes.h"
#include "kernels/single_kernels.h"
#include "model/network_math.h"
#include "model/result_codes.h"

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
    return static_cast<std::uint64_t>(h) * w <= kSeriesLimit;
  }
  static constexpr bool separateRows(std::uint32_t) { return false; }

  // The rows in double lanes (double_lane_sets.h) with this build's kernels.
  using Avx2Lanes = DoubleLaneSets<SingleKernels>::Avx2Lanes;
  using Sse2Lanes = DoubleLaneSets<SingleKernels>::Sse2Lanes;
};

}  // namespace engine
