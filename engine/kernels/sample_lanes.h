#pragma once
#include <cstdint>
#include <cstring>

#include "kernels/scalar_kernels.h"
#include "model/network_math.h"

// The steps of a sample outside the sweep over the rows: the output weights'
// update with the back signals, and the hidden rows' factors. Each value is
// computed on its own (no sums), in double, and rounded to the element type
// where it is stored, so four at a time in double lanes give the plain
// loops' values. They lie on the path from one sample to the next, where
// every step saved counts for small networks.
namespace engine::sample_lanes {

using Doubles __attribute__((vector_size(32))) = double;

// Four elements widened (exact), and four doubles rounded to the element
// type and stored. Vectors pass by reference: by value they would change the
// calling convention between code with and without AVX.
template <class E>
__attribute__((always_inline)) inline void load(const E* p, Doubles& v) {
  if constexpr (sizeof(E) == sizeof(float)) {
    // Element by element: GCC makes one widening load of it where it can,
    // where a vector conversion gives two halves and a shuffle.
    v = Doubles{p[0], p[1], p[2], p[3]};
  } else {
    std::memcpy(&v, p, sizeof v);
  }
}
template <class E>
__attribute__((always_inline)) inline void store(E* p, Doubles& v) {
  if constexpr (sizeof(E) == sizeof(float)) {
    using Floats __attribute__((vector_size(16))) = float;
    const Floats f = __builtin_convertvector(v, Floats);
    std::memcpy(p, &f, sizeof f);
    v = Doubles{f[0], f[1], f[2], f[3]};  // the value as stored
  } else {
    std::memcpy(p, &v, sizeof v);
  }
}

// out[i] = in[i] rounded to the element type (the hidden outputs from their
// logistics), or widened (the windows for lanes that read doubles): n values.
template <class From, class To>
__attribute__((always_inline)) inline void convert(const From* in, To* out, std::uint32_t n) {
  std::uint32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    Doubles v;
    load(in + i, v);
    store(out + i, v);
  }
  for (; i < n; ++i) out[i] = static_cast<To>(in[i]);
}

// w = g·z + w, then back = g·w with the updated weight, each rounded where
// stored: the output neuron's update after its prediction.
template <class E>
__attribute__((always_inline)) inline void updateOutput(E g, const E* z, E* w, E* back,
                                                        std::uint32_t n) {
  const Doubles gv = Doubles{} + static_cast<double>(g);
  std::uint32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    Doubles zv, wv;
    load(z + i, zv);
    load(w + i, wv);
    Doubles updated = gv * zv + wv;
    store(w + i, updated);
    Doubles signal = gv * updated;
    store(back + i, signal);
  }
  scalar::updateOutputFrom<E>(g, z, w, back, i, n);
}

// The output neuron's step of scalar::trainOutput (the prediction's sum in
// order, then the update above). Returns the prediction before the update.
template <class E>
__attribute__((always_inline)) inline double trainOutput(E bias, const E* z, E* w, E* back,
                                                         std::uint32_t n, double learningRate,
                                                         E target) {
  const double y = scalar::dot<E>(bias, z, w, n);
  const E g = static_cast<E>((static_cast<double>(target) - y) * learningRate);
  updateOutput(g, z, w, back, n);
  return y;
}

// back becomes the rows' factors (1 − z) × z × back in place.
template <class E>
__attribute__((always_inline)) inline void hiddenFactors(const E* z, E* back, std::uint32_t h) {
  const Doubles one = Doubles{} + 1.0;
  std::uint32_t r = 0;
  for (; r + 4 <= h; r += 4) {
    Doubles zv, bv;
    load(z + r, zv);
    load(back + r, bv);
    Doubles d = (one - zv) * zv * bv;
    store(back + r, d);
  }
  for (; r < h; ++r) {
    back[r] = static_cast<E>(hiddenFactor(static_cast<double>(z[r]), static_cast<double>(back[r])));
  }
}

// The plain kernels of scalar_kernels.h, which state the arithmetic (the
// build's Reference), with the output step's update in lanes: the kernels of
// the builds that keep one row per double lane.
template <class E>
struct Kernels : scalar::Kernels<E> {
  using Reference = scalar::Kernels<E>;
  static double trainOutput(E bias, const E* z, E* w, E* back, std::uint32_t n, double learningRate,
                            E target) {
    return sample_lanes::trainOutput<E>(bias, z, w, back, n, learningRate, target);
  }
};

}  // namespace engine::sample_lanes
