#pragma once
#include <locale.h>

#include <string>

// Number text of this system never follows the user's locale (the dialog
// program sets one), so parsing and formatting go through the "C" locale.

// strtod in the "C" locale, whatever the thread's locale.
double strtodInCLocale(const char* text, char** end);

// Makes the calling thread use the "C" locale until the scope ends.
class CLocaleScope {
 public:
  CLocaleScope();
  ~CLocaleScope();
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
#if defined(_WIN32)
  int previousMode_;          // the thread's locale mode (_configthreadlocale)
  std::string previousName_;  // the thread's locale, given back at the end
#else
  locale_t previous_;
#endif
};
