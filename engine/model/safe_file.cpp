#include "model/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace engine {

namespace {

// A path that stands for one of the process's own descriptors (/dev/stdout is
// a link to one): its link text is no file name, and it is written in place.
bool namesADescriptor(const std::string& path) {
  return path.rfind("/proc/", 0) == 0 || path.rfind("/dev/fd/", 0) == 0;
}

// Follows symbolic links to the path that will really be written. False when
// the chain leads to a process descriptor.
bool resolveLinks(std::string path, std::string* resolved) {
  for (int depth = 0; depth < 40 && !namesADescriptor(path); ++depth) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *resolved = path;
      return true;
    }
    char target[PATH_MAX];
    const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) {
      *resolved = path;
      return true;
    }
    target[n] = '\0';
    if (target[0] == '/') {
      path = target;
    } else {
      const auto slash = path.rfind('/');
      path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
    }
  }
  *resolved = path;
  return !namesADescriptor(path);
}

std::string directoryPart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string namePart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string descriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// A name for a temporary file beside `target` that is free at this moment.
class TemporaryNames {
 public:
  explicit TemporaryNames(const std::string& target)
      : stem_(directoryPart(target) + "." + namePart(target) + ".") {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tag_ = static_cast<unsigned long>(now.tv_nsec) ^ (static_cast<unsigned long>(getpid()) << 20);
  }
  std::string next() {
    tag_ = tag_ * 6364136223846793005ul + 1442695040888963407ul;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%06lx.tmp", (tag_ >> 24) & 0xFFFFFFul);
    return stem_ + suffix;
  }

 private:
  std::string stem_;
  unsigned long tag_;
};

constexpr int kNameAttempts = 100;

// Creates a named temporary file beside `target`; the mode a plain create
// would give a new file (0666 less the umask) comes from open() itself.
int createNamedTemporary(const std::string& target, std::string* name) {
  TemporaryNames names(target);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    *name = names.next();
    const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Creates a file without a name in the target's directory, where the file
// system has them and the process can name them later through /proc.
int createUnnamedTemporary(const std::string& target) {
  const std::string directory = directoryPart(target);
  const int fd =
      ::open(directory.empty() ? "." : directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  if (access(descriptorPath(fd).c_str(), F_OK) != 0) {
    ::close(fd);
    errno = EOPNOTSUPP;
    return -1;
  }
  return fd;
}

// The replacement takes over what the user set on the file it replaces: the
// owner and group where the process may set them (else the group alone, else
// neither), then the mode, after the owner, which would clear set-id bits.
void keepAttributes(int fd, const struct stat& replaced) {
  struct stat mine {};
  if (fstat(fd, &mine) == 0 && (mine.st_uid != replaced.st_uid || mine.st_gid != replaced.st_gid)) {
    if (fchown(fd, replaced.st_uid, replaced.st_gid) != 0 &&
        fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) != 0) {
      // Not permitted: the file becomes the saver's, as a new file would.
    }
  }
  fchmod(fd, replaced.st_mode & 07777);
}

// Makes the directory entry of a completed replacement durable too; a
// failure here loses nothing that was promised, so it is not reported.
void syncDirectory(const std::string& target) {
  const std::string directory = directoryPart(target);
  const int fd =
      ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  ::close(fd);
}

}  // namespace

bool SafeFileWriter::open(const char* path) {
  abandon();
  if (path == nullptr || *path == '\0') return false;
  struct stat st {};
  const bool descriptor = !resolveLinks(path, &target_);
  if (descriptor) target_ = path;
  const bool exists = stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return false;
  if (descriptor ||
      (exists && !S_ISREG(st.st_mode))) {  // nothing that can be replaced: write in place
    stream_ = std::fopen(target_.c_str(), "wb");
    return stream_ != nullptr;
  }
  // Replacing a file must not get round the protection its owner gave it.
  if (exists && faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) return false;
  if (openReplacement()) {
    if (exists) keepAttributes(fileno(stream_), st);
    return true;
  }
  // A directory that allows no new file may still hold a writable target.
  if (exists && (errno == EACCES || errno == EPERM || errno == EROFS)) {
    stream_ = std::fopen(target_.c_str(), "wb");
    return stream_ != nullptr;
  }
  return false;
}

bool SafeFileWriter::openReplacement() {
  int fd = createUnnamedTemporary(target_);
  unnamed_ = fd >= 0;
  if (fd < 0 && errno != EACCES && errno != EPERM && errno != EROFS)
    fd = createNamedTemporary(target_, &temporary_);
  if (fd < 0) {
    const int error = errno;
    temporary_.clear();
    unnamed_ = false;
    errno = error;
    return false;
  }
  stream_ = fdopen(fd, "wb");
  if (stream_ == nullptr) {
    ::close(fd);
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
    unnamed_ = false;
    return false;
  }
  replacing_ = true;
  return true;
}

// Gives the completed unnamed file a name: the target's itself when there is
// none yet, else a temporary one that the rename then moves over the target.
bool SafeFileWriter::nameUnnamedFile() {
  const std::string source = descriptorPath(fileno(stream_));
  if (linkat(AT_FDCWD, source.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    unnamed_ = false;
    return true;
  }
  if (errno != EEXIST) return false;
  TemporaryNames names(target_);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name = names.next();
    if (linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temporary_ = std::move(name);
      unnamed_ = false;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool SafeFileWriter::commit() {
  if (stream_ == nullptr) return false;
  bool ok = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
  if (ok && replacing_) ok = fsync(fileno(stream_)) == 0;
  if (ok && unnamed_) ok = nameUnnamedFile();
  ok = (std::fclose(stream_) == 0) && ok;
  stream_ = nullptr;
  unnamed_ = false;
  if (!replacing_) return ok;
  replacing_ = false;
  if (ok && !temporary_.empty()) ok = std::rename(temporary_.c_str(), target_.c_str()) == 0;
  if (!ok && !temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
  if (ok) syncDirectory(target_);
  return ok;
}

void SafeFileWriter::abandon() {
  if (stream_ != nullptr) {
    std::fclose(stream_);  // an unnamed file vanishes with its last descriptor
    stream_ = nullptr;
  }
  if (!temporary_.empty()) {
    unlink(temporary_.c_str());
    temporary_.clear();
  }
  replacing_ = false;
  unnamed_ = false;
}

}  // namespace engine
