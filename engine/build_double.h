#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "double_kernels.h"
#include "fused_step.h"
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

  // Each row's update fused with the next window's sum. Rows go through the
  // lane kernels eight or four at a time when the processor has AVX2, two at
  // a time otherwise, when the rows are long enough to pay for the
  // transposes; an odd last row goes alone.
  static constexpr bool kFusedHiddenStep = true;

  struct Lanes {
    static constexpr std::uint32_t kMinimumWidth = 8;
    static constexpr auto eightRows = &double_kernels::updateAndSumRows<2>;
    static constexpr auto fourRows = &double_kernels::updateAndSumRows<1>;
    static constexpr auto twoRows = &double_kernels::updateAndSumTwoRows;
  };

  template <class Net>
  static void stepHiddenLayer(Net& net, const Element* d, const Element* x, const Element* next) {
    stepHiddenLayerInDoubleLanes<DoubleBuild, Lanes>(net, d, x, next);
  }
};

}  // namespace engine
