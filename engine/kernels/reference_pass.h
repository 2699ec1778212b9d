#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

#include "model/network_math.h"

namespace engine {

// The kernels that state a build's arithmetic plainly: Build::Reference when
// the build has fast kernels of its own, otherwise the build's kernels.
template <class Build>
struct ReferenceKernelsOf {
  using type = Build;
};
template <class Build>
requires requires { typename Build::Reference; }
struct ReferenceKernelsOf<Build> {
  using type = typename Build::Reference;
};

// One training pass written as the algorithm reads, sample by sample, with
// the build's reference kernels on plain arrays: hidden units, output step,
// hidden rows. The oracle of the tests and of the benchmark's validation.
template <class Build>
struct ReferencePass {
  using Element = typename Build::Element;
  using Kernels = typename ReferenceKernelsOf<Build>::type;

  std::uint32_t h = 0;
  std::uint32_t w = 0;
  Element hiddenBias = 0;
  Element outputBias = 0;
  double learningRate = 0.0;
  std::vector<Element> hidden;  // H rows of W
  std::vector<Element> output;
  std::vector<Element> z;
  std::vector<Element> back;

  // A copy of a network's weights.
  template <class Net>
  explicit ReferencePass(const Net& net)
      : h(net.h),
        w(net.w),
        hiddenBias(net.hiddenBias),
        outputBias(net.output.bias),
        learningRate(net.output.learningRate),
        output(net.output.weights.data(), net.output.weights.data() + net.h),
        z(net.h),
        back(net.h) {
    for (std::uint32_t r = 0; r < h; ++r)
      hidden.insert(hidden.end(), net.hiddenWeights.row(r), net.hiddenWeights.row(r) + w);
  }

  // Returns the pass error.
  Element pass(const Element* series, std::uint32_t n) {
    Element passError = 0;
    for (std::uint32_t j = w; j < n; ++j) {
      const Element* x = series + (j - w);
      for (std::uint32_t r = 0; r < h; ++r) {
        z[r] = static_cast<Element>(
            logistic(Kernels::hiddenSum(hiddenBias, x, &hidden[std::size_t{r} * w], w)));
      }
      const double y = Kernels::trainOutput(outputBias, z.data(), output.data(), back.data(), h,
                                            learningRate, series[j]);
      for (std::uint32_t r = 0; r < h; ++r) {
        const Element d = static_cast<Element>(
            hiddenFactor(static_cast<double>(z[r]), static_cast<double>(back[r])));
        Kernels::updateHidden(d, x, &hidden[std::size_t{r} * w], w);
      }
      const double e = sampleError(y, static_cast<double>(series[j]));
      if (e > static_cast<double>(passError)) passError = static_cast<Element>(e);
    }
    return passError;
  }
};

}  // namespace engine
