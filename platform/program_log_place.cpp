// Where a log goes, the same on every system: beside the manual when that
// directory is the user's own, else in the user's state directory. The three
// services it asks are each system's own (program_log.cpp, windows/).
#include "program_log.h"

std::FILE* openProgramLog(const std::string& manualDirectory, const char* logName) {
  if (isUsersToWrite(manualDirectory)) {
    if (std::FILE* log = openLogFile(manualDirectory + logName)) return log;
  }
  const auto fallback = stateDirectory();
  if (!fallback) return nullptr;
  return openLogFile(*fallback + logName);
}
