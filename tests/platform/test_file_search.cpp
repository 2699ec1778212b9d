#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/file_search.h"
#include "platform/library_loader.h"
#include "scratch_directory.h"

namespace {

namespace fs = std::filesystem;
using test_support::ScratchDirectory;
using test_support::writeFile;

// Sets PATH for the scope.
class PathVariable {
 public:
  explicit PathVariable(const std::string& value) {
    if (const char* old = getenv("PATH")) {
      had_ = true;
      old_ = old;
    }
    setenv("PATH", value.c_str(), 1);
  }
  ~PathVariable() {
    if (had_) {
      setenv("PATH", old_.c_str(), 1);
    } else {
      unsetenv("PATH");
    }
  }

 private:
  bool had_ = false;
  std::string old_;
};

std::string uniqueName() { return "Manual-" + std::to_string(getpid()) + ".chm"; }

TEST(FileSearch, FindsAFileInTheCurrentDirectoryByItsFullPath) {
  ScratchDirectory scratch;
  const std::string name = uniqueName();
  writeFile(scratch / name, "x");
  scratch.enter();
  PathVariable path("/nonexistent");
  const auto found = searchPath(name.c_str());
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, fs::canonical(scratch / name).string());
  EXPECT_EQ(directoryOf(*found), fs::canonical(scratch.path()).string() + "/");
}

TEST(FileSearch, SearchesEachPathDirectoryAndSkipsDirectoriesOfTheSameName) {
  ScratchDirectory cwd, first, second;
  const std::string name = uniqueName();
  fs::create_directory(cwd / name);    // not a file
  fs::create_directory(first / name);  // not a file
  writeFile(second / name, "x");
  cwd.enter();
  PathVariable path("/nonexistent::" + first.path() + ":" + second.path() + "/");
  const auto found = searchPath(name.c_str());
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, second / name);
}

TEST(FileSearch, ProgramDirectoryComesFirst) {
  ScratchDirectory cwd;
  const std::string name = uniqueName();
  const std::string inProgramDir = programDirectory() + name;
  writeFile(inProgramDir, "x");
  writeFile(cwd / name, "x");
  cwd.enter();
  const auto found = searchPath(name.c_str());
  fs::remove(inProgramDir);
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, inProgramDir);
}

TEST(FileSearch, NothingFound) {
  ScratchDirectory cwd;
  cwd.enter();
  {
    PathVariable path(cwd.path());
    EXPECT_FALSE(searchPath(uniqueName().c_str()));
  }
  unsetenv("PATH");
  EXPECT_FALSE(searchPath(uniqueName().c_str()));
}

TEST(FileSearch, DirectoryOfAPath) {
  EXPECT_EQ(directoryOf("/a/b/c.chm"), "/a/b/");
  EXPECT_EQ(directoryOf("/c.chm"), "/");
  EXPECT_EQ(directoryOf("c.chm"), "./");
}

}  // namespace
