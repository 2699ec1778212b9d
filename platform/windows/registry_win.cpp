#include "platform/registry.h"

#include <windows.h>

// HKEY_CURRENT_USER itself. The results are the registry's own error codes,
// which the callers log as they are.
struct RegistryKeyState {
  HKEY key;
};

namespace {

long opened(LSTATUS status, HKEY key, RegistryKey* result) {
  if (status != ERROR_SUCCESS) return status;
  *result = new RegistryKeyState{key};
  return ERROR_SUCCESS;
}

}  // namespace

long regOpenKeyEx(const char* subKey, RegistryKey* result) {
  if (result == nullptr || subKey == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  HKEY key = nullptr;
  const LSTATUS status = RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_QUERY_VALUE, &key);
  return opened(status, key, result);
}

long regQueryValueEx(RegistryKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                     std::uint32_t* size) {
  if (key == nullptr) return ERROR_INVALID_HANDLE;
  DWORD valueType = 0;
  DWORD bytes = size != nullptr ? *size : 0;
  const LSTATUS status =
      RegQueryValueExA(key->key, valueName, nullptr, &valueType, data, size != nullptr ? &bytes : nullptr);
  if (type != nullptr) *type = valueType;
  if (size != nullptr) *size = bytes;
  return status;
}

long regCreateKeyEx(const char* subKey, RegistryKey* result) {
  if (result == nullptr || subKey == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  HKEY key = nullptr;
  const LSTATUS status = RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_SET_VALUE, nullptr, &key, nullptr);
  return opened(status, key, result);
}

long regSetValueEx(RegistryKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                   std::uint32_t size) {
  if (key == nullptr) return ERROR_INVALID_HANDLE;
  return RegSetValueExA(key->key, valueName, 0, type, data, size);
}

long regCloseKey(RegistryKey key) {
  if (key == nullptr) return ERROR_INVALID_HANDLE;
  const LSTATUS status = RegCloseKey(key->key);
  delete key;
  return status;
}

std::string registryStorePath() { return "HKEY_CURRENT_USER"; }
