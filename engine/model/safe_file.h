#pragma once
#include <cstdio>
#include <string>

namespace engine {

// Writes a file so that a failed or interrupted write never destroys the
// previous one. The text goes to an unnamed file in the target's directory
// (O_TMPFILE) that gets a name only once it is complete and on disk, just
// before it replaces the target, so a kill leaves nothing behind; where the
// file system has no unnamed files, a named temporary beside the target takes
// its place. A replaced file keeps its mode, and its owner and group where
// the process may set them. A symbolic link is followed (the link stays a
// link). A target the user may not write is refused, as writing in place
// would refuse it. A target that is not a regular file (a device, a FIFO, a
// terminal, /dev/stdout), or a writable file in a directory that allows no
// new file, is written in place instead.
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
  // failed; then no temporary file remains and the target is as it was
  // (an in-place write is as far as it got).
  bool commit();

  // Discards an unfinished write.
  void abandon();

 private:
  bool openReplacement();
  bool nameUnnamedFile();

  std::FILE* stream_ = nullptr;
  std::string target_;
  std::string temporary_;   // the named temporary; empty when there is none (yet)
  bool replacing_ = false;  // false when writing in place
  bool unnamed_ = false;    // the replacement has no name yet
};

}  // namespace engine
