#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "result_codes.h"
#include "scalar_kernels.h"

namespace engine {

// nnsingle, the reference build: single-precision values, double-precision
// sums, plain scalar kernels. The other builds differ from it only in what
// this structure names.
struct SingleBuild {
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

  // bias + Σ x·w over a window; unrounded.
  static double hiddenSum(Element bias, const Element* x, const Element* w, std::uint32_t n) {
    return scalar::dot<Element>(bias, x, w, n);
  }
  // The output neuron's prediction for Generate; unrounded.
  static double evaluate(Element bias, const Element* z, const Element* w, std::uint32_t n) {
    return scalar::dot<Element>(bias, z, w, n);
  }
  static double trainOutput(Element bias, const Element* z, Element* w, Element* back, std::uint32_t n,
                            double learningRate, Element target) {
    return scalar::trainOutput<Element>(bias, z, w, back, n, learningRate, target);
  }
  static void updateHidden(Element d, const Element* x, Element* row, std::uint32_t n) {
    scalar::updateHidden<Element>(d, x, row, n);
  }
};

}  // namespace engine
