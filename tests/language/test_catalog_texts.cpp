#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "common/catalog_message.h"
#include "common/message_signatures.h"
#include "platform/library_loader.h"

namespace {

using LoadCatalogStringFn = int (*)(unsigned, char*, int);

// The Language.dll the programs load, opened once.
class StringTable : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    int error = 0;
    module_ = loadLibrary(VANTIRO_BIN_DIR "/Language.dll", &error);
    if (module_ != nullptr) {
      lookup_ = reinterpret_cast<LoadCatalogStringFn>(
          librarySymbol(module_, "LoadCatalogString", &error));
    }
  }
  static void TearDownTestSuite() {
    freeLibrary(module_);
    module_ = nullptr;
    lookup_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(module_, nullptr) << "cannot load " VANTIRO_BIN_DIR "/Language.dll";
    ASSERT_NE(lookup_, nullptr) << "Language.dll has no LoadCatalogString";
  }

  // The whole text of a message, however long.
  static std::string text(unsigned id) {
    static char buffer[65536];
    const int n = lookup_(id, buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
  }

  static void* module_;
  static LoadCatalogStringFn lookup_;
};

void* StringTable::module_ = nullptr;
LoadCatalogStringFn StringTable::lookup_ = nullptr;

class EveryMessage : public StringTable, public ::testing::WithParamInterface<unsigned> {};

// A conversion that does not fit the message's arguments would make the
// programs fall back to "String N not found" (or, unchecked, crash).
TEST_P(EveryMessage, HasATextWhoseConversionsFitItsArguments) {
  const unsigned id = GetParam();
  const MessageSignature signature = messageSignature(id);
  ASSERT_TRUE(signature.known);
  const std::string t = text(id);
  ASSERT_FALSE(t.empty()) << "message " << id << " has no text";
  EXPECT_TRUE(formatMatches(t.c_str(), signature.args))
      << "message " << id << ": \"" << t << "\" does not take \"" << signature.args << "\"";
}

// Texts 1 to 14 are printed as they are and carry their line end; the others
// go through a sink or into the dialog, which add their own, and must fit
// the 512-byte message buffer.
TEST_P(EveryMessage, LineEndAndLengthSuitWhereItIsShown) {
  const unsigned id = GetParam();
  const std::string t = text(id);
  ASSERT_FALSE(t.empty());
  if (id <= 14) {
    EXPECT_EQ(t.back(), '\n') << "message " << id;
  } else {
    EXPECT_NE(t.back(), '\n') << "message " << id;
  }
  if (id != 1) {
    EXPECT_LT(t.size(), 512u) << "message " << id << " would be cut";
  }
}

std::vector<unsigned> systemMessages() {
  std::vector<unsigned> ids;
  for (unsigned id = 1; id <= 88; ++id) {
    if (id != 34) ids.push_back(id);
  }
  return ids;
}

INSTANTIATE_TEST_SUITE_P(OneToEightyEight, EveryMessage, ::testing::ValuesIn(systemMessages()));

TEST_F(StringTable, NumbersNoProgramIssuesHaveNoText) {
  for (unsigned id : {0u, 34u, 89u, 1000u, 4294967295u}) {
    char buffer[32] = "leftover";
    EXPECT_EQ(lookup_(id, buffer, sizeof buffer), 0) << id;
    EXPECT_STREQ(buffer, "") << id;
  }
}

TEST_F(StringTable, UsageNamesEveryOption) {
  const std::string usage = text(1);
  for (const char* option : {"-train",
                             "-generate",
                             "-benchmark",
                             "-numberOfNeurons",
                             "-inputWindowSize",
                             "-learningRate",
                             "-toleranceUnit",
                             "-trainToTolerance",
                             "-pointsToGenerate",
                             "-benchmarkingIterations",
                             "-benchmarkingDataPoints",
                             "-inputFile",
                             "-outputFile",
                             "-loadStateFile",
                             "-saveStateFile",
                             "-loadConversionState",
                             "-saveConversionState",
                             "-doublePrecision",
                             "-nnvec2",
                             "-SSE"}) {
    bool named = false;
    for (std::size_t at = usage.find(option); at != std::string::npos;
         at = usage.find(option, at + 1)) {
      const char after = usage[at + std::char_traits<char>::length(option)];
      if (!std::isalnum(static_cast<unsigned char>(after))) named = true;
    }
    EXPECT_TRUE(named) << "the usage text does not name " << option;
  }
}

// LoadStringA's contract, which every replacement table keeps as well.
TEST_F(StringTable, CutsToTheBufferItIsGiven) {
  const std::string whole = text(38);
  ASSERT_GT(whole.size(), 4u);
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(lookup_(38, buffer, 5), 4);
  EXPECT_EQ(std::string(buffer), whole.substr(0, 4));
  EXPECT_EQ(buffer[5], 'x');
  EXPECT_EQ(lookup_(38, buffer, 1), 0);
  EXPECT_STREQ(buffer, "");
  buffer[0] = 'y';
  EXPECT_EQ(lookup_(38, buffer, 0), 0);
  EXPECT_EQ(buffer[0], 'y');
  EXPECT_EQ(lookup_(38, nullptr, 8), 0);
}

}  // namespace
