#include "library_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

bool fileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

void* openExisting(const std::string& path, int* errorCode) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  *errorCode = handle != nullptr ? 0 : ENOEXEC;
  return handle;
}

}  // namespace

std::string programDirectory() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  path[n] = '\0';
  char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return {};
  slash[1] = '\0';
  return path;
}

void* loadLibrary(const char* fileName, int* errorCode) {
  int ignored = 0;
  if (errorCode == nullptr) errorCode = &ignored;
  if (fileName == nullptr || *fileName == '\0') {
    *errorCode = ENOENT;
    return nullptr;
  }
  if (std::strchr(fileName, '/') != nullptr) {
    if (!fileExists(fileName)) {
      *errorCode = ENOENT;
      return nullptr;
    }
    return openExisting(fileName, errorCode);
  }
  // The program's own directory first, then the system's search; the current
  // directory only last, so that a file planted wherever the user happens to
  // run the program never shadows an installed library.
  const std::string programDir = programDirectory();
  if (!programDir.empty() && fileExists(programDir + fileName)) {
    return openExisting(programDir + fileName, errorCode);
  }
  if (void* handle = dlopen(fileName, RTLD_NOW | RTLD_LOCAL)) {
    *errorCode = 0;
    return handle;
  }
  const std::string inCurrentDirectory = std::string("./") + fileName;
  if (fileExists(inCurrentDirectory)) return openExisting(inCurrentDirectory, errorCode);
  *errorCode = ENOENT;
  return nullptr;
}

void* librarySymbol(void* library, const char* name, int* errorCode) {
  void* symbol = library != nullptr ? dlsym(library, name) : nullptr;
  if (errorCode != nullptr) *errorCode = symbol != nullptr ? 0 : ENOENT;
  return symbol;
}

void freeLibrary(void* library) {
  if (library != nullptr) dlclose(library);
}
