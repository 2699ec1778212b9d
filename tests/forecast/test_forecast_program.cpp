// vantiro-forecast run as a user runs it: its options and refusals as one
// table, each refusal with its exit code, one line on standard error, and
// earlier output files left as they were.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ProgramRun {
  int exitCode = -1;
  std::string out, err;
};

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::set<std::string> filesIn(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] != '.') names.insert(e->d_name);
    }
    closedir(d);
  }
  return names;
}

class ForecastProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/forecast-program.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::string nile = "year,flow\n";
    std::istringstream values(readFile(VANTIRO_SOURCE_DIR "/examples/nile-flow-1871-1970.txt"));
    std::string v;
    for (int year = 1871; std::getline(values, v); ++year) {
      nile += std::to_string(year) + "," + v + "\n";
    }
    writeFile(path("nile.csv"), nile);
    writeFile(path("words.csv"), "year,flow\n1871,1120\n1872,1160\n1873,n/a\n1874,1210\n");
    writeFile(path("short.csv"), "flow\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n");
    // A state of neurons 2, window 3 (4 x (1 + 6 + 2) bytes) with records that do and do not fit it.
    writeFile(path("s.nn"), std::string(36, '\0'));
    writeFile(path("s.nn.scale"), "1000 neurons=2 window=3 engine=single\n");
    writeFile(path("wide.nn"), std::string(36, '\0'));
    writeFile(path("wide.nn.scale"), "1000 neurons=2 window=4 engine=single\n");
    writeFile(path("bare.nn"), std::string(36, '\0'));
    writeFile(path("old.csv"), "earlier forecast\n");
    writeFile(path("old.svg"), "earlier picture\n");
  }
  void TearDown() override {
    for (const auto& name : filesIn(dir_)) unlink(path(name).c_str());
    rmdir(dir_.c_str());
  }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }

  ProgramRun run(const std::vector<std::string>& arguments) const {
    const std::string program = VANTIRO_BIN_DIR "/vantiro-forecast";
    const std::string out = path(".out"), err = path(".err");
    const pid_t pid = fork();
    if (pid == 0) {
      if (chdir(dir_.c_str()) != 0) _exit(127);
      const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(o, 1);
      dup2(e, 2);
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ProgramRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readFile(out);
    r.err = readFile(err);
    unlink(out.c_str());
    unlink(err.c_str());
    return r;
  }

  std::string dir_;
};

struct Row {
  std::vector<std::string> arguments;
  int exitCode;
  const char* message;  // on standard error; for exit code 0, on standard output
};

