#pragma once
#include <cstdio>

// Prints catalogue message `id`, formatted with the arguments, straight to
// standard output. The text carries its own line end; a missing or unusable
// text prints "String <id> not found" on a line of its own.
void printCatalogMessage(void* languageModule, unsigned id, ...);

// Opens "cmdapp.log" for appending in the directory where the user manual is
// found; nullptr when there is no manual or the log cannot be opened.
std::FILE* openConsoleLog();
