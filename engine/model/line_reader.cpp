#include "model/line_reader.h"

#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
// The Windows C runtime's unlocked reading has its own name.
#define getc_unlocked _getc_nolock
#endif

namespace engine {

LineReader::~LineReader() { std::free(line_); }

// Keeps one more character and room for the NUL; false when memory ran out.
bool LineReader::append(char c) {
  if (length_ + 1 >= capacity_) {
    const std::size_t grown = capacity_ == 0 ? 256 : capacity_ * 2;
    char* bigger = static_cast<char*>(std::realloc(line_, grown));
    if (bigger == nullptr) return false;
    line_ = bigger;
    capacity_ = grown;
  }
  line_[length_++] = c;
  return true;
}

bool LineReader::readLine() {
  length_ = 0;
  endedByLineFeed_ = false;
  bool readAny = false;
  bool keeping = true;
  int c;
  while ((c = getc_unlocked(file_)) != EOF) {
    readAny = true;
    if (c == '\n') {
      endedByLineFeed_ = true;
      break;
    }
    if (keeping) keeping = append(static_cast<char>(c));
  }
  if (endedByLineFeed_ && length_ > 0 && line_[length_ - 1] == '\r') --length_;
  if (line_ == nullptr && (line_ = static_cast<char*>(std::malloc(256))) != nullptr)
    capacity_ = 256;
  if (line_ != nullptr) line_[length_] = '\0';  // append always leaves room for it
  // A read error in the middle of a line still leaves a line; the next call fails.
  return readAny;
}

bool countLineFeeds(std::FILE* file, std::uint64_t* count) {
  char chunk[1 << 16];
  std::uint64_t n = 0;
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    const char* p = chunk;
    const char* end = chunk + got;
    while ((p = static_cast<const char*>(
                std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
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
