#pragma once
#include <cstdint>

#include "model/aligned_buffer.h"
#include "model/random_generator.h"

namespace engine {

// The linear output unit: H input weights, a bias of −H that is never trained
// or stored, and the run's learning rate.
template <class Build>
struct OutputNeuron {
  using Element = typename Build::Element;

  std::uint32_t inputCount = 0;
  double learningRate = 0.0;
  AlignedBuffer<Element> weights;
  Element bias = 0;

  // Stores both, draws the H weights in index order and sets the bias; false
  // when the weights cannot be allocated (nothing is drawn then).
  bool construct(std::uint32_t inputs, double rate, RandomGenerator& random) {
    inputCount = inputs;
    learningRate = rate;
    if (weights.allocate(inputs, Build::kAlignment)) {
      for (std::uint32_t i = 0; i < inputs; ++i)
        weights[i] = random.unitValue<Element>(Build::kRandomUnit);
    }
    bias = static_cast<Element>(-static_cast<double>(inputs));
    return weights.allocated();
  }

  // The prediction for hidden outputs z, unrounded.
  double evaluate(const Element* z) const {
    return Build::evaluate(bias, z, weights.data(), inputCount);
  }

  // One delta-rule step towards `target`; writes the back signals and returns
  // the prediction made before the update.
  double trainStep(const Element* z, Element target, Element* backSignals) {
    return Build::trainOutput(bias, z, weights.data(), backSignals, inputCount, learningRate,
                              target);
  }
};

}  // namespace engine
