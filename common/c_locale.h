#pragma once
#include <locale.h>

// The "C" locale as an object. Number text of this system never follows the
// user's locale (the dialog program sets one), so parsing and formatting use this.
locale_t cLocale();

// Makes the calling thread use the "C" locale until the scope ends.
class CLocaleScope {
 public:
  CLocaleScope() : previous_(uselocale(cLocale())) {}
  ~CLocaleScope() { uselocale(previous_); }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t previous_;
};
