#include "platform/program_log.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdlib>

#include "wide_text.h"

bool isUsersToWrite(const std::string& directory) {
  const DWORD attributes = GetFileAttributesW(widen(directory).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_READONLY);
}

// %LOCALAPPDATA%\Vantiro\, created when missing.
std::optional<std::string> stateDirectory() {
  const wchar_t* base = _wgetenv(L"LOCALAPPDATA");
  if (base == nullptr || *base == L'\0') return std::nullopt;
  std::wstring directory = std::wstring(base) + L"\\Vantiro";
  CreateDirectoryW(directory.c_str(), nullptr);
  const DWORD attributes = GetFileAttributesW(directory.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  return narrow(directory) + "\\";
}

// Appends to a plain file only: a directory, a device or a link (a reparse
// point) is refused. Binary mode, so the log's lines end as on Linux.
std::FILE* openLogFile(const std::string& path) {
  const HANDLE file = CreateFileW(widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || GetFileInformationByHandle(file, &info) == 0 ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
    CloseHandle(file);
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_APPEND | _O_BINARY | _O_WRONLY);
  if (fd < 0) {
    CloseHandle(file);
    return nullptr;
  }
  std::FILE* stream = _fdopen(fd, "ab");
  if (stream == nullptr) _close(fd);
  return stream;
}
