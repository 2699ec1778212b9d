// VantiroCmdLine run as a user runs it, in a scratch program directory.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "common/catalog_message.h"
#include "common/number_text.h"
#include "platform/library_loader.h"
#include "program_directory.h"

namespace {

using test_support::describe;
using test_support::ProgramDirectory;
using test_support::RunResult;
using Files = std::set<std::string>;
using Args = std::vector<std::string>;

// The texts the program shows, taken from the same Language.dll, so that the
// tests hold for any wording.
class Texts {
 public:
  Texts() {
    int error = 0;
    module_ = loadLibrary(VANTIRO_BIN_DIR "/Language.dll", &error);
  }
  ~Texts() { freeLibrary(module_); }
  bool loaded() const { return module_ != nullptr; }

  // A message as a sink shows it: the text and a line end.
  template <class... Args>
  std::string line(unsigned id, Args... args) const {
    char text[kMessageBufferSize];
    formatCatalogMessage(module_, text, id, args...);
    return std::string(text) + "\n";
  }
  // A message printed straight to the console; its text carries the line end.
  std::string printed(unsigned id) const {
    using Lookup = int (*)(unsigned, char*, int);
    int error = 0;
    static char whole[65536];
    auto lookup = reinterpret_cast<Lookup>(librarySymbol(module_, "LoadCatalogString", &error));
    const int n = lookup(id, whole, sizeof whole);
    return std::string(whole, static_cast<std::size_t>(n > 0 ? n : 0));
  }
  // The part of a message's text before its first conversion, for messages
  // whose numbers (times) cannot be known.
  std::string lead(unsigned id) const {
    const std::string text = printed(id);
    return text.substr(0, text.find('%'));
  }

 private:
  void* module_ = nullptr;
};

const Texts& texts() {
  static const Texts t;
  return t;
}

constexpr unsigned kH = 3;
constexpr unsigned kW = 6;
constexpr std::size_t kBinaryStateSize = 4 * (1 + kH * kW + kH);
constexpr std::size_t kTextStateLines = 2 + kH * (kW + 1) + kH + 1;

// A smooth series around 10 that a small network learns in a few passes.
std::string smoothSeries() {
  std::string text;
  for (int i = 0; i < 60; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "%.4f\n", 10.0 + 2.0 * std::sin(i * 0.4));
    text += line;
  }
  return text;
}

Args sizes() {
  return {"-numberOfNeurons", std::to_string(kH), "-inputWindowSize", std::to_string(kW)};
}

Args trainArgs(const std::string& saveState, const char* target = "0.3") {
  Args a = {"-train"};
  for (auto& s : sizes()) a.push_back(s);
  for (auto& s : Args{"-learningRate", "0.01", "-toleranceUnit", "0.001", "-trainToTolerance",
                      target, "-inputFile", "series.txt", "-saveStateFile", saveState}) {
    a.push_back(s);
  }
  return a;
}

Args generateArgs(const std::string& input, const std::string& loadState,
                  const std::string& output) {
  Args a = {"-generate"};
  for (auto& s : sizes()) a.push_back(s);
  for (auto& s : Args{"-pointsToGenerate", "5", "-inputFile", input, "-loadStateFile", loadState,
                      "-outputFile", output}) {
    a.push_back(s);
  }
  return a;
}

Args with(Args a, const std::vector<std::string>& more) {
  a.insert(a.end(), more.begin(), more.end());
  return a;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

// Every line of a generated file is one whole decimal number.
void expectNumberLines(const std::string& content, std::size_t count, bool finite) {
  const auto lines = linesOf(content);
  ASSERT_EQ(lines.size(), count) << content;
  EXPECT_EQ(content.back(), '\n');
  for (const std::string& line : lines) {
    if (!finite) continue;
    const char* end = nullptr;
    const double value = parseDecimal(line.c_str(), &end);
    EXPECT_EQ(*end, '\0') << "not a number: \"" << line << "\"";
    EXPECT_TRUE(std::isfinite(value)) << line;
  }
}

class ProgramRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(texts().loaded()) << "cannot load " VANTIRO_BIN_DIR "/Language.dll";
  }

  // A run that must end on its own, by returning an exit code.
  static RunResult runToEnd(const ProgramDirectory& dir, const Args& args) {
    RunResult r = dir.run(args);
    EXPECT_TRUE(r.exited) << describe(r);
    EXPECT_EQ(r.err, "") << describe(r);
    return r;
  }

  static Files plus(Files files, std::initializer_list<const char*> more) {
    for (const char* m : more) files.insert(m);
    return files;
  }
};

