#pragma once
#include <cstdint>

#include "kernels/scalar_kernels.h"

// The four-lane arithmetic written out one value at a time: the oracle the
// vector kernels are tested against. Lane k holds the elements whose index is
// k mod 4; every lane operation is a float multiplication or addition.
namespace engine {

struct Vec4Reference {
  // Adds the four lanes as (((3 + 2) + 1) + 0) in double.
  static double laneSum(const float acc[4]) {
    return ((static_cast<double>(acc[3]) + acc[2]) + acc[1]) + acc[0];
  }

  // b + Σ x·w over n values. Blocks of 16: acc += ((x0·w0 + x1·w1) + (x2·w2 +
  // x3·w3)) per lane; the lanes are added in double and rounded to float; the
  // whole vectors after the blocks go on from that sum lane by lane; their lanes
  // are added in double, unrounded, and the last n mod 4 products are added in
  // double one by one.
  static double dot(float b, const float* x, const float* w, std::uint32_t n) {
    float acc[4] = {b, 0.0f, 0.0f, 0.0f};
    std::uint32_t i = 0;
    for (; i + 16 <= n; i += 16) {
      for (int k = 0; k < 4; ++k) {
        const float p0 = x[i + k] * w[i + k];
        const float p1 = x[i + 4 + k] * w[i + 4 + k];
        const float p2 = x[i + 8 + k] * w[i + 8 + k];
        const float p3 = x[i + 12 + k] * w[i + 12 + k];
        acc[k] = ((p0 + p1) + (p2 + p3)) + acc[k];
      }
    }
    const float s = static_cast<float>(laneSum(acc));
    float rest[4] = {s, 0.0f, 0.0f, 0.0f};
    for (; i + 4 <= n; i += 4) {
      for (int k = 0; k < 4; ++k) rest[k] = x[i + k] * w[i + k] + rest[k];
    }
    double r = laneSum(rest);
    for (; i < n; ++i) r = r + static_cast<double>(w[i]) * static_cast<double>(x[i]);
    return r;
  }

  // What the pass calls: the hidden sum, unrounded.
  static double hiddenSum(float b, const float* x, const float* w, std::uint32_t n) {
    return dot(b, x, w, n);
  }

  // The output neuron's step. y = dot(bias, z, w); g = (target − y) × rate as a
  // float; whole vectors: w = w + z·g, back = w·g in float; the last n mod 4
  // weights take the double step of the reference build. Returns y.
  static double trainOutput(float bias, const float* z, float* w, float* back, std::uint32_t n,
                            double learningRate, float target) {
    const double y = dot(bias, z, w, n);
    const float g = static_cast<float>((static_cast<double>(target) - y) * learningRate);
    const std::uint32_t whole = n & ~3u;
    std::uint32_t i = 0;
    for (; i < whole; ++i) {
      w[i] = w[i] + z[i] * g;
      back[i] = w[i] * g;
    }
    scalar::updateOutputFrom<float>(g, z, w, back, i, n);
    return y;
  }

  // A hidden row's step: row = row + x·d in float over whole vectors, the last
  // n mod 4 weights in double as the reference build does.
  static void updateHidden(float d, const float* x, float* row, std::uint32_t n) {
    const std::uint32_t whole = n & ~3u;
    std::uint32_t m = 0;
    for (; m < whole; ++m) row[m] = row[m] + x[m] * d;
    for (; m < n; ++m) {
      row[m] = static_cast<float>(static_cast<double>(d) * static_cast<double>(x[m]) +
                                  static_cast<double>(row[m]));
    }
  }
};

}  // namespace engine
