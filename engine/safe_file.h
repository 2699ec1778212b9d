#pragma once
#include <cstdio>
#include <string>

namespace engine {

// Writes a file so that a failed or interrupted write never destroys the
// previous one: the text goes to a temporary file in the target's directory,
// which replaces the target only when it is complete and on disk. A symbolic
// link is followed (the link stays a link). A target that exists but is not a
// regular file (a device, a FIFO), or a writable file in a directory that
// allows no temporary file, is written in place instead.
class SafeFileWriter {
 public:
  SafeFileWriter() = default;
  ~SafeFileWriter() { abandon(); }
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Creates the file to write into; false if that is impossible.
  bool open(const char* path);
  std::FILE* stream() const { return stream_; }

  // Flushes, syncs, closes and puts the file in place. False if any step
  // failed; then the temporary file is gone and the target is as it was
  // (an in-place write is as far as it got).
  bool commit();

  // Discards an unfinished write.
  void abandon();

 private:
  std::FILE* stream_ = nullptr;
  std::string target_;
  std::string temporary_;  // empty when writing in place
};

// Opens `path` for writing, replacing its content, with every write checked
// by the caller and the close by closeChecked.
std::FILE* createForWriting(const char* path);
bool closeChecked(std::FILE* file);

}  // namespace engine