TEST_F(ProgramRun, TrainsThenGeneratesFromTheBinaryState) {
  ProgramDirectory dir;
  dir.write("series.txt", smoothSeries());
  const Files before = dir.files();

  const RunResult train = runToEnd(dir, trainArgs("net.state"));
  ASSERT_EQ(train.exitCode, 0) << describe(train);
  const auto lines = linesOf(train.out);
  ASSERT_GE(lines.size(), 4u) << train.out;
  EXPECT_EQ(lines.front() + "\n", texts().line(38));
  EXPECT_TRUE(startsWith(lines[1], texts().lead(51))) << train.out;
  EXPECT_EQ(lines[lines.size() - 2] + "\n", texts().line(53));
  EXPECT_TRUE(startsWith(lines.back(), texts().lead(56))) << train.out;
  EXPECT_EQ(dir.read("net.state").size(), kBinaryStateSize);
  EXPECT_EQ(dir.files(), plus(before, {"net.state"}));

  const RunResult generate = runToEnd(dir, generateArgs("series.txt", "net.state", "more.txt"));
  ASSERT_EQ(generate.exitCode, 0) << describe(generate);
  EXPECT_EQ(generate.out,
            texts().line(38) + texts().line(47) + texts().line(59) + texts().line(60, 5u));
  expectNumberLines(dir.read("more.txt"), 5, true);
  EXPECT_EQ(dir.files(), plus(before, {"net.state", "more.txt"}));
}

TEST_F(ProgramRun, TrainsThenGeneratesFromTheTextState) {
  ProgramDirectory dir;
  dir.write("series.txt", smoothSeries());
  const RunResult train = runToEnd(dir, with(trainArgs("net.txt"), {"-saveConversionState"}));
  ASSERT_EQ(train.exitCode, 0) << describe(train);
  EXPECT_NE(train.out.find(texts().line(52)), std::string::npos) << train.out;
  EXPECT_EQ(linesOf(dir.read("net.txt")).size(), kTextStateLines);

  const RunResult generate = runToEnd(
      dir, with(generateArgs("series.txt", "net.txt", "more.txt"), {"-loadConversionState"}));
  ASSERT_EQ(generate.exitCode, 0) << describe(generate);
  EXPECT_EQ(generate.out,
            texts().line(38) + texts().line(46) + texts().line(59) + texts().line(60, 5u));
  expectNumberLines(dir.read("more.txt"), 5, true);
}

// Benchmark hides the progress lines and touches no file.
TEST_F(ProgramRun, Benchmarks) {
  ProgramDirectory dir;
  const Files before = dir.files();
  Args args = {"-benchmark", "-benchmarkingIterations", "10",   "-benchmarkingDataPoints",
               "20",         "-learningRate",           "0.01", "-toleranceUnit",
               "0.000001"};
  for (auto& s : sizes()) args.push_back(s);
  const RunResult r = runToEnd(dir, args);
  ASSERT_EQ(r.exitCode, 0) << describe(r);
  const auto lines = linesOf(r.out);
  ASSERT_EQ(lines.size(), 3u) << r.out;
  EXPECT_EQ(lines[0] + "\n", texts().line(38));
  EXPECT_EQ(lines[1] + "\n", texts().line(50, kH, kW, 10u, 20u, "84 bytes"));
  EXPECT_TRUE(startsWith(lines[2], texts().lead(57))) << r.out;
  EXPECT_EQ(dir.files(), before);
}

