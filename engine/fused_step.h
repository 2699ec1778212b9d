#pragma once
#include <cstdint>

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

// Runs a lane kernel on kRows rows from row r: each row takes its update and
// its sum over the next window, then its hidden output is stored.
template <int kRows, class Net, class Element, class LaneKernel>
void stepRowsInLanes(Net& net, std::uint32_t r, const Element* d, const Element* x, const Element* next,
                     LaneKernel kernel) {
  Element* rows[kRows];
  double sums[kRows];
  for (int k = 0; k < kRows; ++k) rows[k] = net.hiddenWeights.row(r + k);
  kernel(rows, d + r, x, next, net.hiddenBias, net.w, sums);
  for (int k = 0; k < kRows; ++k) net.hiddenOutputs[r + k] = static_cast<Element>(logistic(sums[k]));
}

}  // namespace engine
