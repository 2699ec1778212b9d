#pragma once
#include <cstdio>

// Prints catalogue message `id`, formatted with the arguments, straight to
// standard output. The text carries its own line end; a missing or unusable
// text prints "String <id> not found" on a line of its own.
void printCatalogMessage(void* languageModule, unsigned id, ...);

// Opens "cmdapp.log" for appending beside the user manual, or in the user's
// state directory when the manual's directory is not the user's to write;
// nullptr when there is no manual or no log can be opened.
std::FILE* openConsoleLog();
