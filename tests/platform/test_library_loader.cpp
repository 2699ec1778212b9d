#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/catalog_lookup.h"
#include "platform/library_loader.h"
#include "scratch_directory.h"

namespace {

namespace fs = std::filesystem;
using test_support::ScratchDirectory;

const std::string kBinDir = VANTIRO_BIN_DIR;
const std::string kLanguage = kBinDir + "/Language.dll";

// A library name no other test uses, so that tests may run side by side.
std::string uniqueName(const char* stem) {
  return std::string(stem) + "-" + std::to_string(getpid()) + ".dll";
}

// Removes a file when the scope ends.
struct RemoveLater {
  std::string path;
  ~RemoveLater() {
    std::error_code ignored;
    fs::remove(path, ignored);
  }
};

// Whether a loaded module is the string table: it answers message 38.
bool isStringTable(void* module) {
  char text[512];
  return loadCatalogString(module, 38, text, sizeof text) > 0;
}

TEST(LibraryLoader, LoadsByPathAndFindsItsExport) {
  int error = -1;
  void* module = loadLibrary(kLanguage.c_str(), &error);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_NE(librarySymbol(module, "LoadCatalogString", &error), nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(librarySymbol(module, "Pet", &error), nullptr);
  EXPECT_EQ(error, ENOENT);
  freeLibrary(module);
}

TEST(LibraryLoader, ReportsWhyNothingWasLoaded) {
  ScratchDirectory scratch;
  test_support::writeFile(scratch / "NotALibrary.dll", "plain text, not an ELF object\n");
  int error = 0;
  EXPECT_EQ(loadLibrary((scratch / "Missing.dll").c_str(), &error), nullptr);
  EXPECT_EQ(error, ENOENT);
  EXPECT_EQ(loadLibrary((scratch / "NotALibrary.dll").c_str(), &error), nullptr);
  EXPECT_EQ(error, ENOEXEC);
  EXPECT_EQ(loadLibrary(uniqueName("NowhereAtAll").c_str(), &error), nullptr);
  EXPECT_EQ(error, ENOENT);
  EXPECT_EQ(loadLibrary("", &error), nullptr);
  EXPECT_EQ(error, ENOENT);
  EXPECT_EQ(loadLibrary(nullptr, &error), nullptr);
  EXPECT_EQ(librarySymbol(nullptr, "Pet", &error), nullptr);
  EXPECT_EQ(error, ENOENT);
  freeLibrary(nullptr);  // harmless
}

TEST(LibraryLoader, BareNameIsFoundInTheCurrentDirectory) {
  ScratchDirectory scratch;
  const std::string name = uniqueName("CwdOnly");
  fs::copy_file(kLanguage, scratch / name);
  scratch.enter();
  int error = -1;
  void* module = loadLibrary(name.c_str(), &error);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_TRUE(isStringTable(module));
  freeLibrary(module);
}

// The system's search comes before the current directory: a broken file that
// bears the name of a system library, planted where the program runs, is not
// taken for it.
TEST(LibraryLoader, SystemSearchComesBeforeTheCurrentDirectory) {
  ScratchDirectory scratch;
  const char* systemLibrary = "libm.so.6";
  test_support::writeFile(scratch / systemLibrary, "planted, not an ELF object\n");
  scratch.enter();
  int error = -1;
  void* module = loadLibrary(systemLibrary, &error);
  ASSERT_NE(module, nullptr) << "the planted file was taken before the system's library";
  EXPECT_EQ(error, 0);
  EXPECT_NE(librarySymbol(module, "cos", &error), nullptr);
  freeLibrary(module);
}

// The program's directory is searched before the current one: a broken file
// of the same name in the current directory does not shadow it, and the other
// way round the broken one in the program's directory wins.
TEST(LibraryLoader, ProgramDirectoryComesBeforeTheCurrentDirectory) {
  const std::string programDir = programDirectory();
  ASSERT_FALSE(programDir.empty());
  ASSERT_EQ(programDir.back(), '/');
  ASSERT_TRUE(fs::exists(programDir + "platform_tests"));

  ScratchDirectory scratch;
  const std::string name = uniqueName("Ordered");
  RemoveLater inProgramDir{programDir + name};
  fs::copy_file(kLanguage, programDir + name);
  test_support::writeFile(scratch / name, "broken\n");
  scratch.enter();
  int error = -1;
  void* module = loadLibrary(name.c_str(), &error);
  ASSERT_NE(module, nullptr) << "the program directory's copy was not taken first";
  freeLibrary(module);

  fs::remove(programDir + name);
  test_support::writeFile(programDir + name, "broken\n");
  fs::remove(scratch / name);
  fs::copy_file(kLanguage, scratch / name);
  EXPECT_EQ(loadLibrary(name.c_str(), &error), nullptr);
  EXPECT_EQ(error, ENOEXEC);
}

TEST(CatalogLookup, ModuleWithoutTheExportHasNoTexts) {
  int error = 0;
  void* engine = loadLibrary((kBinDir + "/nnsingle.dll").c_str(), &error);
  ASSERT_NE(engine, nullptr);
  char text[16] = "leftover";
  EXPECT_EQ(loadCatalogString(engine, 38, text, sizeof text), 0);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(loadCatalogString(nullptr, 38, text, sizeof text), 0);
  EXPECT_EQ(loadCatalogString(engine, 38, nullptr, 16), 0);
  freeLibrary(engine);
}

}  // namespace
