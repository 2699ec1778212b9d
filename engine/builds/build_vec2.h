#pragma once
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "kernels/lane_driver.h"
#include "kernels/vec2_kernels.h"
#include "kernels/vec2_reference.h"
#include "kernels/vec2_unit_lanes.h"
#include "model/network_math.h"
#include "model/result_codes.h"

namespace engine {

// nnvec2: single precision on pairs. Every buffer starts on an 8-byte
// boundary, and a second copy of the series, shifted by one, lets every
// window start on one. Sums are formed in float pair by pair; the hidden sums
// and the training step's output are rounded to float.
struct Vec2Build : Vec2Kernels {
  using Element = float;
  static constexpr const char* kName = "nnvec2";

  // (The allocator puts every buffer on a cache line anyway, so that no
  // 32-byte step of the eight-lane kernels straddles two lines.)
  static constexpr std::size_t kAlignment = 8;
  static constexpr unsigned kSeriesCopies = 2;
  static constexpr std::uint32_t kSeriesLimit = 1073741820;  // lines of a file, data points
  static constexpr unsigned kBenchmarkSizeMessage = msg::kSeriesTooLarge;
  static constexpr int kTextPrecision = 6;
  static constexpr Element kRandomUnit = 0x8001p-30f;  // the float nearest to 1/32767
  static constexpr Element kBestErrorStart = FLT_MAX;

  static bool networkFits(std::uint32_t h, std::uint32_t w) {
    return static_cast<std::uint64_t>(h) * w <= kSeriesLimit;
  }
  static constexpr bool separateRows(std::uint32_t) { return false; }

  // The arithmetic stated one value at a time; the fast kernels equal it.
  using Reference = Vec2Reference;

  // The rows as stored: four rows a sweep, the pair sum tree of each row
  // formed with horizontal additions, sixteen down to four rows between
  // logistics, the rest alone; each hidden sum rounded to float as hiddenSum
  // rounds it. For the rows the eight-lane groups below leave, and for a
  // pass that gets no room to interleave. Rows shorter than a block gain
  // nothing from the wide registers here.
  struct Avx2RowLanes {
    static constexpr int kWidestGroup = 16;
    static constexpr int kNarrowestGroup = 4;
    static constexpr std::uint32_t kMinimumWidth = 16;
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(float* const* rows, const float* d,
                                                            const float* x, const float* next,
                                                            float bias, std::uint32_t w,
                                                            double* sums) {
      for (int k = 0; k < kRows; k += 4) {
        Vec2Kernels::updateAndSumFourRows(rows + k, d + k, x, next, bias, w, sums + k);
      }
    }
    __attribute__((always_inline)) static double updateAndSumOne(float* row, float d,
                                                                 const float* x, const float* next,
                                                                 float bias, std::uint32_t w) {
      return static_cast<float>(Vec2Kernels::updateAndSum(row, d, x, next, bias, w));
    }
  };
  // With AVX2 eight rows in the eight float lanes of a register, their pair
  // sum trees running down the lanes; the rows go in groups of eight kept
  // interleaved during the pass, two groups a sweep, sixteen or eight rows
  // between logistics. Four rows left over take the four-row kernel on the
  // rows as stored, fewer go one by one. With no horizontal work even rows
  // shorter than a block gain from the lanes. Without AVX2 the SSE kernels
  // take the update and the next sum one after the other.
  struct Avx2Lanes {
    static constexpr int kWidestGroup = 16;
    static constexpr int kNarrowestGroup = 4;
    static constexpr std::uint32_t kMinimumWidth = 2;
    static constexpr int kInterleavedRows = Vec2UnitLanes::kRows;
    template <int kRows>
    __attribute__((always_inline)) static void updateAndSum(float* const* rows, const float* d,
                                                            const float* x, const float* next,
                                                            float bias, std::uint32_t w,
                                                            double* sums) {
      if constexpr (kRows < kInterleavedRows) {
        Avx2RowLanes::updateAndSum<kRows>(rows, d, x, next, bias, w, sums);
      } else {
        constexpr int kGroups = kRows / kInterleavedRows;
        float* groups[kGroups];
        for (int g = 0; g < kGroups; ++g) groups[g] = rows[kInterleavedRows * g];
        Vec2UnitLanes::updateAndSumInterleaved<kGroups>(groups, d, x, next, bias, w, sums);
      }
    }
    __attribute__((always_inline)) static double updateAndSumOne(float* row, float d,
                                                                 const float* x, const float* next,
                                                                 float bias, std::uint32_t w) {
      return Avx2RowLanes::updateAndSumOne(row, d, x, next, bias, w);
    }
  };
  using Sse2Lanes = NoLanes;
};

}  // namespace engine
