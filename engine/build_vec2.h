#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "fused_step.h"
#include "network_math.h"
#include "result_codes.h"
#include "vec2_kernels.h"
#include "vec2_reference.h"

namespace engine {

// nnvec2: single precision on pairs. Every buffer starts on an 8-byte
// boundary, and a second copy of the series, shifted by one, lets every
// window start on one. Sums are formed in float pair by pair; the hidden sums
// and the training step's output are rounded to float.
struct Vec2Build {
  using Element = float;
  static constexpr const char* kName = "nnvec2";

  static constexpr std::size_t kAlignment = 8;
  static constexpr unsigned kSeriesCopies = 2;
  static constexpr std::uint32_t kSeriesLimit = 1073741820;  // lines of a file, data points
  static constexpr unsigned kBenchmarkSizeMessage = msg::kSeriesTooLarge;
  static constexpr int kTextPrecision = 6;
  static constexpr Element kRandomUnit = 0x8001p-30f;  // the float nearest to 1/32767
  static constexpr Element kBestErrorStart = FLT_MAX;

  static bool networkFits(std::uint32_t h, std::uint32_t w) {
    return static_cast<std::uint64_t>(h) * w <= 1073741820u;
  }
  static constexpr bool separateRows(std::uint32_t) { return false; }

  // The arithmetic stated one value at a time; the fast kernels below equal it.
  struct Reference {
    static double hiddenSum(Element bias, const Element* x, const Element* w, std::uint32_t n) {
      return static_cast<float>(vec2_reference::dot(bias, x, w, n));
    }
    static double trainOutput(Element bias, const Element* z, Element* w, Element* back, std::uint32_t n,
                              double learningRate, Element target) {
      return vec2_reference::trainOutput(bias, z, w, back, n, learningRate, target);
    }
    static void updateHidden(Element d, const Element* x, Element* row, std::uint32_t n) {
      vec2_reference::updateHidden(d, x, row, n);
    }
  };

  // The hidden sum is rounded to float before the logistic, also for odd W.
  static double hiddenSum(Element bias, const Element* x, const Element* w, std::uint32_t n) {
    return static_cast<float>(vec2_kernels::dot(bias, x, w, n));
  }
  // Unrounded for an odd H: Generate writes this value as it is.
  static double evaluate(Element bias, const Element* z, const Element* w, std::uint32_t n) {
    return vec2_kernels::dot(bias, z, w, n);
  }
  static double trainOutput(Element bias, const Element* z, Element* w, Element* back, std::uint32_t n,
                            double learningRate, Element target) {
    return vec2_kernels::trainOutput(bias, z, w, back, n, learningRate, target);
  }
  static void updateHidden(Element d, const Element* x, Element* row, std::uint32_t n) {
    vec2_kernels::updateHidden(d, x, row, n);
  }

  // Each row's update fused with the next window's sum (AVX2); without AVX2
  // the SSE kernels take the two sweeps one after the other.
  static constexpr bool kFusedHiddenStep = true;

  // kRows rows from row r through the four-row kernel, then their hidden
  // outputs together (AVX2 only).
  template <int kRows, class Net>
  static void stepRows(Net& net, std::uint32_t r, const Element* d, const Element* x, const Element* next) {
    float* rows[kRows];
    double sums[kRows];
    double z[kRows];
    for (int k = 0; k < kRows; ++k) rows[k] = net.hiddenWeights.row(r + k);
    for (int k = 0; k < kRows; k += 4) {
      vec2_kernels::updateAndSumFourRows(rows + k, d + r + k, x, next, net.hiddenBias, net.w, sums + k);
    }
    for (int k = 0; k < kRows; ++k) sums[k] = static_cast<float>(sums[k]);
    logisticInLanes<kRows>(sums, z);
    for (int k = 0; k < kRows; ++k) net.hiddenOutputs[r + k] = static_cast<Element>(z[k]);
  }

  template <class Net>
  static void stepHiddenLayer(Net& net, const Element* d, const Element* x, const Element* next) {
    // Rows shorter than a block gain nothing from the wide registers; the
    // SSE kernels inline into the pass instead.
    if (next == nullptr || net.w < 16 || !vec2_kernels::haveAvx2()) {
      stepHiddenRowByRow<Vec2Build>(net, d, x, next, 0);
      return;
    }
    std::uint32_t r = 0;
    // Sixteen, eight or four rows at a time, so that their logistics fill
    // several 256-bit registers at once.
    for (; r + 16 <= net.h; r += 16) stepRows<16>(net, r, d, x, next);
    for (; r + 8 <= net.h; r += 8) stepRows<8>(net, r, d, x, next);
    for (; r + 4 <= net.h; r += 4) stepRows<4>(net, r, d, x, next);
    for (; r < net.h; ++r) {
      const float a = static_cast<float>(
          vec2_kernels::updateAndSum(net.hiddenWeights.row(r), d[r], x, next, net.hiddenBias, net.w));
      net.hiddenOutputs[r] = static_cast<Element>(logistic(a));
    }
  }
};

}  // namespace engine
