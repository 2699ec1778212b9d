#include "c_locale.h"

#include <stdlib.h>

// Windows has no uselocale: the thread is given a locale of its own for the
// scope (_configthreadlocale), set to "C", and its previous one back afterwards.
namespace {

_locale_t cLocale() {
  static const _locale_t c = _create_locale(LC_ALL, "C");
  return c;
}

}  // namespace

double strtodInCLocale(const char* text, char** end) {
  return cLocale() != nullptr ? _strtod_l(text, end, cLocale()) : strtod(text, end);
}

CLocaleScope::CLocaleScope() : previousMode_(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
  const char* current = setlocale(LC_ALL, nullptr);
  previousName_ = current != nullptr ? current : "C";
  setlocale(LC_ALL, "C");
}

CLocaleScope::~CLocaleScope() {
  setlocale(LC_ALL, previousName_.c_str());
  if (previousMode_ != -1) _configthreadlocale(previousMode_);
}
