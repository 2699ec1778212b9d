// The two files a run writes, a saved state and the Generate output, under
// what users do to them: protections, owners, links, FIFOs, full devices,
// file size limits and a kill in the middle of the write. Either the complete
// new file is in place, or the previous one is as it was; nothing is left beside it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <thread>

#include "engine_test_support.h"
#include "builds/build_single.h"

namespace {

using namespace enginetest;
namespace fs = std::filesystem;
using Build = engine::SingleBuild;

enum class Kind { State, Output };
constexpr uid_t kOtherUser = 65534;  // nobody

// One run that writes `target`: a Train run stopped before its first pass,
// which saves its starting state, or a Generate run. The seed is fixed, so the
// same run always writes the same bytes.
struct Writer {
  Kind kind;
  std::uint32_t h, w, points;
  TempDir dir;
  std::string series = dir.file("series.txt");
  std::string state = dir.file("state.vns");

  Writer(Kind k, std::uint32_t hiddenUnits, std::uint32_t window, std::uint32_t generated)
      : kind(k), h(hiddenUnits), w(window), points(generated) {
    chmod(dir.path().c_str(), 0777);  // other users write here too
    writeFile(series, waveSeries(static_cast<int>(w) + 2));
    if (kind == Kind::Output) {
      EXPECT_EQ(run(state, kTrain), engine::kOk);
    }
  }

  std::int32_t run(const std::string& target, std::uint32_t flags,
                   RecordingSink* sink = nullptr) const {
    RecordingSink local;
    const std::int32_t stopped = 0;
    auto p = parameters(flags, h, w, sink != nullptr ? sink : &local, &stopped);
    p.learningRate = p.toleranceUnit = p.trainToTolerance = 0.1;
    p.pointsToGenerate = points;
    p.inputFile = series.c_str();
    p.loadStateFile = flags == kGenerate ? state.c_str() : nullptr;
    p.saveStateFile = target.c_str();
    p.outputFile = target.c_str();
    return engine::runEngine<Build>(p, 4242);
  }
  std::int32_t write(const std::string& target, RecordingSink* sink = nullptr) const {
    return run(target, kind == Kind::State ? kTrain : kGenerate, sink);
  }
  std::int32_t failure() const {
    return kind == Kind::State ? engine::kStateSaveFailed : engine::kOutputFileError;
  }
  // The complete new file.
  std::string expected() const {
    const std::string fresh = dir.file("fresh");
    EXPECT_EQ(write(fresh), engine::kOk);
    std::string content = readFile(fresh);
    fs::remove(fresh);
    return content;
  }
  // Names in the directory other than the run's own inputs.
  std::set<std::string> written() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      const std::string name = entry.path().filename();
      if (entry.path() != series && entry.path() != state) names.insert(name);
    }
    return names;
  }
};

// Runs `body` in a child process as user `uid` (when we may become it; else
// as ourselves) and returns its exit status, or -1 if it did not exit.
template <class Body>
int runAs(uid_t uid, Body body) {
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setresgid(uid, uid, uid) != 0 || setresuid(uid, uid, uid) != 0))
      _exit(100);
    _exit(body());
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A soft file size limit for the test's duration, with SIGXFSZ ignored as the
// programs ignore it.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit lower = saved_;
    lower.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lower);
    previous_ = signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  sighandler_t previous_;
};

enum class Outcome { New, Refused };

struct FileCase {
  const char* name;
  Outcome outcome;
};

void PrintTo(Kind kind, std::ostream* os) { *os << (kind == Kind::State ? "state" : "output"); }
void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

struct FileWrites : public ::testing::TestWithParam<std::tuple<Kind, FileCase>> {};

const std::string kOld = "the previous file\n";

TEST_P(FileWrites, LeaveTheCompleteNewFileOrTheOldOne) {
  const auto [kind, c] = GetParam();
  const Writer writer(kind, 8, 64, 1000);  // the new file is over 2,000 bytes
  const std::string fresh = writer.expected();
  ASSERT_GT(fresh.size(), 2000u);
  const std::string target = writer.dir.file("target");
  const std::string name = c.name;
  std::set<std::string> expectedNames{"target"};
  std::int32_t result = -1;
  RecordingSink sink;
  struct stat before {};

  if (name != "Absent") writeFile(target, kOld);
  chmod(target.c_str(), 0640);
  stat(target.c_str(), &before);
  if (name == "Absent" || name == "Replaced") {
    result = writer.write(target, &sink);
  } else if (name == "Link") {
    fs::rename(target, writer.dir.file("real"));
    fs::create_symlink("real", target);
    expectedNames.insert("real");
    result = writer.write(target, &sink);
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_EQ(readFile(writer.dir.file("real")), fresh);
  } else if (name == "ReadOnlyForItsOwner") {
    chmod(target.c_str(), 0444);
    ASSERT_EQ(chown(target.c_str(), kOtherUser, kOtherUser) == 0, geteuid() == 0);
    stat(target.c_str(), &before);
    result = runAs(kOtherUser, [&] { return writer.write(target); });
  } else if (name == "OwnedByAnother") {
    ASSERT_EQ(chown(target.c_str(), kOtherUser, kOtherUser) == 0, geteuid() == 0);
    stat(target.c_str(), &before);
    result = writer.write(target, &sink);
    struct stat after {};
    stat(target.c_str(), &after);
    // Only a process that may give files away keeps the owner.
    const bool mayChown = geteuid() == 0;
    EXPECT_EQ(after.st_uid, mayChown ? kOtherUser : geteuid());
    EXPECT_EQ(after.st_gid, mayChown ? kOtherUser : getegid());
  } else if (name == "SizeLimit") {
    const FileSizeLimit limit(1024);
    result = writer.write(target, &sink);
  }

  if (c.outcome == Outcome::New) {
    EXPECT_EQ(result, engine::kOk);
    EXPECT_EQ(readFile(target), fresh);
    struct stat after {};
    lstat(writer.dir.file(name == "Link" ? "real" : "target").c_str(), &after);
    if (name != "Absent") {
      EXPECT_EQ(after.st_mode & 07777, 0640u);
    }
  } else {
    EXPECT_EQ(result, writer.failure());
    EXPECT_EQ(readFile(target), kOld);
    struct stat after {};
    stat(target.c_str(), &after);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
  }
  EXPECT_EQ(writer.written(), expectedNames);
}

