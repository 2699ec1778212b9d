#pragma once
#include <cstdint>

#include "cpu_features.h"
#include "exponential_lanes.h"
#include "network_math.h"

namespace engine {

// A build that names kFusedHiddenStep takes each hidden row's update and the
// next window's sum over that row in one sweep (Build::stepHiddenLayer): the
// row is read once per sample instead of twice. The results are those of
// updating every row first and then computing the next sample's hidden units,
// since a row's new weights are final once its own update is done.
template <class Build>
concept FusesHiddenStep = requires { Build::kFusedHiddenStep; };

// The plain form of the step, row by row with the build's own kernels: every
// row takes d[r]·x; when `next` is given, hidden output r is then computed on
// that window. The fast kernels fall back on it and the tests compare with it.
template <class Build, class Net>
void stepHiddenRowByRow(Net& net, const typename Build::Element* d, const typename Build::Element* x,
                        const typename Build::Element* next, std::uint32_t firstRow) {
  using Element = typename Build::Element;
  for (std::uint32_t r = firstRow; r < net.h; ++r) {
    Element* row = net.hiddenWeights.row(r);
    Build::updateHidden(d[r], x, row, net.w);
    if (next != nullptr) {
      net.hiddenOutputs[r] = static_cast<Element>(logistic(Build::hiddenSum(net.hiddenBias, next, row, net.w)));
    }
  }
}

// The logistic of kRows hidden sums in vector lanes, equal to logistic() of
// each. Four or more rows come only from the AVX2 lane kernels, so the
// 256-bit forms are safe there; two rows use SSE2. The more values one call
// takes, the more of the exponential's long chain of dependent steps overlaps.
template <int kRows>
void logisticInLanes(const double* sums, double* z) {
  static_assert(kRows == 2 || kRows == 4 || kRows == 8 || kRows == 16);
  if constexpr (kRows == 2) {
    exponential_lanes::logisticTwo(sums, z);
  } else if constexpr (kRows == 4) {
    exponential_lanes::logisticFourAvx2(sums, z);
  } else if constexpr (kRows == 8) {
    exponential_lanes::logisticEightAvx2(sums, z);
  } else {
    exponential_lanes::logisticSixteenAvx2(sums, z);
  }
}

// Runs a lane kernel of kKernelRows rows on kRows rows from row r: each row
// takes its update and its sum over the next window; then the hidden outputs
// of all kRows rows are computed together and stored.
template <int kRows, int kKernelRows = kRows, class Net, class Element, class LaneKernel>
void stepRowsInLanes(Net& net, std::uint32_t r, const Element* d, const Element* x, const Element* next,
                     LaneKernel kernel) {
  static_assert(kRows % kKernelRows == 0);
  Element* rows[kRows];
  double sums[kRows];
  double z[kRows];
  for (int k = 0; k < kRows; ++k) rows[k] = net.hiddenWeights.row(r + k);
  for (int k = 0; k < kRows; k += kKernelRows) kernel(rows + k, d + r + k, x, next, net.hiddenBias, net.w, sums + k);
  logisticInLanes<kRows>(sums, z);
  for (int k = 0; k < kRows; ++k) net.hiddenOutputs[r + k] = static_cast<Element>(z[k]);
}

// The hidden step of a build whose lane kernels hold one row per double lane
// (Lanes names them): sixteen, eight, four and two rows at a time with AVX2,
// two at a time with SSE2, when the rows are long enough to pay for the
// transposes; the rows left over go one by one on the build's own kernels.
template <class Build, class Lanes, class Net>
void stepHiddenLayerInDoubleLanes(Net& net, const typename Build::Element* d, const typename Build::Element* x,
                                  const typename Build::Element* next) {
  std::uint32_t r = 0;
  if (next != nullptr && net.w >= Lanes::kMinimumWidth) {
    if (haveAvx2()) {
      for (; r + 16 <= net.h; r += 16) stepRowsInLanes<16, 8>(net, r, d, x, next, Lanes::eightRows);
      for (; r + 8 <= net.h; r += 8) stepRowsInLanes<8>(net, r, d, x, next, Lanes::eightRows);
      for (; r + 4 <= net.h; r += 4) stepRowsInLanes<4>(net, r, d, x, next, Lanes::fourRows);
      if constexpr (requires { Lanes::twoRowsWide; }) {
        for (; r + 2 <= net.h; r += 2) stepRowsInLanes<2>(net, r, d, x, next, Lanes::twoRowsWide);
      }
    }
    for (; r + 2 <= net.h; r += 2) stepRowsInLanes<2>(net, r, d, x, next, Lanes::twoRows);
  }
  stepHiddenRowByRow<Build>(net, d, x, next, r);
}

}  // namespace engine