TEST_F(ForecastProgram, OptionsAndRefusals) {
  const std::vector<std::string> fast = {"--seconds", "0.3", "--svg", "old.svg"};
  auto with = [&](std::vector<std::string> a) {
    a.insert(a.end(), fast.begin(), fast.end());
    return a;
  };
  const Row rows[] = {
      {{}, 1, "no command"},
      {{"frobnicate"}, 1, "unknown command \"frobnicate\""},
      {with({"check", "nile.csv", "--column", "flow"}), 1, "check needs --holdout K"},
      {with({"check", "nile.csv", "--holdout", "0"}), 1, "--holdout must be at least 1"},
      {with({"check", "nile.csv", "--holdout", "ten"}), 1, "\"ten\" is not a whole number"},
      {with({"check", "nile.csv", "--holdout", "10", "--engine", "avx"}), 1,
       "single, double, sse or nnvec2"},
      {with({"check", "nile.csv", "--holdout", "10", "--rate", "0"}), 1, "a number above 0"},
      {with({"check", "nile.csv", "--holdout", "10", "--frobnicate", "1"}), 1,
       "unknown option --frobnicate"},
      {{"check", "nile.csv", "--holdout", "10", "--seconds", "0"}, 1, "training must have a way"},
      {{"check", "nile.csv", "--holdout"}, 1, "--holdout needs a value"},
      {with({"ahead", "nile.csv", "--points", "5"}), 1, "ahead needs -o"},
      {with({"ahead", "nile.csv", "--points", "5", "-o", "old.csv", "--state", "s.nn",
             "--scale", "10"}), 1, "--scale cannot be given with --state"},
      {with({"check", "missing.csv", "--holdout", "10"}), 2, "cannot open missing.csv"},
      {with({"check", "nile.csv", "--column", "rain", "--holdout", "10"}), 2,
       "nile.csv: there is no column named \"rain\" in the header"},
      {with({"check", "words.csv", "--column", "flow", "--holdout", "1"}), 2,
       "words.csv line 4: \"n/a\" in column flow is not a number"},
      {with({"check", "short.csv", "--holdout", "10"}), 2,
       "the series has 13 values; window 3 and hold-out 10 need at least 14"},
      {with({"ahead", "nile.csv", "--column", "flow", "--points", "5", "-o", "old.csv",
             "--state", "wide.nn"}), 2,
       "holds 36 bytes, but neurons 2 and window 4 from its .scale file make 44"},
      {with({"ahead", "nile.csv", "--column", "flow", "--points", "5", "-o", "old.csv",
             "--state", "s.nn", "--window", "5"}), 2,
       "has neurons 2 and window 3 (its .scale file), not 2 and 5"},
      {with({"ahead", "nile.csv", "--column", "flow", "--points", "5", "-o", "old.csv",
             "--state", "bare.nn"}), 2, "has no bare.nn.scale beside it"},
      {{"check", "nile.csv", "--column", "flow", "--holdout", "10", "--seconds", "0.3", "--svg",
        "no/such/dir/p.svg"}, 4, "cannot write no/such/dir/p.svg"},
      {{"--help"}, 0, "Exit codes: 0 done; 1 wrong command line"},
  };
  const std::set<std::string> before = filesIn(dir_);
  for (const auto& row : rows) {
    std::string shown;
    for (const auto& a : row.arguments) shown += a + " ";
    SCOPED_TRACE(shown);
    const ProgramRun r = run(row.arguments);
    EXPECT_EQ(r.exitCode, row.exitCode) << r.err;
    if (row.exitCode == 0) {
      EXPECT_NE(r.out.find(row.message), std::string::npos) << r.out;
      continue;
    }
    EXPECT_EQ(r.err.rfind("vantiro-forecast: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_EQ(readFile(path("old.csv")), "earlier forecast\n");
    EXPECT_EQ(readFile(path("old.svg")), "earlier picture\n");
    EXPECT_EQ(filesIn(dir_), before) << "nothing written, no temporary file left";
  }
}

TEST_F(ForecastProgram, CheckAndForecastAhead) {
  ProgramRun r = run({"check", "nile.csv", "--column", "flow", "--holdout", "10", "--seconds", "0.5",
               "--svg", "old.svg"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("trained on values 1-90, forecast 91-100"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("series divided by 1000"), std::string::npos) << r.out;
  for (const char* name : {"network", "last value", "drift", "Best by mean absolute error"}) {
    EXPECT_NE(r.out.find(name), std::string::npos) << name;
  }
  const std::string svg = readFile(path("old.svg"));
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  for (const char* colour : {"#1f77b4", "#2ca02c", "#d62728"}) {
    EXPECT_NE(svg.find(colour), std::string::npos) << colour;
  }

  r = run({"ahead", "nile.csv", "--column", "flow", "--date-column", "year", "--points", "3",
           "--seconds", "0.3", "-o", "old.csv", "--save-state", "kept.nn"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string csv = readFile(path("old.csv"));
  EXPECT_EQ(csv.rfind("year,flow\n1971,", 0), 0u) << csv;
  EXPECT_NE(csv.find("\n1973,"), std::string::npos) << csv;
  EXPECT_EQ(readFile(path("kept.nn.scale")), "1000 neurons=2 window=3 engine=single\n");

  // The kept state forecasts the same values again, and measures its own error.
  r = run({"ahead", "nile.csv", "--column", "flow", "--date-column", "year", "--points", "3",
           "-o", "again.csv", "--state", "kept.nn"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(path("again.csv")), csv);
  r = run({"error", "nile.csv", "--column", "flow", "--state", "kept.nn"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Largest relative error of kept.nn on nile.csv: 0."), std::string::npos)
      << r.out;
}

}  // namespace
