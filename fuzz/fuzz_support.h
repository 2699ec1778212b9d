#pragma once
// What the fuzz targets share: the input as a file the readers can open by
// name, without touching the disk, and a sink that keeps nothing.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/output_sink.h"

namespace fuzzing {

// The bytes in an anonymous memory file, reachable through /proc/self/fd.
class MemoryFile {
 public:
  MemoryFile(const std::uint8_t* data, std::size_t size)
      : fd_(memfd_create("fuzz-input", MFD_CLOEXEC)) {
    if (fd_ < 0) std::abort();
    for (std::size_t done = 0; done < size;) {
      const ssize_t n = ::write(fd_, data + done, size - done);
      if (n <= 0) std::abort();
      done += static_cast<std::size_t>(n);
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~MemoryFile() { ::close(fd_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  const char* path() const { return path_.c_str(); }

 private:
  int fd_;
  std::string path_;
};

class SilentSink final : public OutputSink {
 public:
  void write(std::uint32_t, const char*) override { ++lines; }
  unsigned lines = 0;
};

// A broken promise of the code under test: end the run so the fuzzer keeps the input.
inline void require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace fuzzing
