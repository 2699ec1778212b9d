#include "catalog_message.h"

#include <cstdio>

#include "c_locale.h"
#include "message_signatures.h"
#include "platform/catalog_lookup.h"

void catalogFormat(void* languageModule, unsigned id, char* format, int capacity,
                   bool fallbackLineEnd) {
  const int length = loadCatalogString(languageModule, id, format, capacity);
  if (length > 0) {
    const MessageSignature signature = messageSignature(id);
    // A text for a number the system never issues has no arguments to match.
    if (formatMatches(format, signature.args)) return;
  }
  std::snprintf(format, static_cast<std::size_t>(capacity),
                fallbackLineEnd ? "String %u not found\n" : "String %u not found", id);
}

int vformatCatalogMessage(void* languageModule, char* destination, unsigned id, va_list args) {
  char format[kMessageBufferSize];
  catalogFormat(languageModule, id, format, kMessageBufferSize, false);
  CLocaleScope cLocaleNumbers;
  const int n = std::vsnprintf(destination, kMessageBufferSize, format, args);
  if (n < 0) {
    destination[0] = '\0';
    return 0;
  }
  return n < kMessageBufferSize ? n : kMessageBufferSize - 1;
}

int formatCatalogMessage(void* languageModule, char* destination, unsigned id, ...) {
  va_list args;
  va_start(args, id);
  const int n = vformatCatalogMessage(languageModule, destination, id, args);
  va_end(args);
  return n;
}
