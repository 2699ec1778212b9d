#pragma once
#include <cstdint>
#include <type_traits>

#include "kernels/instruction_set.h"
#include "kernels/interleaved_rows.h"
#include "kernels/lane_driver.h"
#include "kernels/sample_lanes.h"
#include "model/network.h"
#include "model/network_math.h"
#include "model/series.h"

namespace engine {

// The pass keeps the largest sample error: e replaces it, rounded to the
// element type, only when e is greater (an error that is not a number never does).
template <class Element>
inline void keepLargestError(Element& passError, double y, Element target) {
  const double e = sampleError(y, static_cast<double>(target));
  if (e > static_cast<double>(passError)) passError = static_cast<Element>(e);
}

// Calls f(first row, std::integral_constant<int, rows>) for every group of
// rows the lane set keeps interleaved, in the order the driver steps them:
// groups of kRows while they last, then the next smaller groups, down to the
// lane set's kInterleavedRows (its groups of that size, when not whole).
template <class Lanes, int kRows, class F>
void forEachInterleavedGroup(std::uint32_t h, std::uint32_t r, F&& f) {
  for (; r + kRows <= h; r += kRows) f(r, std::integral_constant<int, kRows>{});
  if constexpr (kRows / 2 >= kInterleavedRowsOf<Lanes> && kRows / 2 >= Lanes::kNarrowestGroup)
    forEachInterleavedGroup<Lanes, kRows / 2>(h, r, f);
}

// Interleaves (or, with kRestore, restores) the rows of every such group.
template <class Lanes, bool kRestore, class Net>
void rearrangeGroups(Net& net) {
  constexpr int kFirst =
      kInterleavesWholeGroupsOf<Lanes> ? Lanes::kWidestGroup : kInterleavedRowsOf<Lanes>;
  if constexpr (kFirst > 0) {
    constexpr std::uint32_t kChunk = kInterleavedChunkOf<Lanes>;
    forEachInterleavedGroup<Lanes, kFirst>(net.h, 0, [&net](std::uint32_t r, auto rows) {
      auto* group = net.hiddenWeights.row(r);
      auto* scratch = net.interleaveScratch.data();
      if constexpr (kRestore) {
        restoreRows<decltype(rows)::value, kChunk>(group, net.w, scratch);
      } else {
        interleaveRows<decltype(rows)::value, kChunk>(group, net.w, scratch);
      }
    });
  }
}

// One pass over the series with one lane set: for every target index j from
// W to N−1, in order, the hidden units see the window series[j−W .. j−1], the
// output neuron takes its delta-rule step towards series[j], then each hidden
// row takes its step. The hidden outputs of each sample after the first come
// from the previous sample's hidden step, which sums every updated row over
// the next window. Returns the largest sample error of the pass, measured
// with each sample's prediction before its own update. This is the hot path:
// no allocation, no I/O, no virtual call.
template <class Build, class Lanes>
__attribute__((always_inline)) inline typename Build::Element passWithLanes(
    Network<Build>& net, const Series<Build>& series) {
  using Element = typename Build::Element;
  const std::uint32_t w = net.w;
  const std::uint32_t n = series.size();
  const Element* targets = series.values();
  Element* z = net.hiddenOutputs.data();
  Element* back = net.backSignals.data();
  Element passError = 0;
  if (n <= w) return passError;
  net.computeHidden(series.window(0));
  // The rows the lane groups take are interleaved for the samples that sum
  // over a next window, and restored before the last sample's update.
  const bool interleaved =
      kInterleavedRowsOf<Lanes> > 0 && laneKernelsTake<Lanes>(net.h, w) && n > w + 1;
  if (interleaved) rearrangeGroups<Lanes, false>(net);
  // Lanes that read wide windows find sample j's in slot (j − W) mod 2 and
  // the next sample's in the other; each window is widened once.
  double* wide[2] = {nullptr, nullptr};
  const bool widen = kWideWindowsOf<Lanes> && interleaved && net.h >= Lanes::kNarrowestGroup;
  if (widen) {
    wide[0] = net.wideWindows.data();
    wide[1] = wide[0] + w;
    sample_lanes::convert(series.window(0), wide[0], w);
  }
  for (std::uint32_t j = w; j < n; ++j) {
    const Element* x = series.window(j - w);
    const double y = net.output.trainStep(z, targets[j], back);
    // backSignals becomes the rows' factors d in place: nothing reads the
    // back signals after this.
    sample_lanes::hiddenFactors(z, back, net.h);
    const bool last = j + 1 == n;
    if (last && interleaved) rearrangeGroups<Lanes, true>(net);
    const Element* next = last ? nullptr : series.window(j + 1 - w);
    const double* wideX = wide[(j - w) & 1];
    double* wideNext = wide[(j - w + 1) & 1];
    if (widen && next != nullptr) sample_lanes::convert(next, wideNext, w);
    // Every other sample sweeps the rows the other way round, so that it
    // starts on the rows the sample before left in the cache: with weights
    // beyond the cache's size that spares a good part of the reads from the
    // next level.
    stepHiddenLayer<Build, Lanes>(net, back, x, next, wideX, wideNext, (j - w) % 2 == 1);
    keepLargestError(passError, y, targets[j]);
  }
  return passError;
}

// The AVX2 lane kernels of a build for rows as stored; without such, SSE2's.
template <class Build>
struct RowLanesOf {
  using type = typename Build::Sse2Lanes;
};
template <class Build>
requires requires { typename Build::Avx2RowLanes; }
struct RowLanesOf<Build> {
  using type = typename Build::Avx2RowLanes;
};

// The pass compiled for each instruction set as a whole, so that everything
// in it (the builds' SSE kernels too) is encoded alike and inlines together.
template <class Build>
__attribute__((target("avx2"))) typename Build::Element passWithAvx2(Network<Build>& net,
                                                                     const Series<Build>& series) {
  using Lanes = typename Build::Avx2Lanes;
  // Rows that cannot be rearranged (no room for it, or a width that is no
  // whole number of chunks), or windows that have no room to be widened in,
  // take the lane kernels for rows as stored.
  bool asStored = false;
  if constexpr ((kInterleavedRowsOf<Lanes>) > 0) {
    asStored = net.h >= kInterleavedRowsOf<Lanes> &&
               (!net.interleaveScratch.allocated() || net.w % kInterleavedChunkOf<Lanes> != 0);
  }
  if constexpr (kWideWindowsOf<Lanes>) asStored = asStored || !net.wideWindows.allocated();
  if (asStored) return passWithLanes<Build, typename RowLanesOf<Build>::type>(net, series);
  return passWithLanes<Build, Lanes>(net, series);
}
template <class Build>
typename Build::Element passWithSse2(Network<Build>& net, const Series<Build>& series) {
  return passWithLanes<Build, typename Build::Sse2Lanes>(net, series);
}

// One pass on the instruction set the network was given when the run started.
template <class Build>
typename Build::Element trainPass(Network<Build>& net, const Series<Build>& series) {
  if (net.instructionSet == InstructionSet::kAvx2) return passWithAvx2(net, series);
  return passWithSse2(net, series);
}

}  // namespace engine
