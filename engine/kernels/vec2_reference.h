#pragma once
#include <cstdint>

#include "kernels/scalar_kernels.h"

// The pair arithmetic written out one value at a time: the oracle the pair
// kernels are tested against. A pair is elements 2k and 2k+1; every pair
// operation is a float multiplication or addition in each half.
namespace engine {

struct Vec2Reference {
  // b + Σ x·w over n values as the pair unit forms it, a float until the odd
  // last element: each block of 16 gives its eight pair sums p = x·w (low) +
  // x·w (high), added as ((p0+p1)+(p2+p3)) + ((p4+p5)+(p6+p7)); the running
  // total takes one block sum after another, then the pair sums of the pairs
  // after the blocks one by one. The accumulator is (low, high): each step adds
  // low + high into low and puts the next term into high. An odd last product
  // is added in double: the result is then unrounded.
  static double dot(float b, const float* x, const float* w, std::uint32_t n) {
    float low = b;
    float high = 0.0f;
    std::uint32_t i = 0;
    for (; i + 16 <= n; i += 16) {
      float p[8];
      for (int k = 0; k < 8; ++k)
        p[k] = x[i + 2 * k] * w[i + 2 * k] + x[i + 2 * k + 1] * w[i + 2 * k + 1];
      const float s = ((p[0] + p[1]) + (p[2] + p[3])) + ((p[4] + p[5]) + (p[6] + p[7]));
      low = low + high;
      high = s;
    }
    if (i > 0) {
      low = low + high;
      high = 0.0f;
    }
    const std::uint32_t blocksEnd = i;
    for (; i + 2 <= n; i += 2) {
      const float q = x[i] * w[i] + x[i + 1] * w[i + 1];
      low = low + high;
      high = q;
    }
    if (i > blocksEnd) low = low + high;
    if (i < n)
      return static_cast<double>(w[i]) * static_cast<double>(x[i]) + static_cast<double>(low);
    return low;
  }

  // The hidden sum is rounded to float before the logistic, also for odd W.
  static double hiddenSum(float b, const float* x, const float* w, std::uint32_t n) {
    return static_cast<float>(dot(b, x, w, n));
  }

  // The output neuron's step. y = dot(bias, z, w) rounded to float; g =
  // (target − y) × rate as a float; whole pairs: w = g·z + w, back = w·g in
  // float; an odd last weight takes the double step of the reference build.
  // Returns the float y.
  static double trainOutput(float bias, const float* z, float* w, float* back, std::uint32_t n,
                            double learningRate, float target) {
    const float y = static_cast<float>(dot(bias, z, w, n));
    const float g =
        static_cast<float>((static_cast<double>(target) - static_cast<double>(y)) * learningRate);
    const std::uint32_t whole = n & ~1u;
    std::uint32_t i = 0;
    for (; i < whole; ++i) {
      w[i] = g * z[i] + w[i];
      back[i] = w[i] * g;
    }
    scalar::updateOutputFrom<float>(g, z, w, back, i, n);  // an odd last weight
    return y;
  }

  // A hidden row's step: row = d·x + row in float over whole pairs, an odd last
  // weight in double as the reference build does.
  static void updateHidden(float d, const float* x, float* row, std::uint32_t n) {
    const std::uint32_t whole = n & ~1u;
    std::uint32_t m = 0;
    for (; m < whole; ++m) row[m] = d * x[m] + row[m];
    if (m < n) {
      row[m] = static_cast<float>(static_cast<double>(d) * static_cast<double>(x[m]) +
                                  static_cast<double>(row[m]));
    }
  }
};

}  // namespace engine
