#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#if defined(_WIN32)
#include <malloc.h>
#endif
#include <utility>

namespace engine {

// Raw aligned memory that reports failure instead of throwing. A buffer of a
// cache line or more starts on one, whatever the build asks for: the
// kernels' 16- and 32-byte loads then never straddle two lines (a straddling
// load or store costs about twice as much), and rows whose length is a
// multiple of 64 bytes all start on one too. Smaller buffers (rows of a few
// values kept apart) keep the build's alignment, and so their size.
inline constexpr std::size_t kCacheLineBytes = 64;

inline void* alignedAllocate(std::uint64_t bytes, std::size_t alignment) {
  if (bytes >= kCacheLineBytes && alignment < kCacheLineBytes) alignment = kCacheLineBytes;
  if (alignment < sizeof(void*)) alignment = sizeof(void*);
  if (bytes == 0) bytes = 1;  // a valid, distinct pointer even for an empty array
  if (bytes > std::numeric_limits<std::size_t>::max() / 2) return nullptr;
#if defined(_WIN32)
  // Windows has neither posix_memalign nor aligned_alloc; its own pair frees
  // with _aligned_free only.
  return _aligned_malloc(static_cast<std::size_t>(bytes), alignment);
#else
  void* p = nullptr;
  return posix_memalign(&p, alignment, static_cast<std::size_t>(bytes)) == 0 ? p : nullptr;
#endif
}

#if defined(_WIN32)
inline void alignedFree(void* p) { _aligned_free(p); }
#else
inline void alignedFree(void* p) { std::free(p); }
#endif

// An owned array of `count` values on an `alignment`-byte boundary. Sizes are
// computed in 64 bits, so no count can make the buffer smaller than asked.
template <class T>
class AlignedBuffer {
 public:
  AlignedBuffer() = default;
  ~AlignedBuffer() { release(); }
  AlignedBuffer(const AlignedBuffer&) = delete;
  AlignedBuffer& operator=(const AlignedBuffer&) = delete;
  AlignedBuffer(AlignedBuffer&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), count_(std::exchange(other.count_, 0)) {}

  bool allocate(std::uint64_t count, std::size_t alignment) {
    release();
    if (count > std::numeric_limits<std::uint64_t>::max() / sizeof(T)) return false;
    data_ = static_cast<T*>(alignedAllocate(count * sizeof(T), alignment));
    if (data_ == nullptr) return false;
    count_ = count;
    return true;
  }

  void release() {
    alignedFree(data_);
    data_ = nullptr;
    count_ = 0;
  }

  bool allocated() const { return data_ != nullptr; }
  T* data() const { return data_; }
  std::uint64_t size() const { return count_; }
  T& operator[](std::uint64_t i) const { return data_[i]; }

 private:
  T* data_ = nullptr;
  std::uint64_t count_ = 0;
};

}  // namespace engine
