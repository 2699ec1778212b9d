#pragma once
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace enginetest {

// Values spread over several binary orders of magnitude and both signs, so
// that sums really round and a changed grouping or rounding point shows.
template <class E>
std::vector<E> randomValues(std::mt19937& random, std::size_t n) {
  std::uniform_real_distribution<double> mantissa(0.5, 1.0);
  std::uniform_int_distribution<int> exponent(-6, 6);
  std::bernoulli_distribution negative(0.4);
  std::vector<E> values(n);
  for (E& v : values) {
    const double m = std::ldexp(mantissa(random), exponent(random));
    v = static_cast<E>(negative(random) ? -m : m);
  }
  return values;
}

inline std::uint64_t bits(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

inline std::uint32_t bits(float v) {
  std::uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// Equal bit for bit, element by element.
template <class E>
bool sameBits(const std::vector<E>& a, const std::vector<E>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(E)) == 0;
}

// The sizes every kernel is tried on: 1 to 40 (odd and even, multiples of 4
// and 16 and their neighbours) and a few longer ones.
inline std::vector<std::uint32_t> kernelSizes() {
  std::vector<std::uint32_t> sizes;
  for (std::uint32_t n = 1; n <= 40; ++n) sizes.push_back(n);
  for (std::uint32_t n : {47u, 48u, 49u, 63u, 64u, 65u, 255u, 256u, 257u, 1023u})
    sizes.push_back(n);
  return sizes;
}

}  // namespace enginetest
