#pragma once
#include <cstdint>

// The reference arithmetic of a sample: every sum in index order at double
// precision, each value rounded to the element type only where it is stored.
// Products of two floats are exact in double, so the float build's sums differ
// from exact arithmetic only by the double roundings of the additions.
namespace engine::scalar {

// x, w: n values; returns start + x[0]·w[0] + x[1]·w[1] + ... in that order, unrounded.
template <class E>
inline double dot(double start, const E* x, const E* w, std::uint32_t n) {
  double a = start;
  for (std::uint32_t m = 0; m < n; ++m)
    a = a + static_cast<double>(x[m]) * static_cast<double>(w[m]);
  return a;
}

// g·w rounded to the element type. For floats the product of two floats is
// exact in double, so rounding it to float once is what a float
// multiplication does: the same value, without the two conversions on the
// path from the output's error to the hidden rows' factors.
template <class E>
inline E roundedProduct(E g, E w) {
  if constexpr (sizeof(E) == sizeof(float)) {
    return g * w;
  } else {
    return static_cast<E>(static_cast<double>(g) * static_cast<double>(w));
  }
}

// The output neuron's update of weights `from` to n − 1, one at a time: w = g·z + w,
// rounded, then back = g·w with the updated weight, rounded. The vector
// builds end their whole vectors with it.
template <class E>
inline void updateOutputFrom(E g, const E* z, E* w, E* back, std::uint32_t from, std::uint32_t n) {
  for (std::uint32_t i = from; i < n; ++i) {
    w[i] = static_cast<E>(static_cast<double>(g) * static_cast<double>(z[i]) +
                          static_cast<double>(w[i]));
    back[i] = roundedProduct(g, w[i]);
  }
}

// Output neuron step, z and w and back: n values. y = bias + Σ w·z (unrounded);
// g = (target − y) × learningRate, rounded; each weight w = g·z + w, rounded,
// then back = g·w with the updated weight, rounded. Returns y before the update.
template <class E>
inline double trainOutput(E bias, const E* z, E* w, E* back, std::uint32_t n, double learningRate,
                          E target) {
  const double y = dot<E>(bias, z, w, n);
  const E g = static_cast<E>((static_cast<double>(target) - y) * learningRate);
  updateOutputFrom<E>(g, z, w, back, 0, n);
  return y;
}

// Hidden row update, x and row: n values; row[m] = d·x[m] + row[m], each rounded.
template <class E>
inline void updateHidden(E d, const E* x, E* row, std::uint32_t n) {
  for (std::uint32_t m = 0; m < n; ++m) {
    row[m] = static_cast<E>(static_cast<double>(d) * static_cast<double>(x[m]) +
                            static_cast<double>(row[m]));
  }
}

// The four kernels of a build whose arithmetic is exactly the above.
template <class E>
struct Kernels {
  // bias + Σ x·w over a window, in index order; unrounded.
  static double hiddenSum(E bias, const E* x, const E* w, std::uint32_t n) {
    return dot<E>(bias, x, w, n);
  }
  // The output neuron's prediction for Generate; unrounded.
  static double evaluate(E bias, const E* z, const E* w, std::uint32_t n) {
    return dot<E>(bias, z, w, n);
  }
  static double trainOutput(E bias, const E* z, E* w, E* back, std::uint32_t n, double learningRate,
                            E target) {
    return scalar::trainOutput<E>(bias, z, w, back, n, learningRate, target);
  }
  static void updateHidden(E d, const E* x, E* row, std::uint32_t n) {
    scalar::updateHidden<E>(d, x, row, n);
  }
};

}  // namespace engine::scalar
