#pragma once
#include <cstdint>

namespace engine {

// The run's pseudo-random sequence: a linear congruential generator whose
// draws are 15-bit integers. Seeded with 1 it yields 41, 18467, 6334, 26500, ...
class RandomGenerator {
 public:
  explicit RandomGenerator(std::uint32_t seed) : state_(seed) {}

  // An integer from 0 to 32767.
  int draw() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 32767u);
  }

  // draw × unit, rounded to the element type: a value in [0, 1].
  template <class Element>
  Element unitValue(Element unit) {
    return static_cast<Element>(static_cast<Element>(draw()) * unit);
  }

 private:
  std::uint32_t state_;
};

}  // namespace engine
