// The settings store's reader on an arbitrary HKCU.reg: opening the dialog's
// key and querying its values, with and without room for the data.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "platform/registry.h"

namespace {

const char* const kKeys[] = {"Software\\Brennix Software\\Vantiro", "Software", "a"};
const char* const kValues[] = {"", "Mode", "NumberOfNeurons", "InputFile", "a"};

// In memory where possible: a disk file system flushes a truncated and
// rewritten file at every close, which would slow each run a hundredfold.
char storeDirectory[] = "/dev/shm/vantiro-fuzz-XXXXXX";

void removeStoreDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(storeDirectory, ignored);
}

// The store lives in a directory of this process's own, removed at exit.
std::string storeFile() {
  static const std::string path = [] {
    const char* directory = mkdtemp(storeDirectory);
    if (directory == nullptr) {
      std::memcpy(storeDirectory, "/tmp/vantiro-fuzz-XXXXXX", sizeof "/tmp/vantiro-fuzz-XXXXXX");
      directory = mkdtemp(storeDirectory);
    }
    if (directory == nullptr) std::abort();
    std::atexit(removeStoreDirectory);
    setenv("XDG_CONFIG_HOME", directory, 1);
    mkdir((std::string(directory) + "/vantiro").c_str(), 0700);
    return registryStorePath();
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = storeFile();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);
  for (const char* keyName : kKeys) {
    RegistryKey key = nullptr;
    if (regOpenKeyEx(keyName, &key) != kRegistrySuccess) continue;
    for (const char* valueName : kValues) {
      std::uint32_t type = 0;
      std::uint32_t needed = 0;
      const long sized = regQueryValueEx(key, valueName, &type, nullptr, &needed);
      if (sized != kRegistrySuccess) continue;
      std::uint8_t small[4];
      std::uint32_t room = sizeof small;
      const long result = regQueryValueEx(key, valueName, nullptr, small, &room);
      fuzzing::require(result == (needed > sizeof small ? kRegistryMoreData : kRegistrySuccess));
      fuzzing::require(room == needed);
      std::string whole(needed, '\0');
      room = needed;
      fuzzing::require(regQueryValueEx(key, valueName, nullptr,
                                       reinterpret_cast<std::uint8_t*>(whole.data()),
                                       &room) == kRegistrySuccess);
    }
    regCloseKey(key);
  }
  return 0;
}
