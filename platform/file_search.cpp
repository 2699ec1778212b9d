#include "file_search.h"

#include <sys/stat.h>

#include <cstdlib>
#include <vector>

#include "library_loader.h"

namespace {

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string withSlash(std::string directory) {
  if (!directory.empty() && directory.back() != '/') directory += '/';
  return directory;
}

}  // namespace

std::string directoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::optional<std::string> searchPath(const char* fileName) {
  std::vector<std::string> directories = {programDirectory(), "./", "/usr/local/share/vantiro/",
                                          "/usr/share/vantiro/"};
  if (const char* path = std::getenv("PATH")) {
    std::string list = path;
    std::size_t start = 0;
    while (start <= list.size()) {
      const std::size_t colon = list.find(':', start);
      const std::size_t end = colon == std::string::npos ? list.size() : colon;
      // An empty PATH entry means the current directory, which is searched already.
      if (end > start) directories.push_back(withSlash(list.substr(start, end - start)));
      if (colon == std::string::npos) break;
      start = colon + 1;
    }
  }
  for (const std::string& directory : directories) {
    if (directory.empty()) continue;
    std::string candidate = directory + fileName;
    if (isRegularFile(candidate)) {
      if (directory == "./") {
        // Keep the log beside the manual even if the program changes directory later.
        if (char* absolute = realpath(candidate.c_str(), nullptr)) {
          candidate = absolute;
          std::free(absolute);
        }
      }
      return candidate;
    }
  }
  return std::nullopt;
}
