#pragma once
#include <cstdint>
#include <string>

// The per-user settings: on Windows HKEY_CURRENT_USER itself (registry_win.cpp);
// elsewhere the store that stands in for it: one
// REGEDIT4 text file, ${XDG_CONFIG_HOME:-~/.config}/vantiro/HKCU.reg. Keys are
// paths below HKEY_CURRENT_USER ("Software\\Maker\\Program"); key and value
// names compare without regard to ASCII case. Every operation returns a Win32
// error code, so callers log the same numbers the platform would give.

constexpr long kRegistrySuccess = 0;            // ERROR_SUCCESS
constexpr long kRegistryNotFound = 2;           // ERROR_FILE_NOT_FOUND
constexpr long kRegistryAccessDenied = 5;       // ERROR_ACCESS_DENIED
constexpr long kRegistryInvalidHandle = 6;      // ERROR_INVALID_HANDLE
constexpr long kRegistryInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
constexpr long kRegistryMoreData = 234;         // ERROR_MORE_DATA
constexpr long kRegistryCannotWrite = 1013;     // ERROR_CANTWRITE

// Value types, numbered as the registry numbers them.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

// An open key. Opened for querying it holds the values as they were read;
// opened for setting it collects the values and writes them when closed.
struct RegistryKeyState;
using RegistryKey = RegistryKeyState*;

// Opens an existing key for querying. kRegistryNotFound when the store or the
// key does not exist. A store that cannot be parsed line by line reads as if
// the unreadable lines were absent.
long regOpenKeyEx(const char* subKey, RegistryKey* result);

// Reads value `valueName`. With `data` null only `*size` is set to the size
// the data needs. With a buffer smaller than the data, `*size` receives the
// size needed and the result is kRegistryMoreData. `type` may be null.
long regQueryValueEx(RegistryKey key, const char* valueName, std::uint32_t* type,
                     std::uint8_t* data, std::uint32_t* size);

// Opens a key for setting values, creating it (and the store's directory) if
// needed. kRegistryAccessDenied when the store's directory cannot be written.
long regCreateKeyEx(const char* subKey, RegistryKey* result);

// Sets value `valueName` to `size` bytes of `data` with `type`. The value is
// stored when the key is closed.
long regSetValueEx(RegistryKey key, const char* valueName, std::uint32_t type,
                   const std::uint8_t* data, std::uint32_t size);

// Closes a key. A key opened for setting writes the whole store at this
// moment, atomically (temporary file, then rename), merged into the store as
// it then stands: kRegistryCannotWrite if that fails, in which case the store
// keeps its previous content.
long regCloseKey(RegistryKey key);

// The file that holds the store for the current user.
std::string registryStorePath();
