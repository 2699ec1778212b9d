#pragma once
#include <cstdint>

#include "kernels/exponential.h"
#include "kernels/interleaved_rows.h"
#include "kernels/sample_lanes.h"
#include "model/network_math.h"

namespace engine {

// The hidden step of one sample, row by row with the build's own kernels:
// every row takes d[r]·x; when `next` is given, hidden output r is then
// computed on that window. The rows the lane kernels leave go this way, and
// the tests compare the lane kernels with it.
template <class Build, class Net>
__attribute__((always_inline)) inline void stepHiddenRowByRow(Net& net,
                                                              const typename Build::Element* d,
                                                              const typename Build::Element* x,
                                                              const typename Build::Element* next,
                                                              std::uint32_t firstRow) {
  using Element = typename Build::Element;
  std::uint32_t r = firstRow;
  if (next != nullptr) {
    // Four rows at a time, their logistics together in lanes (the same
    // values): four exponentials' long chains overlap in fewer steps.
    for (; r + 4 <= net.h; r += 4) {
      double sums[4];
      double z[4];
#pragma GCC unroll 4
      for (int k = 0; k < 4; ++k) {
        Element* row = net.hiddenWeights.row(r + k);
        Build::updateHidden(d[r + k], x, row, net.w);
        sums[k] = Build::hiddenSum(net.hiddenBias, next, row, net.w);
      }
      exponential_lanes::logisticOfMany<4>(sums, z);
#pragma GCC unroll 4
      for (int k = 0; k < 4; ++k) net.hiddenOutputs[r + k] = static_cast<Element>(z[k]);
    }
  }
  for (; r < net.h; ++r) {
    Element* row = net.hiddenWeights.row(r);
    Build::updateHidden(d[r], x, row, net.w);
    if (next != nullptr) {
      net.hiddenOutputs[r] =
          static_cast<Element>(logistic(Build::hiddenSum(net.hiddenBias, next, row, net.w)));
    }
  }
}

// What a build states for one instruction set (a "lane set"), and the one
// driver that runs it. A lane set names:
//   kWidestGroup, kNarrowestGroup  rows per group, powers of two from at most
//                                  16 down; kWidestGroup 0: no lane kernels
//   kMinimumWidth                  rows shorter than this go row by row: the
//                                  kernels' set-up would not pay
//   kShortRowsFromHeight           (optional) ... unless the network has at
//                                  least this many rows: then their sums and
//                                  logistics side by side pay even for short rows
//   updateAndSum<kRows>(rows, d, x, next, bias, w, sums)
//                                  each of kRows rows takes its update d·x,
//                                  then sums[k] = its hidden sum over `next`
//                                  with the new weights, as the build rounds it
//   updateAndSumOne(row, d, x, next, bias, w)  (optional) the same for one
//                                  row, for the rows left after the groups
//   kInterleavedRows               (optional) the groups of this many rows or
//                                  more find their rows interleaved by the
//                                  pass (interleaved_rows.h); rows[k] for k a
//                                  multiple of it is a group's start
//   kInterleavedChunk              (optional) how many weights of a row stay
//                                  together in the interleaved order (1)
//   kInterleaveWholeGroups         (optional) each such group is interleaved
//                                  whole: rows[0] is its one block
//   kWideWindows                   (optional) updateAndSum takes x and next
//                                  widened to double
// A row's new weights are final once its own update is done, so updating a
// row and summing it for the next sample in one sweep reads it once per
// sample and gives the results of two sweeps.
// Whether a network of h rows of w weights takes the lane set's kernels.
template <class Lanes>
constexpr bool laneKernelsTake(std::uint32_t h, std::uint32_t w) {
  if constexpr (requires { Lanes::kShortRowsFromHeight; }) {
    if (h >= Lanes::kShortRowsFromHeight) return true;
  }
  return w >= Lanes::kMinimumWidth;
}

struct NoLanes {
  static constexpr int kWidestGroup = 0;
  static constexpr int kNarrowestGroup = 0;
  static constexpr std::uint32_t kMinimumWidth = 0;
};

// The two windows of a sample as the lane kernels read them.
template <class Element>
struct Windows {
  const Element* x;
  const Element* next;
  const double* wideX;
  const double* wideNext;
};

// kRows rows from row r through the lane set, then their logistics together:
// the more values one call takes, the more of the exponential's long chain
// of dependent steps overlaps.
template <class Lanes, int kRows, class Net, class Element>
__attribute__((always_inline)) inline void stepRowGroup(Net& net, std::uint32_t r, const Element* d,
                                                        const Windows<Element>& windows) {
  Element* rows[kRows];
  double sums[kRows];
  double z[kRows];
  for (int k = 0; k < kRows; ++k) rows[k] = net.hiddenWeights.row(r + k);
  if constexpr (kWideWindowsOf<Lanes>) {
    Lanes::template updateAndSum<kRows>(rows, d + r, windows.wideX, windows.wideNext,
                                        net.hiddenBias, net.w, sums);
  } else {
    Lanes::template updateAndSum<kRows>(rows, d + r, windows.x, windows.next, net.hiddenBias, net.w,
                                        sums);
  }
  exponential_lanes::logisticOfMany<kRows>(sums, z);
  sample_lanes::convert(z, net.hiddenOutputs.data() + r, kRows);
}

// Groups of kRows rows while they last, then the next smaller groups. The
// rows are independent, so the widest groups may also go from the last to
// the first (backwards).
template <class Lanes, int kRows, class Net, class Element>
__attribute__((always_inline)) inline void stepGroupsFrom(Net& net, std::uint32_t& r,
                                                          const Element* d,
                                                          const Windows<Element>& windows,
                                                          bool backwards = false) {
  if (backwards) {
    const std::uint32_t groups = (net.h - r) / kRows;
    for (std::uint32_t g = groups; g-- > 0;)
      stepRowGroup<Lanes, kRows>(net, r + g * kRows, d, windows);
    r += groups * kRows;
  }
  for (; r + kRows <= net.h; r += kRows) stepRowGroup<Lanes, kRows>(net, r, d, windows);
  if constexpr (kRows / 2 >= Lanes::kNarrowestGroup)
    stepGroupsFrom<Lanes, kRows / 2>(net, r, d, windows);
}

// Every hidden row's step for one sample: d, the rows' factors; x, this
// sample's window; next, the next sample's window, or null after the last;
// wideX and wideNext, the same widened to double for lane sets that read
// them so (kWideWindows), else unused. backwards: the widest groups from the
// last to the first (the order of the rows changes no result).
template <class Build, class Lanes, class Net>
__attribute__((always_inline)) inline void stepHiddenLayer(
    Net& net, const typename Build::Element* d, const typename Build::Element* x,
    const typename Build::Element* next, const double* wideX, const double* wideNext,
    bool backwards = false) {
  using Element = typename Build::Element;
  std::uint32_t r = 0;
  if constexpr (Lanes::kWidestGroup > 0) {
    if (next != nullptr && laneKernelsTake<Lanes>(net.h, net.w)) {
      const Windows<Element> windows{x, next, wideX, wideNext};
      stepGroupsFrom<Lanes, Lanes::kWidestGroup>(net, r, d, windows, backwards);
      if constexpr (requires { Lanes::updateAndSumOne; }) {
        for (; r < net.h; ++r) {
          const double a = Lanes::updateAndSumOne(net.hiddenWeights.row(r), d[r], x, next,
                                                  net.hiddenBias, net.w);
          net.hiddenOutputs[r] = static_cast<Element>(logistic(a));
        }
      }
    }
  }
  stepHiddenRowByRow<Build>(net, d, x, next, r);
}

}  // namespace engine
