#pragma once
#include <cstdint>

#include "fused_step.h"
#include "network.h"
#include "network_math.h"
#include "series.h"

namespace engine {

// The pass keeps the largest sample error: e replaces it, rounded to the
// element type, only when e is greater (an error that is not a number never does).
template <class Element>
inline void keepLargestError(Element& passError, double y, Element target) {
  const double e = sampleError(y, static_cast<double>(target));
  if (e > static_cast<double>(passError)) passError = static_cast<Element>(e);
}

// One pass over the series: for every target index j from W to N−1, in order,
// the hidden units see the window series[j−W .. j−1], the output neuron takes
// its delta-rule step towards series[j], then each hidden row takes its step.
// Returns the largest sample error of the pass, measured with each sample's
// prediction before its own update. This is the hot path: no allocation, no
// I/O, no virtual call.
template <class Build>
typename Build::Element trainPass(Network<Build>& net, const Series<Build>& series) {
  using Element = typename Build::Element;
  const std::uint32_t w = net.w;
  const std::uint32_t n = series.size();
  const Element* targets = series.values();
  Element* z = net.hiddenOutputs.data();
  Element* back = net.backSignals.data();
  Element passError = 0;
  if constexpr (FusesHiddenStep<Build>) {
    // The hidden outputs of each sample after the first come from the
    // previous sample's fused step; backSignals is turned into the rows'
    // factors d in place, as nothing reads the back signals after that.
    if (n <= w) return passError;
    net.computeHidden(series.window(0));
    for (std::uint32_t j = w; j < n; ++j) {
      const Element* x = series.window(j - w);
      const double y = net.output.trainStep(z, targets[j], back);
      for (std::uint32_t r = 0; r < net.h; ++r) {
        back[r] = static_cast<Element>(hiddenFactor(static_cast<double>(z[r]), static_cast<double>(back[r])));
      }
      Build::stepHiddenLayer(net, back, x, j + 1 < n ? series.window(j + 1 - w) : nullptr);
      keepLargestError(passError, y, targets[j]);
    }
    return passError;
  }
  for (std::uint32_t j = w; j < n; ++j) {
    const Element* x = series.window(j - w);
    net.computeHidden(x);
    const double y = net.output.trainStep(z, targets[j], back);
    for (std::uint32_t r = 0; r < net.h; ++r) {
      const Element d = static_cast<Element>(hiddenFactor(static_cast<double>(z[r]), static_cast<double>(back[r])));
      Build::updateHidden(d, x, net.hiddenWeights.row(r), w);
    }
    keepLargestError(passError, y, targets[j]);
  }
  return passError;
}

}  // namespace engine
