#include "line_reader.h"

#include <cstring>

namespace engine {

bool LineReader::readLine() {
  length_ = 0;
  endedByLineFeed_ = false;
  bool readAny = false;
  int c;
  while ((c = getc_unlocked(file_)) != EOF) {
    readAny = true;
    if (c == '\n') {
      endedByLineFeed_ = true;
      break;
    }
    if (length_ < kLineCapacity - 1) line_[length_++] = static_cast<char>(c);
  }
  if (endedByLineFeed_ && length_ > 0 && line_[length_ - 1] == '\r') --length_;
  line_[length_] = '\0';
  if (!readAny) return false;
  // A read error in the middle of a line still leaves a line; the next call fails.
  return true;
}

bool countLineFeeds(std::FILE* file, std::uint64_t* count) {
  char chunk[1 << 16];
  std::uint64_t n = 0;
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    const char* p = chunk;
    const char* end = chunk + got;
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
      ++n;
      ++p;
    }
  }
  *count = n;
  return std::ferror(file) == 0;
}

}  // namespace engine

#include <sys/stat.h>

namespace engine {

std::FILE* openForReading(const char* path) {
  if (path == nullptr) return nullptr;
  std::FILE* file = std::fopen(path, "rb");
  struct stat st {};
  if (file != nullptr && (fstat(fileno(file), &st) != 0 || S_ISDIR(st.st_mode))) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

}  // namespace engine
