#include "platform/file_search.h"

#include <windows.h>

#include <cstdlib>

#include "platform/library_loader.h"
#include "wide_text.h"

namespace {

std::string withSeparator(std::string directory) {
  if (!directory.empty() && directory.back() != '\\' && directory.back() != '/') directory += '\\';
  return directory;
}

std::string currentDirectory() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return ".\\";
  std::wstring buffer(n, L'\0');
  const DWORD got = GetCurrentDirectoryW(n, buffer.data());
  buffer.resize(got < n ? got : 0);
  return withSeparator(narrow(buffer));
}

}  // namespace

std::string directoryOf(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".\\") : path.substr(0, slash + 1);
}

// An installed Windows program keeps its manual in its own directory.
std::optional<std::string> sharedDataDirectoryOf(const std::string&) { return std::nullopt; }

// SearchPathA's order with the safe search mode Windows uses: the program's
// directory, the system directories, the current directory, then PATH.
std::vector<std::string> manualSearchDirectories() {
  std::vector<std::string> directories;
  if (std::string programDir = programDirectory(); !programDir.empty()) directories.push_back(programDir);
  wchar_t system[MAX_PATH];
  if (UINT n = GetSystemDirectoryW(system, MAX_PATH); n > 0 && n < MAX_PATH)
    directories.push_back(withSeparator(narrow(std::wstring(system, n))));
  if (UINT n = GetWindowsDirectoryW(system, MAX_PATH); n > 0 && n < MAX_PATH)
    directories.push_back(withSeparator(narrow(std::wstring(system, n))));
  directories.push_back(currentDirectory());
  if (const char* path = std::getenv("PATH")) {
    const std::string list = path;
    std::size_t start = 0;
    while (start <= list.size()) {
      const std::size_t semicolon = list.find(';', start);
      const std::size_t end = semicolon == std::string::npos ? list.size() : semicolon;
      if (end > start) directories.push_back(withSeparator(list.substr(start, end - start)));
      if (semicolon == std::string::npos) break;
      start = semicolon + 1;
    }
  }
  return directories;
}

std::optional<std::string> searchPath(const char* fileName) {
  if (fileName == nullptr || *fileName == '\0') return std::nullopt;
  const std::wstring name = widen(fileName);
  std::wstring found(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = SearchPathW(nullptr, name.c_str(), nullptr, static_cast<DWORD>(found.size()),
                                found.data(), nullptr);
    if (n == 0) return std::nullopt;
    if (n < found.size()) {
      found.resize(n);
      break;
    }
    found.resize(n);
  }
  const DWORD attributes = GetFileAttributesW(found.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  return narrow(found);
}
