#include "file_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "library_loader.h"

#ifndef VANTIRO_INSTALL_PROGRAM_DIR
#define VANTIRO_INSTALL_PROGRAM_DIR "lib/vantiro"
#endif
#ifndef VANTIRO_INSTALL_DATA_DIR
#define VANTIRO_INSTALL_DATA_DIR "share/vantiro"
#endif

namespace {

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string withSlash(std::string directory) {
  if (!directory.empty() && directory.back() != '/') directory += '/';
  return directory;
}

// The current directory as the kernel names it; "./" if it cannot be named.
std::string currentDirectory() {
  std::string buffer(4096, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return "./";
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(buffer.find('\0'));
  return withSlash(buffer);
}

}  // namespace

std::string directoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::optional<std::string> sharedDataDirectoryOf(const std::string& programDir) {
  const std::string tail = std::string("/") + VANTIRO_INSTALL_PROGRAM_DIR + "/";
  if (programDir.size() < tail.size() ||
      programDir.compare(programDir.size() - tail.size(), tail.size(), tail) != 0) {
    return std::nullopt;
  }
  return programDir.substr(0, programDir.size() - tail.size() + 1) + VANTIRO_INSTALL_DATA_DIR + "/";
}

std::vector<std::string> manualSearchDirectories() {
  const std::string programDir = programDirectory();
  const std::string working = currentDirectory();
  std::vector<std::string> directories;
  if (!programDir.empty()) directories.push_back(programDir);
  if (const auto shared = sharedDataDirectoryOf(programDir)) directories.push_back(*shared);
  directories.push_back("/usr/local/share/vantiro/");
  directories.push_back("/usr/share/vantiro/");
  directories.push_back(working);
  if (const char* path = std::getenv("PATH")) {
    const std::string list = path;
    std::size_t start = 0;
    while (start <= list.size()) {
      const std::size_t colon = list.find(':', start);
      const std::size_t end = colon == std::string::npos ? list.size() : colon;
      // An empty PATH entry means the current directory, which is searched already.
      if (end > start) {
        std::string entry = withSlash(list.substr(start, end - start));
        if (entry.front() != '/') entry = working + entry;
        directories.push_back(entry);
      }
      if (colon == std::string::npos) break;
      start = colon + 1;
    }
  }
  return directories;
}

std::optional<std::string> searchPath(const char* fileName) {
  for (const std::string& directory : manualSearchDirectories()) {
    std::string candidate = directory + fileName;
    if (isRegularFile(candidate)) return candidate;
  }
  return std::nullopt;
}
