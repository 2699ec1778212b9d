#pragma once
// A locale whose decimal separator is a comma, to show that number text does
// not follow the user's locale. Installed locales are tried first; otherwise
// one is compiled from the system's locale sources into a temporary directory.
#include <locale.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace test_support {

inline bool decimalSeparatorIsComma(locale_t l) {
  locale_t previous = uselocale(l);
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 1.5);
  uselocale(previous);
  return std::strcmp(text, "1,5") == 0;
}

// Returns a comma locale, or (locale_t)0 with `why` saying what was missing.
inline locale_t commaLocale(std::string* name, std::string* why) {
  static const char* const kNames[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE",
                                       "nl_NL.UTF-8", "ru_RU.UTF-8"};
  for (const char* n : kNames) {
    locale_t l = newlocale(LC_ALL_MASK, n, static_cast<locale_t>(nullptr));
    if (l != static_cast<locale_t>(nullptr)) {
      if (decimalSeparatorIsComma(l)) {
        *name = n;
        return l;
      }
      freelocale(l);
    }
  }
  // None installed: compile one where LOCPATH points. The compiled locale is
  // kept in a fixed place per user so that the next test process reuses it.
  const std::string shared = "/tmp/vantiro-test-locale-" + std::to_string(getuid());
  auto load = [&](const std::string& directory) {
    setenv("LOCPATH", directory.c_str(), 1);
    locale_t l = newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(nullptr));
    if (l != static_cast<locale_t>(nullptr) && !decimalSeparatorIsComma(l)) {
      freelocale(l);
      l = static_cast<locale_t>(nullptr);
    }
    if (l == static_cast<locale_t>(nullptr)) unsetenv("LOCPATH");
    return l;
  };
  // glibc remembers a locale path that failed to load, so a path is tried
  // only once its files are there.
  const bool compiled = access((shared + "/de_DE.UTF-8/LC_NUMERIC").c_str(), R_OK) == 0;
  locale_t l = compiled ? load(shared) : static_cast<locale_t>(nullptr);
  if (!compiled) {
    if (access("/usr/share/i18n/locales/de_DE", R_OK) != 0 || access("/usr/bin/localedef", X_OK) != 0) {
      *why = "no comma locale is installed and localedef or the de_DE locale source is missing";
      return static_cast<locale_t>(nullptr);
    }
    char directory[] = "/tmp/vantiro-locale-XXXXXX";
    if (mkdtemp(directory) == nullptr) {
      *why = "cannot create a directory for a compiled locale";
      return static_cast<locale_t>(nullptr);
    }
    const std::string command = std::string("localedef -i de_DE -f UTF-8 ") + directory +
                                "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
      *why = "localedef could not compile de_DE.UTF-8";
      return static_cast<locale_t>(nullptr);
    }
    // Another test process may have put its own in place first; either serves.
    rename(directory, shared.c_str());
    const bool renamed = access(directory, F_OK) != 0;
    l = load(renamed || access((shared + "/de_DE.UTF-8/LC_NUMERIC").c_str(), R_OK) == 0 ? shared
                                                                                       : directory);
  }
  if (l == static_cast<locale_t>(nullptr)) {
    *why = "the compiled de_DE.UTF-8 locale does not load";
    return static_cast<locale_t>(nullptr);
  }
  *name = "de_DE.UTF-8";
  return l;
}

// Makes a comma locale the whole process's locale (as the dialog program's
// toolkit does) for the scope, and the calling thread's too.
class GlobalCommaLocale {
 public:
  GlobalCommaLocale() {
    locale_ = commaLocale(&name_, &why_);
    if (!available()) return;
    previous_ = setlocale(LC_ALL, nullptr);
    if (setlocale(LC_ALL, name_.c_str()) == nullptr) {
      why_ = "setlocale refuses " + name_;
      freelocale(locale_);
      locale_ = static_cast<locale_t>(nullptr);
    }
  }
  ~GlobalCommaLocale() {
    if (!available()) return;
    setlocale(LC_ALL, previous_.c_str());
    freelocale(locale_);
  }
  GlobalCommaLocale(const GlobalCommaLocale&) = delete;
  GlobalCommaLocale& operator=(const GlobalCommaLocale&) = delete;

  bool available() const { return locale_ != static_cast<locale_t>(nullptr); }
  const std::string& whyNot() const { return why_; }

 private:
  locale_t locale_ = static_cast<locale_t>(nullptr);
  std::string name_;
  std::string why_;
  std::string previous_;
};

}  // namespace test_support