INSTANTIATE_TEST_SUITE_P(
    BothKinds, FileWrites,
    ::testing::Combine(::testing::Values(Kind::State, Kind::Output),
                       ::testing::Values(FileCase{"Absent", Outcome::New},
                                         FileCase{"Replaced", Outcome::New},
                                         FileCase{"Link", Outcome::New},
                                         FileCase{"OwnedByAnother", Outcome::New},
                                         FileCase{"ReadOnlyForItsOwner", Outcome::Refused},
                                         FileCase{"SizeLimit", Outcome::Refused})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param) == Kind::State ? "State" : "Output") +
             std::get<1>(info.param).name;
    });

// Targets that are not regular files are written in place and stay what they are.
class InPlaceTargets : public ::testing::TestWithParam<Kind> {};

TEST_P(InPlaceTargets, AFifoIsWrittenThroughAndAFullDeviceFails) {
  const Writer writer(GetParam(), 2, 3, 50);
  const std::string fresh = writer.expected();
  const std::string fifo = writer.dir.file("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = readFile(fifo); });
  EXPECT_EQ(writer.write(fifo), engine::kOk);
  reader.join();
  EXPECT_EQ(received, fresh);
  struct stat st {};
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(writer.write("/dev/full"), writer.failure());
  EXPECT_EQ(writer.written(), (std::set<std::string>{"fifo"}));
}

INSTANTIATE_TEST_SUITE_P(BothKinds, InPlaceTargets, ::testing::Values(Kind::State, Kind::Output),
                         [](const auto& info) {
                           return std::string(info.param == Kind::State ? "State" : "Output");
                         });

// A large write killed at many moments, from before it starts to after it
// ends: the target is the old file or the complete new one, never torn, and
// anything left beside it is a complete new file (killed between naming the
// finished file and moving it into place).
class KilledWrites : public ::testing::TestWithParam<Kind> {};

TEST_P(KilledWrites, NeverTearTheTarget) {
  const Kind kind = GetParam();
  // About 2 MB of state, or about 1 MB of generated values.
  const Writer writer(kind, kind == Kind::State ? 128 : 1, kind == Kind::State ? 4096 : 1,
                      kind == Kind::State ? 0 : 150000);
  const std::string fresh = writer.expected();
  const std::string target = writer.dir.file("target");
  using Clock = std::chrono::steady_clock;

  auto killedAfter = [&](Clock::duration delay) {
    writeFile(target, kOld);
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) _exit(writer.write(target));
    std::this_thread::sleep_until(start + delay);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
  };
  // The whole write, from fork to exit, measured once without a kill.
  const auto start = Clock::now();
  EXPECT_EQ(runAs(geteuid(), [&] { return writer.write(target); }), 0);
  const auto whole = Clock::now() - start;
  EXPECT_EQ(readFile(target), fresh);

  // Evenly through the measured time, then at 2, 3 and 4 times it, so that
  // even on a busy machine the last ones land after the end.
  constexpr int kPoints = 20;
  int oldSeen = 0, newSeen = 0;
  for (int i = 0; i <= kPoints + 3; ++i) {
    killedAfter(i <= kPoints ? whole * i / kPoints : whole * (i - kPoints + 1));
    const std::string now = readFile(target);
    ASSERT_TRUE(now == kOld || now == fresh)
        << "torn at point " << i << ": " << now.size() << " bytes";
    oldSeen += now == kOld;
    newSeen += now == fresh;
    for (const std::string& name : writer.written()) {
      if (name == "target") continue;
      EXPECT_EQ(readFile(writer.dir.file(name)), fresh) << "a partial file was left: " << name;
      fs::remove(writer.dir.file(name));
    }
  }
  EXPECT_GT(oldSeen, 0);
  EXPECT_GT(newSeen, 0);
}

INSTANTIATE_TEST_SUITE_P(BothKinds, KilledWrites, ::testing::Values(Kind::State, Kind::Output),
                         [](const auto& info) {
                           return std::string(info.param == Kind::State ? "State" : "Output");
                         });

}  // namespace
