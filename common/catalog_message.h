#pragma once
#include <cstdarg>

// Size of every message buffer: a formatted message never grows past 511
// characters and its NUL.
inline constexpr int kMessageBufferSize = 512;

// Turns message number `id` into text in `destination` (kMessageBufferSize
// bytes), using the catalogue text of `languageModule` as the printf format.
// A missing text, or one whose conversions do not match the arguments the
// message receives, is replaced by "String %u not found" with the number.
// Returns the length written.
int formatCatalogMessage(void* languageModule, char* destination, unsigned id, ...);
int vformatCatalogMessage(void* languageModule, char* destination, unsigned id, va_list args);

// Loads the format used for message `id` into `format` (`capacity` bytes):
// the catalogue text when it is usable, else the fallback text with the number
// filled in. `fallbackLineEnd` adds "\n" to the fallback (the console's direct
// printing wants it).
void catalogFormat(void* languageModule, unsigned id, char* format, int capacity,
                   bool fallbackLineEnd);
