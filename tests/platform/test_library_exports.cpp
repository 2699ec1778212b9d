// What each built library offers a program that loads it: the dynamic symbol
// table must hold the one documented entry and nothing else.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

// Names of the symbols a shared object defines in its dynamic symbol table,
// as binutils' nm lists them.
std::set<std::string> definedDynamicSymbols(const std::string& path) {
  std::set<std::string> names;
  std::FILE* listing = popen(("nm -D --defined-only '" + path + "' 2>/dev/null").c_str(), "r");
  if (listing == nullptr) return names;
  char line[1024];
  while (std::fgets(line, sizeof line, listing) != nullptr) {
    std::istringstream fields(line);
    std::string address, type, name;
    if (fields >> address >> type >> name) names.insert(name);
  }
  pclose(listing);
  return names;
}

struct ExportCase {
  const char* library;
  const char* onlyExport;
};

class LibraryExports : public ::testing::TestWithParam<ExportCase> {};

TEST_P(LibraryExports, OfferExactlyTheirOneEntry) {
  const ExportCase& c = GetParam();
  const std::set<std::string> names =
      definedDynamicSymbols(std::string(VANTIRO_BIN_DIR "/") + c.library);
  EXPECT_EQ(names, std::set<std::string>{c.onlyExport});
}

INSTANTIATE_TEST_SUITE_P(BuiltLibraries, LibraryExports,
                         ::testing::Values(ExportCase{"nnsingle.dll", "Pet"},
                                           ExportCase{"nndouble.dll", "Pet"},
                                           ExportCase{"nnvec4.dll", "Pet"},
                                           ExportCase{"nnvec2.dll", "Pet"},
                                           ExportCase{"Language.dll", "LoadCatalogString"}),
                         [](const auto& info) {
                           std::string name = info.param.library;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
