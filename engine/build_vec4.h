#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "fused_step.h"
#include "network_math.h"
#include "result_codes.h"
#include "vec4_kernels.h"
#include "vec4_reference.h"

namespace engine {

// nnvec4: single precision on four-lane vectors. Every buffer starts on a
// 16-byte boundary; four shifted copies of the series let every window start
// on one, and rows whose width is not a multiple of 4 get buffers of their
// own so that each row starts on one too.
struct Vec4Build {
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

  // The arithmetic stated one value at a time; the fast kernels below equal it.
  struct Reference {
    static double hiddenSum(Element bias, const Element* x, const Element* w, std::uint32_t n) {
      return vec4_reference::dot(bias, x, w, n);
    }
    static double trainOutput(Element bias, const Element* z, Element* w, Element* back, std::uint32_t n,
                              double learningRate, Element target) {
      return vec4_reference::trainOutput(bias, z, w, back, n, learningRate, target);
    }
    static void updateHidden(Element d, const Element* x, Element* row, std::uint32_t n) {
      vec4_reference::updateHidden(d, x, row, n);
    }
  };

  static double hiddenSum(Element bias, const Element* x, const Element* w, std::uint32_t n) {
    return vec4_kernels::dot(bias, x, w, n);
  }
  static double evaluate(Element bias, const Element* z, const Element* w, std::uint32_t n) {
    return vec4_kernels::dot(bias, z, w, n);
  }
  static double trainOutput(Element bias, const Element* z, Element* w, Element* back, std::uint32_t n,
                            double learningRate, Element target) {
    return vec4_kernels::trainOutput(bias, z, w, back, n, learningRate, target);
  }
  static void updateHidden(Element d, const Element* x, Element* row, std::uint32_t n) {
    vec4_kernels::updateHidden(d, x, row, n);
  }

  // Each row's update fused with the next window's sum (AVX2), two rows at a
  // time; without AVX2 the SSE kernels take the two sweeps one after the other.
  static constexpr bool kFusedHiddenStep = true;

  // kRows rows from row r through the two-row kernel, then their hidden
  // outputs together.
  template <int kRows, class Net>
  static void stepRows(Net& net, std::uint32_t r, const Element* d, const Element* x, const Element* next) {
    double sums[kRows];
    double z[kRows];
    for (int k = 0; k < kRows; k += 2) {
      vec4_kernels::updateAndSumTwoRows(net.hiddenWeights.row(r + k), net.hiddenWeights.row(r + k + 1), d[r + k],
                                        d[r + k + 1], x, next, net.hiddenBias, net.w, sums + k);
    }
    logisticInLanes<kRows>(sums, z);
    for (int k = 0; k < kRows; ++k) net.hiddenOutputs[r + k] = static_cast<Element>(z[k]);
  }

  template <class Net>
  static void stepHiddenLayer(Net& net, const Element* d, const Element* x, const Element* next) {
    // Rows shorter than a block gain nothing from the wide registers; the
    // SSE kernels inline into the pass instead.
    if (next == nullptr || net.w < 16 || !vec4_kernels::haveAvx2()) {
      stepHiddenRowByRow<Vec4Build>(net, d, x, next, 0);
      return;
    }
    std::uint32_t r = 0;
    // Sixteen, eight, four or two rows at a time, two per sweep, so that
    // their logistics fill several vector registers at once.
    for (; r + 16 <= net.h; r += 16) stepRows<16>(net, r, d, x, next);
    for (; r + 8 <= net.h; r += 8) stepRows<8>(net, r, d, x, next);
    for (; r + 4 <= net.h; r += 4) stepRows<4>(net, r, d, x, next);
    for (; r + 2 <= net.h; r += 2) stepRows<2>(net, r, d, x, next);
    for (; r < net.h; ++r) {
      const double a = vec4_kernels::updateAndSum(net.hiddenWeights.row(r), d[r], x, next, net.hiddenBias, net.w);
      net.hiddenOutputs[r] = static_cast<Element>(logistic(a));
    }
  }
};

}  // namespace engine
