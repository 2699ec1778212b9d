#include "console_messages.h"

#include <cstdarg>

#include "common/c_locale.h"
#include "common/catalog_message.h"
#include "platform/file_search.h"
#include "platform/program_log.h"

namespace {
// The usage text is the one long message; it is printed whole.
constexpr int kConsoleTextCapacity = 8192;
}  // namespace

void printCatalogMessage(void* languageModule, unsigned id, ...) {
  char format[kConsoleTextCapacity];
  catalogFormat(languageModule, id, format, kConsoleTextCapacity, true);
  va_list args;
  va_start(args, id);
  {
    CLocaleScope cLocaleNumbers;
    std::vprintf(format, args);
  }
  va_end(args);
  std::fflush(stdout);
}

std::FILE* openConsoleLog() {
  const auto manual = searchPath("VantiroUserManual.chm");
  if (!manual) return nullptr;
  return openProgramLog(directoryOf(*manual), "cmdapp.log");
}
