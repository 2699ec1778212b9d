#pragma once
// A process-wide locale whose decimal separator is a comma (as the dialog's
// toolkit may set), to show that number text ignores the user's locale. An
// installed one is used if there is one; otherwise de_DE is compiled once per
// user with localedef into /tmp and found through LOCPATH.
#include <locale.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace test_support {

class GlobalCommaLocale {
 public:
  GlobalCommaLocale() {
    if (!use("de_DE.UTF-8") && !use("fr_FR.UTF-8")) compileAndUse();
  }
  ~GlobalCommaLocale() {
    if (available()) setlocale(LC_ALL, previous_.c_str());
  }
  GlobalCommaLocale(const GlobalCommaLocale&) = delete;
  GlobalCommaLocale& operator=(const GlobalCommaLocale&) = delete;

  bool available() const { return !previous_.empty(); }
  const std::string& whyNot() const { return why_; }

 private:
  bool use(const char* name) {
    const std::string previous = setlocale(LC_ALL, nullptr);
    if (setlocale(LC_ALL, name) == nullptr) return false;
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 1.5);
    if (std::strcmp(text, "1,5") != 0) {
      setlocale(LC_ALL, previous.c_str());
      return false;
    }
    previous_ = previous;
    return true;
  }

  void compileAndUse() {
    const std::string shared = "/tmp/vantiro-test-locale-" + std::to_string(getuid());
    // glibc remembers a locale path that failed once, so LOCPATH is set only
    // when the compiled files are there.
    auto compiled = [](const std::string& dir) {
      return access((dir + "/de_DE.UTF-8/LC_NUMERIC").c_str(), R_OK) == 0;
    };
    if (!compiled(shared)) {
      char temporary[] = "/tmp/vantiro-locale-XXXXXX";
      if (access("/usr/share/i18n/locales/de_DE", R_OK) != 0 || mkdtemp(temporary) == nullptr ||
          std::system(("localedef -i de_DE -f UTF-8 " + std::string(temporary) +
                       "/de_DE.UTF-8 >/dev/null 2>&1")
                          .c_str()) != 0) {
        why_ = "no comma locale is installed and none could be compiled with localedef";
        return;
      }
      // Another test process may have put its copy in place first; either serves.
      rename(temporary, shared.c_str());
    }
    setenv("LOCPATH", shared.c_str(), 1);
    if (!use("de_DE.UTF-8")) why_ = "the compiled de_DE.UTF-8 locale does not load";
  }

  std::string previous_;
  std::string why_;
};

}  // namespace test_support
