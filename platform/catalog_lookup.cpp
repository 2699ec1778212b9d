#include "catalog_lookup.h"

#include <dlfcn.h>

namespace {
using LoadCatalogStringFn = int (*)(unsigned, char*, int);
}

int loadCatalogString(void* languageModule, unsigned id, char* buffer, int bufferSize) {
  if (buffer == nullptr || bufferSize <= 0) return 0;
  buffer[0] = '\0';
  if (languageModule == nullptr) return 0;
  auto lookup = reinterpret_cast<LoadCatalogStringFn>(dlsym(languageModule, "LoadCatalogString"));
  if (lookup == nullptr) return 0;
  const int n = lookup(id, buffer, bufferSize);
  if (n <= 0 || n >= bufferSize) {  // a replacement library that breaks the contract
    buffer[n <= 0 ? 0 : bufferSize - 1] = '\0';
    return n <= 0 ? 0 : bufferSize - 1;
  }
  buffer[n] = '\0';
  return n;
}
