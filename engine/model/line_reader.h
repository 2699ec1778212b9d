#pragma once
#include <cstdint>
#include <cstdio>

namespace engine {

// Reads a text file line by line, each line whole however long it is: a line
// is everything up to its line feed. A carriage return right before the line
// feed is dropped. Should memory run out for a giant line, its first part is
// kept and the rest consumed, so the line count stays right.
class LineReader {
 public:
  explicit LineReader(std::FILE* file) : file_(file) {}
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // False when nothing at all could be read (end of file or a read error).
  bool readLine();

  const char* text() const { return line_ != nullptr ? line_ : ""; }
  std::size_t length() const { return length_; }
  bool endedByLineFeed() const { return endedByLineFeed_; }
  // An empty line: nothing but its line end.
  bool empty() const { return length_ == 0 && endedByLineFeed_; }

 private:
  bool append(char c);

  std::FILE* file_;
  char* line_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t length_ = 0;
  bool endedByLineFeed_ = false;
};

// Counts the line feeds from the current position to the end of the file.
// False on a read error.
bool countLineFeeds(std::FILE* file, std::uint64_t* count);

}  // namespace engine

namespace engine {

// Opens a file the run reads; a directory counts as a file that cannot be opened.
std::FILE* openForReading(const char* path);

// Closes a file when the scope ends, on every path.
struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file != nullptr) std::fclose(file);
  }
};

// A count as a message argument ("%u"); counts beyond 32 bits show as the largest.
inline unsigned clampToUnsigned(std::uint64_t n) {
  return n > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<unsigned>(n);
}

}  // namespace engine
