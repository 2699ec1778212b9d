#pragma once
#include <cstdint>
#include <cstring>

namespace engine {

// The rows per interleaved group of a lane set; 0 when it keeps rows apart.
template <class Lanes>
inline constexpr int kInterleavedRowsOf = 0;
template <class Lanes>
requires requires { Lanes::kInterleavedRows; }
inline constexpr int kInterleavedRowsOf<Lanes> = Lanes::kInterleavedRows;

// The weights of one row that stay together (the chunk); 1 unless named.
template <class Lanes>
inline constexpr std::uint32_t kInterleavedChunkOf = 1;
template <class Lanes>
requires requires { Lanes::kInterleavedChunk; }
inline constexpr std::uint32_t kInterleavedChunkOf<Lanes> = Lanes::kInterleavedChunk;

// Whether each lane group is interleaved whole (false unless named): a group
// of kRows rows, from the widest down to kInterleavedRows, is then one block
// the kernel reads as a single stream, rather than kRows/kInterleavedRows
// blocks side by side. One stream is what the processor's prefetcher follows
// best, and its stores never alias another block's loads.
template <class Lanes>
inline constexpr bool kInterleavesWholeGroupsOf = false;
template <class Lanes>
requires requires { Lanes::kInterleaveWholeGroups; }
inline constexpr bool kInterleavesWholeGroupsOf<Lanes> = Lanes::kInterleaveWholeGroups;

// Whether a lane set's kernels read the windows widened to double (false
// unless named): a float build whose kernels work in double lanes would
// otherwise widen both windows' values again in every sweep over the rows;
// the pass widens each window once, into room the network keeps for two.
template <class Lanes>
inline constexpr bool kWideWindowsOf = false;
template <class Lanes>
requires requires { Lanes::kWideWindows; }
inline constexpr bool kWideWindowsOf<Lanes> = Lanes::kWideWindows;

// The rows a lane set's interleaved groups need as room to be rearranged in.
template <class Lanes>
inline constexpr int kInterleaveRoomRowsOf =
    kInterleavesWholeGroupsOf<Lanes> ? Lanes::kWidestGroup : kInterleavedRowsOf<Lanes>;

// During a pass, the hidden rows of each lane group can be kept interleaved:
// the group's kRows rows, stored one after the other, are rearranged so that
// chunk c (kChunk weights) of row k sits at (c·kRows + k)·kChunk. A lane
// kernel then reads one vector per step for the whole group instead of one
// per row, and the processor streams one array instead of kRows. The
// arrangement lives only inside a pass: the rows are restored before anyone
// else reads them (state files, Generate, the tests), so nothing outside the
// pass sees it. w must be a multiple of kChunk; scratch holds kRows·w values.
// (Both functions are only the layout; which groups take it is the lane
// set's: see forEachInterleavedGroup in the pass.)
template <int kRows, int kChunk, class Element>
void interleaveRows(Element* group, std::uint32_t w, Element* scratch) {
  const std::uint64_t size = static_cast<std::uint64_t>(w) * kRows;
  std::memcpy(scratch, group, size * sizeof(Element));
  for (int k = 0; k < kRows; ++k) {
    const Element* row = scratch + static_cast<std::uint64_t>(k) * w;
    for (std::uint32_t c = 0; c < w / kChunk; ++c) {
      std::memcpy(group + (static_cast<std::uint64_t>(c) * kRows + k) * kChunk, row + c * kChunk,
                  kChunk * sizeof(Element));
    }
  }
}

template <int kRows, int kChunk, class Element>
void restoreRows(Element* group, std::uint32_t w, Element* scratch) {
  const std::uint64_t size = static_cast<std::uint64_t>(w) * kRows;
  std::memcpy(scratch, group, size * sizeof(Element));
  for (int k = 0; k < kRows; ++k) {
    Element* row = group + static_cast<std::uint64_t>(k) * w;
    for (std::uint32_t c = 0; c < w / kChunk; ++c) {
      std::memcpy(row + c * kChunk, scratch + (static_cast<std::uint64_t>(c) * kRows + k) * kChunk,
                  kChunk * sizeof(Element));
    }
  }
}

}  // namespace engine
