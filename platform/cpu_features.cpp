#include "cpu_features.h"

#include <cpuid.h>

std::uint32_t composeCpuFeatures(std::uint32_t standardEdx, std::uint32_t extendedEdx) {
  std::uint32_t features = 0;
  if (standardEdx & (1u << 23)) features |= kCpuMmx;
  if (standardEdx & (1u << 25)) features |= kCpuSse;
  if (standardEdx & (1u << 26)) features |= kCpuSse2;
  if (extendedEdx & (1u << 31)) features |= kCpuNnvec2;
  if (extendedEdx & (1u << 22)) features |= kCpuMmxExtensions;
  return features;
}

std::uint32_t detectCpuFeatures() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  // __get_cpuid checks that the function exists and returns 0 otherwise.
  if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) == 0) return 0;
  unsigned standardEdx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) standardEdx = edx;
  unsigned extendedEdx = 0;
  if (__get_cpuid_max(0x80000000u, nullptr) >= 0x80000001u &&
      __get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx) != 0) {
    extendedEdx = edx;
  }
  return composeCpuFeatures(standardEdx, extendedEdx);
}
