#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "fused_step.h"
#include "network_math.h"
#include "result_codes.h"
#include "scalar_kernels.h"
#include "single_kernels.h"

namespace engine {

// nnsingle, the reference build: single-precision values, double-precision
// sums, plain scalar kernels that state the arithmetic; the fused hidden step
// gives their numbers with rows in vector lanes. The other builds differ from
// it only in what this structure names.
struct SingleBuild : scalar::Kernels<float> {
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

  // Each row's update fused with the next window's sum, one row per double
  // lane: eight or four rows at a time when the processor has AVX2, two at a
  // time otherwise, when the rows are long enough to pay for the transposes;
  // an odd last row goes alone on the kernels above.
  static constexpr bool kFusedHiddenStep = true;

  struct Lanes {
    static constexpr std::uint32_t kMinimumWidth = 8;
    static constexpr auto eightRows = &single_kernels::updateAndSumRows<2>;
    static constexpr auto fourRows = &single_kernels::updateAndSumRows<1>;
    static constexpr auto twoRowsWide = &single_kernels::updateAndSumTwoRowsWide;
    static constexpr auto twoRows = &single_kernels::updateAndSumTwoRows;
  };

  template <class Net>
  static void stepHiddenLayer(Net& net, const Element* d, const Element* x, const Element* next) {
    stepHiddenLayerInDoubleLanes<SingleBuild, Lanes>(net, d, x, next);
  }
};

}  // namespace engine
