// Where a program's log goes and what it refuses to write to: whatever sits
// at the log's name beside the manual, the program neither blocks nor writes
// anywhere but a regular file of its user.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/program_log.h"
#include "scratch_directory.h"

namespace {

namespace fs = std::filesystem;
using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;
using test_support::writeFile;

constexpr const char* kLogName = "guiapp.log";
constexpr const char* kLine = "one line\n";

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

uid_t nobody() {
  const passwd* entry = getpwnam("nobody");
  return entry != nullptr ? entry->pw_uid : 65534;
}

// A manual directory, a state directory (XDG_STATE_HOME) and a third place
// that a planted link may point to.
struct Places {
  ScratchDirectory manual, state, elsewhere;
  std::string log() const { return manual / kLogName; }
  std::string stateLog() const { return state / ("vantiro/" + std::string(kLogName)); }
};

struct LogCase {
  const char* name;
  std::function<void(const Places&)> plant;  // what sits at the log's name
  bool needsRoot;                            // to make another user's file or directory
  const char* expected;                      // "beside", "state" or "none"
  std::function<void(const Places&)> untouched;
};

void PrintTo(const LogCase& c, std::ostream* os) { *os << c.name; }

class LogOpening : public ::testing::TestWithParam<LogCase> {};

TEST_P(LogOpening, WritesOnlyToARegularFileOfTheUser) {
  const LogCase& c = GetParam();
  if (c.needsRoot && geteuid() != 0) GTEST_SKIP() << "only root can make another user's file";
  Places places;
  EnvironmentVariable state("XDG_STATE_HOME", places.state.path());
  writeFile(places.manual / "VantiroUserManual.chm", "manual");
  c.plant(places);
  const std::string earlier = fs::is_regular_file(places.log()) ? readFile(places.log()) : "";
  // A FIFO or a device that blocked the program would end the test here.
  alarm(20);
  std::FILE* log = openProgramLog(places.manual.path() + "/", kLogName);
  alarm(0);
  const std::string expected = c.expected;
  ASSERT_EQ(log != nullptr, expected != "none");
  if (log != nullptr) {
    EXPECT_EQ(std::fputs(kLine, log), 1);
    EXPECT_EQ(std::fclose(log), 0);
  }
  if (expected == "beside") {
    EXPECT_EQ(readFile(places.log()), earlier + kLine);
    EXPECT_FALSE(fs::exists(places.stateLog()));
  } else if (expected == "state") {
    EXPECT_EQ(readFile(places.stateLog()), kLine);
    struct stat st {};
    ASSERT_EQ(stat(places.stateLog().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(stat((places.state / "vantiro").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
  }
  if (c.untouched) c.untouched(places);
  // Readable again for the clean-up of a user who is not root.
  chmod(places.manual.path().c_str(), 0700);
}

void plantRegularFile(const Places& p) { writeFile(p.log(), "earlier\n"); }

void plantLinkToFile(const Places& p) {
  writeFile(p.elsewhere / "authorized_keys", "ssh-ed25519 AAAA mine\n");
  fs::create_symlink(p.elsewhere / "authorized_keys", p.log());
}
void keysUnchanged(const Places& p) {
  EXPECT_EQ(readFile(p.elsewhere / "authorized_keys"), "ssh-ed25519 AAAA mine\n");
}

void plantDanglingLink(const Places& p) {
  fs::create_symlink(p.elsewhere / "created-by-the-log", p.log());
}
void targetNotCreated(const Places& p) {
  EXPECT_FALSE(fs::exists(p.elsewhere / "created-by-the-log"));
}

void plantFifo(const Places& p) { ASSERT_EQ(mkfifo(p.log().c_str(), 0600), 0); }

void plantDirectory(const Places& p) { fs::create_directory(p.log()); }
void directoryStaysEmpty(const Places& p) { EXPECT_TRUE(fs::is_empty(p.log())); }

void plantOtherUsersFile(const Places& p) {
  writeFile(p.log(), "theirs\n");
  chmod(p.log().c_str(), 0666);
  ASSERT_EQ(chown(p.log().c_str(), nobody(), static_cast<gid_t>(-1)), 0);
}
void theirFileUnchanged(const Places& p) { EXPECT_EQ(readFile(p.log()), "theirs\n"); }

void makeManualDirectoryReadOnly(const Places& p) {
  ASSERT_EQ(chmod(p.manual.path().c_str(), 0500), 0);
}
void noLogBesideTheManual(const Places& p) { EXPECT_FALSE(fs::exists(p.log())); }

void giveManualDirectoryToNobody(const Places& p) {
  chmod(p.manual.path().c_str(), 0777);
  ASSERT_EQ(chown(p.manual.path().c_str(), nobody(), static_cast<gid_t>(-1)), 0);
}

// The state directory's log is a link too: there is no log at all.
void plantLinksInBoth(const Places& p) {
  plantLinkToFile(p);
  fs::create_directory(p.state / "vantiro");
  fs::create_symlink(p.elsewhere / "authorized_keys", p.stateLog());
}

INSTANTIATE_TEST_SUITE_P(
    Plantings, LogOpening,
    ::testing::Values(
        LogCase{"Missing", [](const Places&) {}, false, "beside", nullptr},
        LogCase{"RegularFileOfTheUser", plantRegularFile, false, "beside", nullptr},
        LogCase{"LinkToAFile", plantLinkToFile, false, "state", keysUnchanged},
        LogCase{"LinkToAMissingTarget", plantDanglingLink, false, "state", targetNotCreated},
        LogCase{"FifoWithoutReader", plantFifo, false, "state", nullptr},
        LogCase{"Directory", plantDirectory, false, "state", directoryStaysEmpty},
        LogCase{"AnotherUsersFile", plantOtherUsersFile, true, "state", theirFileUnchanged},
        LogCase{"ReadOnlyManualDirectory", makeManualDirectoryReadOnly, false, "state",
                noLogBesideTheManual},
        LogCase{"AnotherUsersManualDirectory", giveManualDirectoryToNobody, true, "state",
                noLogBesideTheManual},
        LogCase{"LinksBesideTheManualAndInTheStateDirectory", plantLinksInBoth, false, "none",
                keysUnchanged}),
    [](const auto& info) { return std::string(info.param.name); });

// A FIFO that someone reads from opens, yet is no log: refused, nothing sent.
TEST(LogOpening, FifoWithAReaderGetsNothing) {
  Places places;
  EnvironmentVariable state("XDG_STATE_HOME", places.state.path());
  ASSERT_EQ(mkfifo(places.log().c_str(), 0600), 0);
  const int reader = open(places.log().c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  std::FILE* log = openLogFile(places.log());
  EXPECT_EQ(log, nullptr);
  if (log != nullptr) std::fclose(log);
  char byte;
  EXPECT_EQ(read(reader, &byte, 1), 0);  // no writer left, nothing written
  close(reader);
}

// The state directory: XDG_STATE_HOME when it is absolute, else under the home
// directory; created with its missing parents, each 0700.
struct StateCase {
  const char* name;
  const char* stateHome;  // nullptr: unset; "%s" stands for the scratch directory
  const char* expected;   // under the scratch directory, which is also HOME
};

void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }

class StateDirectory : public ::testing::TestWithParam<StateCase> {};

TEST_P(StateDirectory, IsCreatedPrivate) {
  const StateCase& c = GetParam();
  ScratchDirectory home;
  EnvironmentVariable homeVariable("HOME", home.path());
  std::string stateHome = c.stateHome != nullptr ? c.stateHome : "";
  if (const auto at = stateHome.find("%s"); at != std::string::npos)
    stateHome.replace(at, 2, home.path());
  EnvironmentVariable stateVariable("XDG_STATE_HOME",
                                    c.stateHome != nullptr ? stateHome.c_str() : nullptr);
  const auto directory = stateDirectory();
  ASSERT_TRUE(directory);
  EXPECT_EQ(*directory, home / c.expected);
  struct stat st {};
  ASSERT_EQ(stat(directory->c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // The parents made on the way are as private.
  const bool underHome = std::string(c.expected).starts_with(".local/");
  ASSERT_EQ(stat((home / ".local").c_str(), &st), underHome ? 0 : -1);
  if (underHome) {
    EXPECT_EQ(st.st_mode & 0777, 0700u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Variables, StateDirectory,
    ::testing::Values(StateCase{"Unset", nullptr, ".local/state/vantiro/"},
                      StateCase{"Absolute", "%s/deep/state", "deep/state/vantiro/"},
                      StateCase{"RelativeIsIgnored", "relative/state", ".local/state/vantiro/"},
                      StateCase{"EmptyIsIgnored", "", ".local/state/vantiro/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StateDirectory, AMissingHomeIsNotMadeUp) {
  ScratchDirectory scratch;
  const std::string home = scratch / "gone";
  EnvironmentVariable homeVariable("HOME", home);
  EnvironmentVariable stateVariable("XDG_STATE_HOME", nullptr);
  EXPECT_FALSE(stateDirectory());
  EXPECT_FALSE(fs::exists(home));
}

TEST(StateDirectory, NotTheUsersIsNotUsed) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a directory to another user";
  ScratchDirectory home;
  EnvironmentVariable stateVariable("XDG_STATE_HOME", home.path());
  fs::create_directory(home / "vantiro");
  chmod((home / "vantiro").c_str(), 0777);
  ASSERT_EQ(chown((home / "vantiro").c_str(), nobody(), static_cast<gid_t>(-1)), 0);
  EXPECT_FALSE(stateDirectory());
}

}  // namespace
