#pragma once

// The string lookup of a loaded Language.dll: copies at most bufferSize-1
// characters of string `id` and a NUL into `buffer` and returns the number
// copied; 0 and an empty buffer when the table (or the module) has no such string.
int loadCatalogString(void* languageModule, unsigned id, char* buffer, int bufferSize);
