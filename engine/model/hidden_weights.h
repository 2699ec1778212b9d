#pragma once
#include <cstdint>

#include "model/aligned_buffer.h"

namespace engine {

// H rows of W weights, row h for hidden unit h, input 0 first. Stored as one
// block in row order; a build whose rows must each start on an alignment
// boundary (Build::separateRows) gets one buffer per row behind a row table.
template <class Build>
class HiddenWeights {
 public:
  using Element = typename Build::Element;

  HiddenWeights() = default;
  ~HiddenWeights() { release(); }
  HiddenWeights(const HiddenWeights&) = delete;
  HiddenWeights& operator=(const HiddenWeights&) = delete;

  // False when the size is beyond the build's limit or memory runs out.
  bool allocate(std::uint32_t h, std::uint32_t w) {
    release();
    if (!Build::networkFits(h, w)) return false;
    rows_ = h;
    width_ = w;
    if (!Build::separateRows(w))
      return block_.allocate(static_cast<std::uint64_t>(h) * w, Build::kAlignment);
    if (!rowTable_.allocate(h, Build::kAlignment)) return false;
    for (std::uint32_t r = 0; r < h; ++r) {
      rowTable_[r] = static_cast<Element*>(
          alignedAllocate(static_cast<std::uint64_t>(w) * sizeof(Element), Build::kAlignment));
      if (rowTable_[r] == nullptr) {
        allocatedRows_ = r;
        release();
        return false;
      }
    }
    allocatedRows_ = h;
    return true;
  }

  void release() {
    for (std::uint32_t r = 0; r < allocatedRows_; ++r) alignedFree(rowTable_[r]);
    allocatedRows_ = 0;
    rowTable_.release();
    block_.release();
  }

  bool allocated() const { return block_.allocated() || rowTable_.allocated(); }

  Element* row(std::uint32_t h) const {
    if (!Build::separateRows(width_)) return block_.data() + static_cast<std::uint64_t>(h) * width_;
    return rowTable_[h];
  }

  std::uint32_t rows() const { return rows_; }
  std::uint32_t width() const { return width_; }

 private:
  AlignedBuffer<Element> block_;
  AlignedBuffer<Element*> rowTable_;
  std::uint32_t allocatedRows_ = 0;
  std::uint32_t rows_ = 0;
  std::uint32_t width_ = 0;
};

}  // namespace engine
