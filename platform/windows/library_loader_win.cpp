#include "platform/library_loader.h"

#include <windows.h>

#include <cstring>

#include "wide_text.h"

namespace {

bool hasDirectoryPart(const char* name) {
  return std::strchr(name, '/') != nullptr || std::strchr(name, '\\') != nullptr ||
         std::strchr(name, ':') != nullptr;
}

}  // namespace

std::string programDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() > 32768) return {};
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  return narrow(path.substr(0, slash + 1));
}

// A bare name is looked for in the program's directory, then in System32: the
// current directory and PATH are never searched, so a DLL planted where the
// user happens to work is never loaded. A name with a directory is loaded
// from there (its own dependencies from its directory and System32).
void* loadLibrary(const char* fileName, int* errorCode) {
  int ignored = 0;
  if (errorCode == nullptr) errorCode = &ignored;
  if (fileName == nullptr || *fileName == '\0') {
    *errorCode = ERROR_MOD_NOT_FOUND;
    return nullptr;
  }
  HMODULE module = nullptr;
  // No "cannot find the file" box from the system: the caller reports it.
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  if (hasDirectoryPart(fileName)) {
    const std::wstring name = widen(fileName);
    std::wstring full(32768, L'\0');
    const DWORD n = GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) {
      *errorCode = static_cast<int>(GetLastError());
      SetErrorMode(previousMode);
      return nullptr;
    }
    full.resize(n);
    module = LoadLibraryExW(full.c_str(), nullptr,
                            LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  } else {
    module = LoadLibraryExW(widen(fileName).c_str(), nullptr,
                            LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  *errorCode = module != nullptr ? 0 : static_cast<int>(GetLastError());
  SetErrorMode(previousMode);
  return module;
}

void* librarySymbol(void* library, const char* name, int* errorCode) {
  FARPROC symbol = nullptr;
  int error = ERROR_INVALID_HANDLE;
  if (library != nullptr) {
    symbol = GetProcAddress(static_cast<HMODULE>(library), name);
    error = symbol != nullptr ? 0 : static_cast<int>(GetLastError());
  }
  if (errorCode != nullptr) *errorCode = error;
  return reinterpret_cast<void*>(symbol);
}

void freeLibrary(void* library) {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}
