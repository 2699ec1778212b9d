#pragma once
#include <cstdint>

// The benchmark's workloads: H hidden units, window W, N data points.
struct Workload {
  char name;
  std::uint32_t h;
  std::uint32_t w;
  std::uint32_t n;
};

inline constexpr Workload kWorkloads[] = {
    {'A', 2, 384, 500},      // the dialog's defaults
    {'B', 16, 64, 5000},     //
    {'C', 64, 1024, 2000},   //
    {'D', 256, 4096, 6000},  // weights beyond the second-level cache
    {'E', 1, 8, 100000},     // a tiny network: per-sample overhead
    {'N', 2, 3, 100},        // the size of the Nile example: a small series
};