struct RefusalCase {
  const char* name;
  Args arguments;
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class Refusal : public ProgramRun, public ::testing::WithParamInterface<RefusalCase> {};

// A command line that cannot be used gets the usage text and exit code 1, and
// no run starts.
TEST_P(Refusal, PrintsUsage) {
  ProgramDirectory dir({.manual = true});
  const Files before = dir.files();
  const RunResult r = runToEnd(dir, GetParam().arguments);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, texts().printed(1));
  EXPECT_EQ(dir.read("cmdapp.log"), "");
  EXPECT_EQ(dir.files(), plus(before, {"cmdapp.log"}));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, Refusal,
    ::testing::Values(RefusalCase{"NoArguments", {}},
                      RefusalCase{"TwoModes", {"-train", "-generate"}},
                      RefusalCase{"ValueMissing",
                                  {"-benchmark", "-numberOfNeurons", "2", "-inputWindowSize"}},
                      RefusalCase{"EngineClash",
                                  {"-benchmark", "-numberOfNeurons", "2", "-inputWindowSize", "2",
                                   "-benchmarkingIterations", "1", "-benchmarkingDataPoints", "5",
                                   "-SSE", "-nnvec2"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Every failed check is reported, in order, and none reaches the log.
TEST_F(ProgramRun, TrainAloneListsEveryMissingParameter) {
  ProgramDirectory dir({.manual = true});
  const RunResult r = runToEnd(dir, {"-train"});
  EXPECT_EQ(r.exitCode, 1);
  std::string expected;
  for (unsigned id : {2u, 3u, 5u, 6u, 7u, 11u, 12u}) expected += texts().printed(id);
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(dir.read("cmdapp.log"), "");
}

TEST_F(ProgramRun, SizeProductIsCheckedBeyond32Bits) {
  ProgramDirectory dir;
  const Args common = {"-benchmark", "-benchmarkingIterations", "1", "-benchmarkingDataPoints",
                       "70000"};
  const RunResult tooLarge =
      runToEnd(dir, with(common, {"-numberOfNeurons", "65536", "-inputWindowSize", "65536"}));
  EXPECT_EQ(tooLarge.exitCode, 1);
  char expected[kMessageBufferSize];
  std::snprintf(expected, sizeof expected, texts().printed(4).c_str(), 4294967295u);
  EXPECT_EQ(tooLarge.out, expected);
  // The largest product that passes goes to the engine, whose own limit refuses it.
  const RunResult engineLimit =
      runToEnd(dir, with(common, {"-numberOfNeurons", "65535", "-inputWindowSize", "65537"}));
  EXPECT_EQ(engineLimit.exitCode, 128) << describe(engineLimit);
  EXPECT_EQ(engineLimit.out, texts().line(38) + texts().line(45));
}

// Only level-2 lines reach the log; it grows across runs and exists only
// where the manual is.
TEST_F(ProgramRun, LogKeepsErrorsOfEveryRun) {
  ProgramDirectory dir({.manual = true});
  dir.write("series.txt", smoothSeries());
  const RunResult good = runToEnd(dir, trainArgs("net.state"));
  ASSERT_EQ(good.exitCode, 0) << describe(good);
  EXPECT_EQ(dir.read("cmdapp.log"), "");

  Args missingInput = trainArgs("net2.state");
  missingInput[missingInput.size() - 3] = "absent.txt";
  for (int run = 1; run <= 2; ++run) {
    const RunResult r = runToEnd(dir, missingInput);
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.out, texts().line(38) + texts().line(39));
  }
  EXPECT_EQ(dir.read("cmdapp.log"), texts().line(39) + texts().line(39));
  EXPECT_FALSE(dir.exists("net2.state"));
}

TEST_F(ProgramRun, NoLogWithoutTheManual) {
  ProgramDirectory dir;
  const Files before = dir.files();
  const RunResult r = runToEnd(dir, trainArgs("net.state"));
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_EQ(r.out, texts().line(38) + texts().line(39));
  EXPECT_EQ(dir.files(), before);
}

TEST_F(ProgramRun, MissingStringTable) {
  ProgramDirectory dir({.language = false, .manual = true});
  const RunResult r = runToEnd(dir, {"-train"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "Failed to load Language.dll\n");
  EXPECT_EQ(dir.read("cmdapp.log"), "LoadLibrary() failed to load Language.dll, EC = 2\n");
}

TEST_F(ProgramRun, MissingEngineLibrary) {
  ProgramDirectory dir({.engine = false, .manual = true});
  dir.write("series.txt", smoothSeries());
  const RunResult single = runToEnd(dir, trainArgs("net.state"));
  EXPECT_EQ(single.exitCode, 1);
  EXPECT_EQ(single.out, texts().line(15, "nnsingle.dll", 2));
  // The engine options choose the library that is looked for.
  const RunResult sse = runToEnd(dir, with(trainArgs("net.state"), {"-SSE"}));
  EXPECT_EQ(sse.exitCode, 1);
  EXPECT_EQ(sse.out, texts().line(15, "nnvec4.dll", 2));
  EXPECT_EQ(dir.read("cmdapp.log"), single.out + sse.out);
  EXPECT_FALSE(dir.exists("net.state"));
}

TEST_F(ProgramRun, EngineLibraryWithoutPet) {
  ProgramDirectory dir({.engine = false});
  dir.copyFromBin("Language.dll", "nnsingle.dll");
  dir.write("series.txt", smoothSeries());
  const RunResult r = runToEnd(dir, trainArgs("net.state"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, texts().line(37, "nnsingle.dll", 2));
}

// Ctrl+C ends the training after its pass, saves the state and exits with 0.
TEST_F(ProgramRun, CtrlCStopsTrainingAndSaves) {
  ProgramDirectory dir;
  dir.write("series.txt", smoothSeries());
  const std::string progress = texts().lead(51);
  bool sent = false;
  const RunResult r =
      dir.run(trainArgs("net.state", "1e-12"), [&](pid_t pid, const std::string& out) {
        if (!sent && out.find("\n" + progress) != std::string::npos) {
          kill(pid, SIGINT);
          sent = true;
        }
        return false;
      });
  ASSERT_TRUE(sent) << describe(r);
  ASSERT_TRUE(r.exited) << describe(r);
  EXPECT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_EQ(r.err, "");
  const auto stop = r.out.find(texts().line(36));
  ASSERT_NE(stop, std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(texts().line(36), stop + 1), std::string::npos)
      << "stop message shown twice";
  const auto lines = linesOf(r.out);
  EXPECT_EQ(lines[lines.size() - 2] + "\n", texts().line(53));
  EXPECT_TRUE(startsWith(lines.back(), texts().lead(56)));
  EXPECT_EQ(dir.read("net.state").size(), kBinaryStateSize);
}

// A reader that stops reading (as "| head" does) must not cost the training
// its saved state: output that cannot be written is ignored.
TEST_F(ProgramRun, ClosedOutputDoesNotEndTheRun) {
  ProgramDirectory dir;
  dir.write("series.txt", smoothSeries());
  const RunResult r = dir.run(
      trainArgs("net.state", "1e-12"),
      [&](pid_t, const std::string& out) {
        return out.find("\n" + texts().lead(51)) != std::string::npos;
      },
      [](pid_t pid) {
        usleep(100 * 1000);  // the run goes on writing into the closed pipe
        kill(pid, SIGINT);
      });
  ASSERT_TRUE(r.exited) << describe(r);
  EXPECT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_EQ(dir.read("net.state").size(), kBinaryStateSize);
}

// A series of zeros never reaches a relative error target: such a run goes
// on until Ctrl+C, which still ends it in order.
TEST_F(ProgramRun, CtrlCStopsARunThatCannotConverge) {
  ProgramDirectory dir;
  dir.write("series.txt", "nan\ninf\n-inf\nNaN\n0x10\nabc\n\n0\n1e-400\n");
  bool sent = false;
  const RunResult r = dir.run(trainArgs("net.state"), [&](pid_t pid, const std::string& out) {
    if (!sent && out.find(texts().line(38)) != std::string::npos) {
      usleep(200 * 1000);
      kill(pid, SIGINT);
      sent = true;
    }
    return false;
  });
  ASSERT_TRUE(r.exited) << describe(r);
  EXPECT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_NE(r.out.find(texts().line(36)), std::string::npos) << r.out;
  EXPECT_EQ(dir.read("net.state").size(), kBinaryStateSize);
}

// Bad input: a clear message, the code, no crash and no stray file.
struct BadInputCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // written before the run
  Args arguments;
  int exitCode;
  std::vector<unsigned> errors;  // the level-2 messages expected
  std::set<std::string> created;
  rlim_t fileSizeLimit = 0;  // ulimit -f for the run, in bytes; 0: none
};
void PrintTo(const BadInputCase& c, std::ostream* os) { *os << c.name; }

std::string garbage() {
  std::string bytes;
  std::uint32_t state = 12345;
  for (int i = 0; i < 4000; ++i) {
    state = state * 1103515245u + 12345u;
    bytes += static_cast<char>(state >> 23);
  }
  return bytes + "\n\n\n\n\n\n\n";  // at least W lines whatever the bytes hold
}

class BadInput : public ProgramRun, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInput, IsReportedAndLosesNothing) {
  const BadInputCase& c = GetParam();
  ProgramDirectory dir({.manual = true});
  dir.write("series.txt", smoothSeries());
  // A state to generate from, in both forms.
  ASSERT_EQ(runToEnd(dir, trainArgs("net.state")).exitCode, 0);
  ASSERT_EQ(runToEnd(dir, with(trainArgs("net.txt"), {"-saveConversionState"})).exitCode, 0);
  for (const auto& [name, content] : c.files) {
    if (content == "<dir>") {
      std::filesystem::create_directory(dir.path(name));
    } else {
      dir.write(name, content);
    }
  }
  const Files before = dir.files();
  // The program inherits the limit, and SIGXFSZ at its default action, which
  // would end it at the first write beyond the limit unless it ignores it.
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit lowered = saved;
  if (c.fileSizeLimit != 0) lowered.rlim_cur = c.fileSizeLimit;
  setrlimit(RLIMIT_FSIZE, &lowered);
  const RunResult r = runToEnd(dir, c.arguments);
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(r.exitCode, c.exitCode) << describe(r);
  std::string log;
  for (unsigned id : c.errors) {
    // Of these messages only the one about too few lines takes arguments.
    const std::string line = id == 40 ? texts().line(40, 0u, kW) : texts().line(id);
    log += line;
    EXPECT_NE(r.out.find(line), std::string::npos) << "message " << id << " missing\n" << r.out;
  }
  EXPECT_EQ(dir.read("cmdapp.log"), log);
  Files expected = before;
  expected.insert(c.created.begin(), c.created.end());
  EXPECT_EQ(dir.files(), expected);
}

const Args kGenerate = generateArgs("input.txt", "net.state", "out.txt");
const Args kGenerateText =
    with(generateArgs("input.txt", "net.txt", "out.txt"), {"-loadConversionState"});

INSTANTIATE_TEST_SUITE_P(
    Files, BadInput,
    ::testing::Values(
        BadInputCase{"InputMissing", {}, kGenerate, 4, {39}, {}},
        BadInputCase{"InputEmpty", {{"input.txt", ""}}, kGenerate, 2, {40}, {}},
        BadInputCase{"InputIsADirectory", {{"input.txt", "<dir>"}}, kGenerate, 4, {39}, {}},
        BadInputCase{
            "InputBinaryGarbage", {{"input.txt", garbage()}}, kGenerate, 0, {}, {"out.txt"}},
        BadInputCase{"InputNotNumbers",
                     {{"input.txt", "nan\ninf\n-inf\nNaN\n0x10\nabc\n"}},
                     kGenerate,
                     0,
                     {},
                     {"out.txt"}},
        BadInputCase{"InputHugeNumbers",
                     {{"input.txt", "1e400\n-1e400\n1e38\n3.4e38\n1e-400\n5\n"}},
                     kGenerate,
                     0,
                     {},
                     {"out.txt"}},
        BadInputCase{"StateMissing",
                     {{"input.txt", smoothSeries()}},
                     generateArgs("input.txt", "absent.state", "out.txt"),
                     64,
                     {49},
                     {}},
        BadInputCase{"StateShort",
                     {{"input.txt", smoothSeries()}, {"short.state", std::string(80, '\0')}},
                     generateArgs("input.txt", "short.state", "out.txt"),
                     8,
                     {48},
                     {}},
        BadInputCase{"StateLong",
                     {{"input.txt", smoothSeries()}, {"long.state", std::string(92, '\0')}},
                     generateArgs("input.txt", "long.state", "out.txt"),
                     8,
                     {48},
                     {}},
        BadInputCase{"TextStateReadAsBinary",
                     {{"input.txt", smoothSeries()}},
                     generateArgs("input.txt", "net.txt", "out.txt"),
                     8,
                     {48},
                     {}},
        BadInputCase{
            "BinaryStateReadAsText",
            {{"input.txt", smoothSeries()}},
            with(generateArgs("input.txt", "net.state", "out.txt"), {"-loadConversionState"}),
            8,
            {48},
            {}},
        BadInputCase{"StateIsADirectory",
                     {{"input.txt", smoothSeries()}, {"dir.state", "<dir>"}},
                     generateArgs("input.txt", "dir.state", "out.txt"),
                     64,
                     {49},
                     {}},
        BadInputCase{"OutputInMissingDirectory",
                     {{"input.txt", smoothSeries()}},
                     generateArgs("input.txt", "net.state", "nowhere/out.txt"),
                     32,
                     {58},
                     {}},
        BadInputCase{"OutputIsADirectory",
                     {{"input.txt", smoothSeries()}, {"out.txt", "<dir>"}},
                     kGenerateText,
                     32,
                     {58},
                     {}},
        BadInputCase{"SaveInMissingDirectory", {}, trainArgs("nowhere/new.state"), 16, {54}, {}},
        BadInputCase{
            "SaveIsADirectory", {{"new.state", "<dir>"}}, trainArgs("new.state"), 16, {54}, {}},
        BadInputCase{"SaveBeyondAFileSizeLimit",
                     {{"new.state", "old"}},
                     with(trainArgs("new.state"), {"-saveConversionState"}),
                     16,
                     {55},
                     {},
                     100},
        BadInputCase{"OutputBeyondAFileSizeLimit",
                     {{"input.txt", smoothSeries()}, {"out.txt", "old"}},
                     with(kGenerate, {"-pointsToGenerate", "100"}),
                     32,
                     {58},
                     {},
                     100},
        BadInputCase{"TrainStateMissing",
                     {},
                     with(trainArgs("new.state"), {"-loadStateFile", "absent.state"}),
                     64,
                     {49},
                     {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
