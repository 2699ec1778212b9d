// The safe save on Windows (NTFS): the text goes to a temporary file in the
// target's directory, which is flushed to disk and then moved over the target
// in one step (MoveFileExW with MOVEFILE_REPLACE_EXISTING and
// MOVEFILE_WRITE_THROUGH), so the target is the old file or the new one, never
// a part of either. A failed or abandoned save deletes its temporary. A
// read-only target is refused, as writing it in place would be. A target that
// is no disk file (NUL, CON, a pipe) is written in place.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "model/safe_file.h"
#include "platform/windows/wide_text.h"

namespace engine {

namespace {

std::string directoryPart(const std::string& path) {
  const auto slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string namePart(const std::string& path) {
  const auto slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A write stream over a Windows file handle, in binary mode: the file's
// bytes, line ends included, are the same as the Linux build writes.
std::FILE* streamOver(HANDLE file) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY | _O_WRONLY);
  if (fd < 0) {
    CloseHandle(file);
    return nullptr;
  }
  std::FILE* stream = _fdopen(fd, "wb");
  if (stream == nullptr) _close(fd);
  return stream;
}

// True when `path` names a device rather than a file (NUL, CON, COM1, a pipe).
bool namesADevice(const std::wstring& path) {
  const HANDLE probe = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return false;
  const bool device = GetFileType(probe) != FILE_TYPE_DISK;
  CloseHandle(probe);
  return device;
}

constexpr int kNameAttempts = 100;

}  // namespace

bool SafeFileWriter::open(const char* path) {
  abandon();
  if (path == nullptr || *path == '\0') return false;
  target_ = path;
  const std::wstring target = widen(target_);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (namesADevice(target)) {  // nothing to replace: written in place
    const HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    stream_ = streamOver(file);
    return stream_ != nullptr;
  }
  // Replacing a file must not get round the protection its owner gave it.
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  return openReplacement();
}

bool SafeFileWriter::openReplacement() {
  const std::string stem = directoryPart(target_) + "." + namePart(target_) + ".";
  // The tag differs from run to run and from process to process.
  unsigned long long tag = GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 20);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    tag = tag * 6364136223846793005ull + 1442695040888963407ull;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%06x.tmp", static_cast<unsigned>((tag >> 24) & 0xFFFFFFu));
    const std::string name = stem + suffix;
    const HANDLE file = CreateFileW(widen(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      return false;
    }
    temporary_ = name;
    stream_ = streamOver(file);
    if (stream_ == nullptr) {
      DeleteFileW(widen(temporary_).c_str());
      temporary_.clear();
      return false;
    }
    replacing_ = true;
    return true;
  }
  return false;
}

// Not needed on Windows: every replacement has a name from the start.
bool SafeFileWriter::nameUnnamedFile() { return false; }

bool SafeFileWriter::commit() {
  if (stream_ == nullptr) return false;
  bool ok = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
  if (ok && replacing_) {
    const HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream_)));
    ok = FlushFileBuffers(file) != 0;
  }
  ok = (std::fclose(stream_) == 0) && ok;
  stream_ = nullptr;
  if (!replacing_) return ok;
  replacing_ = false;
  const std::wstring temporary = widen(temporary_);
  if (ok) {
    ok = MoveFileExW(temporary.c_str(), widen(target_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) DeleteFileW(temporary.c_str());
  temporary_.clear();
  return ok;
}

void SafeFileWriter::abandon() {
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  if (!temporary_.empty()) {
    DeleteFileW(widen(temporary_).c_str());
    temporary_.clear();
  }
  replacing_ = false;
  unnamed_ = false;
}

}  // namespace engine
