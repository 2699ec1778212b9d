#include "safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace engine {

namespace {

// Follows symbolic links to the path that will really be written.
std::string resolveLinks(std::string path) {
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) return path;
    target[n] = '\0';
    if (target[0] == '/') {
      path = target;
    } else {
      const auto slash = path.rfind('/');
      path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
    }
  }
  return path;
}

std::string directoryPart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string namePart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new temporary file beside `target`; the mode a plain create would
// give a new file (0666 less the umask) comes from open() itself.
int createTemporary(const std::string& target, std::string* name) {
  const std::string stem = directoryPart(target) + "." + namePart(target) + ".";
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  unsigned long tag = static_cast<unsigned long>(now.tv_nsec) ^ (static_cast<unsigned long>(getpid()) << 20);
  for (int attempt = 0; attempt < 100; ++attempt, tag = tag * 6364136223846793005ul + 1442695040888963407ul) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%06lx.tmp", (tag >> 24) & 0xFFFFFFul);
    *name = stem + suffix;
    const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::FILE* createForWriting(const char* path) {
  if (path == nullptr) return nullptr;
  struct stat st {};
  if (stat(path, &st) == 0 && S_ISDIR(st.st_mode)) return nullptr;
  return std::fopen(path, "wb");
}

bool closeChecked(std::FILE* file) {
  const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
  const bool closed = std::fclose(file) == 0;
  return flushed && closed;
}

bool SafeFileWriter::open(const char* path) {
  abandon();
  if (path == nullptr || *path == '\0') return false;
  target_ = resolveLinks(path);
  struct stat st {};
  const bool exists = stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return false;
  if (exists && !S_ISREG(st.st_mode)) {  // a device or a FIFO: it cannot be replaced
    stream_ = std::fopen(target_.c_str(), "wb");
    return stream_ != nullptr;
  }
  const int fd = createTemporary(target_, &temporary_);
  if (fd < 0) {
    temporary_.clear();
    // A directory that allows no new file may still hold a writable target.
    if (exists && (errno == EACCES || errno == EPERM || errno == EROFS)) {
      stream_ = std::fopen(target_.c_str(), "wb");
      return stream_ != nullptr;
    }
    return false;
  }
  if (exists) fchmod(fd, st.st_mode & 07777);  // a replaced file keeps its mode
  stream_ = fdopen(fd, "wb");
  if (stream_ == nullptr) {
    ::close(fd);
    unlink(temporary_.c_str());
    temporary_.clear();
    return false;
  }
  return true;
}

bool SafeFileWriter::commit() {
  if (stream_ == nullptr) return false;
  bool ok = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
  if (ok && !temporary_.empty()) ok = fsync(fileno(stream_)) == 0;
  ok = (std::fclose(stream_) == 0) && ok;
  stream_ = nullptr;
  if (temporary_.empty()) return ok;
  if (ok) ok = std::rename(temporary_.c_str(), target_.c_str()) == 0;
  if (!ok) unlink(temporary_.c_str());
  temporary_.clear();
  return ok;
}

void SafeFileWriter::abandon() {
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  if (!temporary_.empty()) {
    unlink(temporary_.c_str());
    temporary_.clear();
  }
}

}  // namespace engine
