#pragma once
#include <string>

// Loading of the engine libraries and Language.dll by file name. A bare name
// (no '/') is looked for in the program's own directory, then through the
// system's library search, and only then in the current directory. Error codes are errno values:
// ENOENT when no such file was found, ENOEXEC when a file was found but could
// not be loaded.
void* loadLibrary(const char* fileName, int* errorCode);
void* librarySymbol(void* library, const char* name, int* errorCode);
void freeLibrary(void* library);

// The directory of the running program, with a trailing '/'; empty if unknown.
std::string programDirectory();
