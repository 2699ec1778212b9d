#pragma once
#include <optional>
#include <string>

// Finds `fileName` the way the programs look for their user manual: in the
// program's directory, the current directory, the system directories
// (/usr/local/share/vantiro, /usr/share/vantiro), then each directory of PATH.
// Returns the full path of the first regular file found.
std::optional<std::string> searchPath(const char* fileName);

// The directory part of a path, with its trailing '/'.
std::string directoryOf(const std::string& path);
