#pragma once
#include <cstdint>

#include "model/aligned_buffer.h"

namespace engine {

// The run's series of N values and its mean. A build that reads its windows
// with aligned vector loads keeps kSeriesCopies shifted copies: copy k holds
// series[k..N−1], so the window starting at t begins at index t − (t mod k) of
// copy (t mod k), on an alignment boundary. Copy 0 is the series itself.
template <class Build>
class Series {
 public:
  using Element = typename Build::Element;
  static constexpr unsigned kCopies = Build::kSeriesCopies;

  // Allocates all copies for n values; false if any allocation fails (those
  // already made are released).
  bool allocate(std::uint32_t n) {
    count_ = n;
    for (unsigned k = 0; k < kCopies; ++k) {
      const std::uint64_t length = n > k ? n - k : 0;
      if (!copies_[k].allocate(length, Build::kAlignment)) {
        release();
        return false;
      }
    }
    return true;
  }

  // Fills copies 1 and up from copy 0, once the series is complete.
  void fillCopies() {
    for (unsigned k = 1; k < kCopies; ++k) {
      for (std::uint32_t i = k; i < count_; ++i) copies_[k][i - k] = copies_[0][i];
    }
  }

  // The copies beyond the first are needed only while training.
  void releaseCopies() {
    for (unsigned k = 1; k < kCopies; ++k) copies_[k].release();
  }

  void release() {
    for (auto& copy : copies_) copy.release();
  }

  Element* values() const { return copies_[0].data(); }
  std::uint32_t size() const { return count_; }

  // The window of W values starting at series index t.
  const Element* window(std::uint32_t t) const {
    const unsigned k = t % kCopies;
    return copies_[k].data() + (t - k);
  }

  Element mean = 0;

 private:
  AlignedBuffer<Element> copies_[kCopies];
  std::uint32_t count_ = 0;
};

}  // namespace engine
