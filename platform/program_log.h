#pragma once
#include <cstdio>
#include <optional>
#include <string>

// Where the programs keep their logs (cmdapp.log, guiapp.log) and how a log
// is opened. A log sits beside the user manual that was found when that
// directory is the user's own to write; otherwise, or when the log there
// cannot be opened, in the user's state directory, so that an installed
// program keeps its log too. Nothing is said when no log can be opened.

// Opens `logName` for appending in `manualDirectory` or, failing that, in
// stateDirectory(). nullptr when neither gives a log.
std::FILE* openProgramLog(const std::string& manualDirectory, const char* logName);

// Opens `path` for appending without following a link and without blocking
// (a FIFO, a device): only a regular file of the user is kept open; anything
// else is refused, and a link's target is never created. The file is created
// (0600) when missing. nullptr when refused or not openable.
std::FILE* openLogFile(const std::string& path);

// True for a directory the user owns and may write to, by its permissions
// alone: a directory of another user, a shared one such as /tmp, or one
// without the owner's write permission is not.
bool isUsersToWrite(const std::string& directory);

// ${XDG_STATE_HOME:-~/.local/state}/vantiro/, with its trailing '/', created
// with permissions 0700 (with any missing parent) when missing; none when
// there is no home directory or the directory is not the user's to write.
std::optional<std::string> stateDirectory();
