#pragma once
// A stand-in for Language.dll inside a test program: the program exports its
// own LoadCatalogString (the test target is linked with ENABLE_EXPORTS), and
// the program's handle serves as the language module.
#include <dlfcn.h>

#include <map>
#include <string>

namespace test_support {

struct FakeCatalog {
  std::map<unsigned, std::string> texts;
  // Makes the lookup claim more characters than the buffer holds, as a broken
  // replacement library might.
  bool overstateLength = false;
};

FakeCatalog& fakeCatalog();

// The handle to pass as languageModule.
inline void* fakeLanguageModule() {
  static void* self = dlopen(nullptr, RTLD_NOW);
  return self;
}

}  // namespace test_support
