#pragma once
#include <cstdint>

#include "kernels/interleaved_sums.h"

// The lane sets of the builds that keep one row per double lane (nnsingle
// and nndouble), written once. With AVX2 the rows go in groups of sixteen,
// eight and four, each kept interleaved as one block during the pass, four
// rows to a register (so up to four chains overlap) and the logistics of a
// group together; two rows left over share a 128-bit register. With SSE2 two
// rows a sweep, four rows' logistics together. Rows too short to pay for the set-up go row by row.
// Kernels (DoubleKernels, SingleKernels) names the build's element, the window values its AVX2
// kernels read (the element, or doubles widened once per sample), its two-row kernel and, when the
// AVX2 windows are wide, the two-row kernel on those.
namespace engine {

template <class Kernels>
struct DoubleLaneSets {
  using E = typename Kernels::Element;
  using Window = typename Kernels::Avx2Window;

  struct Avx2Lanes {
    static constexpr int kWidestGroup = 16;
    static constexpr int kNarrowestGroup = 2;
    // One or two rows of fewer than 8 weights go faster one by one; four
    // rows or more of any width gain from their sums and logistics in lanes.
    static constexpr std::uint32_t kMinimumWidth = 8;
    static constexpr std::uint32_t kShortRowsFromHeight = 4;
    static constexpr int kInterleavedRows = 4;
    static constexpr bool kInterleaveWholeGroups = true;
    static constexpr bool kWideWindows = sizeof(Window) > sizeof(E);
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(E* const* rows, const E* d,
                                                            const Window* x, const Window* next,
                                                            E bias, std::uint32_t w, double* sums) {
      if constexpr (kRows != 2) {
        InterleavedSums::updateAndSum<kRows / 4>(rows[0], d, x, next, bias, w, sums);
      } else if constexpr (kWideWindows) {
        Kernels::updateAndSumTwoRowsWide(rows, d, x, next, bias, w, sums);
      } else {
        Kernels::updateAndSumTwoRows(rows, d, x, next, bias, w, sums);
      }
    }
  };

  struct Sse2Lanes {
    static constexpr int kWidestGroup = 4;
    static constexpr int kNarrowestGroup = 2;
    static constexpr std::uint32_t kMinimumWidth = 8;
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(E* const* rows, const E* d, const E* x,
                                                            const E* next, E bias, std::uint32_t w,
                                                            double* sums) {
      // Two rows a sweep; four rows' logistics together.
      for (int k = 0; k < kRows; k += 2)
        Kernels::updateAndSumTwoRows(rows + k, d + k, x, next, bias, w, sums + k);
    }
  };
};

}  // namespace engine
