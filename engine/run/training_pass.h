#pragma once
#include <cstdint>

#include "kernels/instruction_set.h"
#include "kernels/interleaved_rows.h"
#include "kernels/lane_driver.h"
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
  std::uint32_t interleaved = 0;
  if constexpr (kInterleavedRowsOf < Lanes >> 0) {
    constexpr int kGroup = kInterleavedRowsOf<Lanes>;
    if (w >= Lanes::kMinimumWidth && n > w + 1) interleaved = net.h / kGroup * kGroup;
    for (std::uint32_t r = 0; r < interleaved; r += kGroup) {
      interleaveRows<kGroup, kInterleavedChunkOf<Lanes>>(net.hiddenWeights.row(r), w,
                                                         net.interleaveScratch.data());
    }
  }
  for (std::uint32_t j = w; j < n; ++j) {
    const Element* x = series.window(j - w);
    const double y = net.output.trainStep(z, targets[j], back);
    // backSignals becomes the rows' factors d in place: nothing reads the
    // back signals after this.
    for (std::uint32_t r = 0; r < net.h; ++r) {
      back[r] = static_cast<Element>(
          hiddenFactor(static_cast<double>(z[r]), static_cast<double>(back[r])));
    }
    const bool last = j + 1 == n;
    if constexpr (kInterleavedRowsOf < Lanes >> 0) {
      constexpr int kGroup = kInterleavedRowsOf<Lanes>;
      for (std::uint32_t r = 0; last && r < interleaved; r += kGroup) {
        restoreRows<kGroup, kInterleavedChunkOf<Lanes>>(net.hiddenWeights.row(r), w,
                                                        net.interleaveScratch.data());
      }
    }
    // Every other sample sweeps the rows the other way round, so that it
    // starts on the rows the sample before left in the cache: with weights
    // beyond the cache's size that spares a good part of the reads from the
    // next level.
    stepHiddenLayer<Build, Lanes>(net, back, x, last ? nullptr : series.window(j + 1 - w),
                                  (j - w) % 2 == 1);
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
  if constexpr (kInterleavedRowsOf < Lanes >> 0) {
    // Rows that cannot be rearranged (no room for it, or a width that is no
    // whole number of chunks) take the lane kernels for rows as stored.
    if (net.h >= kInterleavedRowsOf<Lanes> &&
        (!net.interleaveScratch.allocated() || net.w % kInterleavedChunkOf<Lanes> != 0)) {
      return passWithLanes<Build, typename RowLanesOf<Build>::type>(net, series);
    }
  }
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
