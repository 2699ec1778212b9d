#pragma once
#include <optional>
#include <string>
#include <vector>

// Finds `fileName` the way the programs look for their user manual, in the
// directories of manualSearchDirectories(), and returns the full path of the
// first regular file found.
std::optional<std::string> searchPath(const char* fileName);

// The directories searched, in order, each with a trailing '/': the program's
// directory, the shared data directories (the install prefix's share/vantiro,
// /usr/local/share/vantiro, /usr/share/vantiro), the current directory, then
// each directory of PATH. What is installed comes first, so a file left
// wherever the program happens to be started never shadows an installed one.
// Every entry is absolute: the current directory is named as it is, without
// resolving links, and relative PATH entries are taken from it.
std::vector<std::string> manualSearchDirectories();

// The shared data directory of the prefix a program directory is installed
// under ("<prefix>/lib/vantiro/" gives "<prefix>/share/vantiro/"); none for a
// program directory elsewhere, such as a build's.
std::optional<std::string> sharedDataDirectoryOf(const std::string& programDir);

// The directory part of a path, with its trailing '/'.
std::string directoryOf(const std::string& path);
