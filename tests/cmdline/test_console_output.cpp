#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <ostream>
#include <string>

#include "cmdline/console_messages.h"
#include "cmdline/console_sink.h"
#include "common/catalog_message.h"
#include "platform/catalog_lookup.h"
#include "platform/library_loader.h"

namespace {

// Reads what a stream received.
std::string contentOf(std::FILE* stream) {
  std::fflush(stream);
  std::string text;
  std::rewind(stream);
  char chunk[4096];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, stream)) > 0) text.append(chunk, n);
  return text;
}

// Standard output goes to a temporary file while the object lives.
class CapturedStdout {
 public:
  CapturedStdout() : file_(std::tmpfile()) {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    dup2(fileno(file_), STDOUT_FILENO);
  }
  ~CapturedStdout() {
    restore();
    std::fclose(file_);
  }
  std::string text() {
    restore();
    return contentOf(file_);
  }

 private:
  void restore() {
    if (saved_ < 0) return;
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
    saved_ = -1;
  }
  std::FILE* file_;
  int saved_ = -1;
};

struct SinkCase {
  unsigned consoleThreshold;
  unsigned logThreshold;
  unsigned level;
  bool onConsole;
  bool inLog;
};
void PrintTo(const SinkCase& c, std::ostream* os) {
  *os << c.consoleThreshold << "/" << c.logThreshold << " level " << c.level;
}

class ConsoleLogSinkThresholds : public ::testing::TestWithParam<SinkCase> {};

// The console and the log are two separate tests of the level.
TEST_P(ConsoleLogSinkThresholds, WritesWhereTheLevelReaches) {
  const SinkCase& c = GetParam();
  std::FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  std::string console;
  {
    CapturedStdout captured;
    ConsoleLogSink sink(c.consoleThreshold, c.logThreshold, log);
    sink.write(c.level, "message");
    console = captured.text();
  }
  EXPECT_EQ(console, c.onConsole ? "message\n" : "");
  EXPECT_EQ(contentOf(log), c.inLog ? "message\n" : "");
  std::fclose(log);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, ConsoleLogSinkThresholds,
    ::testing::Values(SinkCase{0, 2, 0, true, false}, SinkCase{0, 2, 1, true, false},
                      SinkCase{0, 2, 2, true, true}, SinkCase{1, 2, 0, false, false},
                      SinkCase{1, 2, 1, true, false}, SinkCase{1, 2, 2, true, true},
                      SinkCase{3, 0, 1, false, true}, SinkCase{0, 0xFFFFFFFFu, 7, true, false},
                      SinkCase{0, 2, 0xFFFFFFFFu, true, true}));

TEST(ConsoleSink, PrintsTheTextLiterallyWithOneLineEnd) {
  CapturedStdout captured;
  ConsoleSink progress(0);
  ConsoleSink benchmark(1);
  progress.write(0, "50% of %s done %n");
  progress.write(2, "two\nlines");
  progress.write(1, "");
  benchmark.write(0, "hidden");
  benchmark.write(1, "shown");
  EXPECT_EQ(captured.text(), "50% of %s done %n\ntwo\nlines\n\nshown\n");
}

class PrintCatalogMessage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    int error = 0;
    language_ = loadLibrary(VANTIRO_BIN_DIR "/Language.dll", &error);
  }
  static void TearDownTestSuite() { freeLibrary(language_); }
  void SetUp() override { ASSERT_NE(language_, nullptr); }
  static void* language_;
};
void* PrintCatalogMessage::language_ = nullptr;

TEST_F(PrintCatalogMessage, MissingTextPrintsTheFallbackOnALineOfItsOwn) {
  CapturedStdout captured;
  printCatalogMessage(language_, 34);
  printCatalogMessage(nullptr, 2);
  printCatalogMessage(language_, 4000, 7u);
  EXPECT_EQ(captured.text(), "String 34 not found\nString 2 not found\nString 4000 not found\n");
}

// The usage text is longer than a message buffer and is printed whole.
TEST_F(PrintCatalogMessage, PrintsTheWholeUsageText) {
  static char whole[65536];
  const int length = loadCatalogString(language_, 1, whole, sizeof whole);
  ASSERT_GT(length, 0);
  CapturedStdout captured;
  printCatalogMessage(language_, 1);
  EXPECT_EQ(captured.text(), std::string(whole, static_cast<std::size_t>(length)));
}

}  // namespace
