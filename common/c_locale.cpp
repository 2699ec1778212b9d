#include "c_locale.h"

#include <cstdlib>

namespace {

locale_t cLocale() {
  // Created once and never changed; newlocale for "C" cannot fail for want of
  // locale files, and LC_GLOBAL_LOCALE is a safe stand-in should it fail anyway.
  static const locale_t c = [] {
    locale_t l = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return l != static_cast<locale_t>(nullptr) ? l : LC_GLOBAL_LOCALE;
  }();
  return c;
}

}  // namespace

double strtodInCLocale(const char* text, char** end) { return strtod_l(text, end, cLocale()); }

CLocaleScope::CLocaleScope() : previous_(uselocale(cLocale())) {}
CLocaleScope::~CLocaleScope() { uselocale(previous_); }
