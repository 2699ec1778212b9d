#include "platform/catalog_lookup.h"

#include <windows.h>

// Language.dll is a resource-only DLL: its STRINGTABLE is read with LoadStringA,
// so a translation made with any resource editor replaces it.
int loadCatalogString(void* languageModule, unsigned id, char* buffer, int bufferSize) {
  if (buffer == nullptr || bufferSize <= 0) return 0;
  buffer[0] = '\0';
  if (languageModule == nullptr || id > 0xFFFF) return 0;
  const int n = LoadStringA(static_cast<HINSTANCE>(languageModule), id, buffer, bufferSize);
  if (n <= 0) {
    buffer[0] = '\0';
    return 0;
  }
  const int copied = n < bufferSize ? n : bufferSize - 1;
  buffer[copied] = '\0';
  return copied;
}
