#include "program_log.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

// Creates each missing directory of `path` (absolute, ending in '/') with 0700.
void makeDirectories(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
  }
}

std::string homeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  if (const passwd* entry = getpwuid(geteuid());
      entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') {
    return entry->pw_dir;
  }
  return {};
}

}  // namespace

bool isUsersToWrite(const std::string& directory) {
  struct stat st {};
  if (stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  // The permission bits, not access(): a program run by root may write
  // anywhere, yet a directory it does not own is still not its own.
  return st.st_uid == geteuid() && (st.st_mode & S_IWUSR) != 0 &&
         access(directory.c_str(), W_OK) == 0;
}

std::optional<std::string> stateDirectory() {
  std::string base;
  // The variable counts only when it holds an absolute path.
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
    base = state;
  } else {
    // A home directory that is not there is not made up.
    const std::string home = homeDirectory();
    struct stat st {};
    if (home.empty() || stat(home.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    base = home + "/.local/state";
  }
  if (base.back() != '/') base += '/';
  const std::string directory = base + "vantiro/";
  makeDirectories(directory);
  if (!isUsersToWrite(directory)) return std::nullopt;
  return directory;
}

std::FILE* openLogFile(const std::string& path) {
  // O_NOFOLLOW refuses a link even when its target is missing, so a planted
  // link never makes the program create a file elsewhere; O_NONBLOCK keeps a
  // FIFO without a reader from holding the program at start.
  const int fd =
      open(path.c_str(),
           O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
    close(fd);
    return nullptr;
  }
  // A regular file's writes do not block; the flag goes so as not to surprise.
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* stream = fdopen(fd, "a");
  if (stream == nullptr) close(fd);
  return stream;
}
