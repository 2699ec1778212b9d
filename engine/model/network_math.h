#pragma once
#include <cmath>
#include <limits>

#include "kernels/exponential.h"

namespace engine {

// The logistic function at double precision; the caller rounds the result
// where it stores it. e^−a is infinite for a very negative a, which gives 0;
// a very positive a gives 1. The engine's own exponential, whose lane form
// gives the same values.
inline double logistic(double a) { return 1.0 / (exponential(-a) + 1.0); }

// The hidden unit's error factor (1 − z) × z × back, in that order.
inline double hiddenFactor(double z, double back) { return (1.0 - z) * z * back; }

// Relative error of one prediction. A prediction that is not a number (the
// weights have blown up) counts as infinitely wrong, so a diverging run never
// looks converged; only 0 predicted for a target of 0 stays "no error known".
inline double sampleError(double y, double target) {
  const double e = std::fabs(y / target - 1.0);
  if (std::isnan(e) && !(y == 0.0 && target == 0.0)) return std::numeric_limits<double>::infinity();
  return e;
}

}  // namespace engine
