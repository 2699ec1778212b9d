#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
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
class PathVariable : public test_support::EnvironmentVariable {
 public:
  explicit PathVariable(const std::string& value) : EnvironmentVariable("PATH", value) {}
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

// Where the same name lies decides which is found: what the program's
// directory holds beats a file left in the working directory, which in turn
// beats one on PATH; the working directory counts when nothing else has it.
struct SearchOrderCase {
  const char* name;
  bool inProgramDirectory, inWorkingDirectory, onPath;
  const char* found;  // "program", "working", "path" or "" for none
};

void PrintTo(const SearchOrderCase& c, std::ostream* os) { *os << c.name; }

class SearchOrder : public ::testing::TestWithParam<SearchOrderCase> {};

TEST_P(SearchOrder, FirstPlaceWins) {
  const SearchOrderCase& c = GetParam();
  ScratchDirectory working, onPath;
  const std::string name = uniqueName();
  const std::string inProgramDir = programDirectory() + name;
  if (c.inProgramDirectory) writeFile(inProgramDir, "x");
  if (c.inWorkingDirectory) writeFile(working / name, "x");
  if (c.onPath) writeFile(onPath / name, "x");
  working.enter();
  PathVariable path(onPath.path());
  const auto found = searchPath(name.c_str());
  fs::remove(inProgramDir);
  const std::string where = c.found;
  if (where.empty()) {
    EXPECT_FALSE(found) << *found;
    return;
  }
  ASSERT_TRUE(found);
  const std::string expected = where == "program"   ? inProgramDir
                               : where == "working" ? working / name
                                                    : onPath / name;
  EXPECT_EQ(*found, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, SearchOrder,
    ::testing::Values(SearchOrderCase{"Everywhere", true, true, true, "program"},
                      SearchOrderCase{"ProgramAndWorking", true, true, false, "program"},
                      SearchOrderCase{"WorkingAndPath", false, true, true, "working"},
                      SearchOrderCase{"WorkingAlone", false, true, false, "working"},
                      SearchOrderCase{"PathAlone", false, false, true, "path"},
                      SearchOrderCase{"Nowhere", false, false, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The installed places come before the working directory and PATH, which are
// named absolutely (a relative PATH entry from the working directory).
TEST(FileSearch, InstalledPlacesComeBeforeWhereTheProgramIsStarted) {
  ScratchDirectory working;
  working.enter();
  PathVariable path("relative/bin:/usr/bin");
  const std::vector<std::string> order = manualSearchDirectories();
  const auto at = [&order](const std::string& directory) {
    return std::find(order.begin(), order.end(), directory) - order.begin();
  };
  const std::string cwd = fs::current_path().string() + "/";
  ASSERT_FALSE(order.empty());
  EXPECT_EQ(order.front(), programDirectory());
  EXPECT_LT(at("/usr/local/share/vantiro/"), at("/usr/share/vantiro/"));
  EXPECT_LT(at("/usr/share/vantiro/"), at(cwd));
  EXPECT_EQ(at(cwd) + 1, at(cwd + "relative/bin/"));
  EXPECT_EQ(at(cwd) + 2, at("/usr/bin/"));
  EXPECT_EQ(order.size(), static_cast<std::size_t>(at("/usr/bin/")) + 1);
}

TEST(FileSearch, SharedDataDirectoryOfAnInstalledProgram) {
  EXPECT_EQ(sharedDataDirectoryOf("/usr/lib/vantiro/"), "/usr/share/vantiro/");
  EXPECT_EQ(sharedDataDirectoryOf("/home/ann/.local/lib/vantiro/"),
            "/home/ann/.local/share/vantiro/");
  EXPECT_EQ(sharedDataDirectoryOf("/lib/vantiro/"), "/share/vantiro/");
  EXPECT_FALSE(sharedDataDirectoryOf("/home/ann/vantiro/build/bin/"));
  EXPECT_FALSE(sharedDataDirectoryOf("/opt/mylib/vantiro/"));
  EXPECT_FALSE(sharedDataDirectoryOf(""));
}

TEST(FileSearch, DirectoryOfAPath) {
  EXPECT_EQ(directoryOf("/a/b/c.chm"), "/a/b/");
  EXPECT_EQ(directoryOf("/c.chm"), "/");
  EXPECT_EQ(directoryOf("c.chm"), "./");
}

}  // namespace
