#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "comma_locale.h"
#include "common/catalog_message.h"
#include "fake_catalog.h"
#include "platform/catalog_lookup.h"

// glibc keeps the LOCPATH list of a locale loaded from a compiled locale
// directory for the life of the process; not a leak of this system.
extern "C" const char* __lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }

namespace test_support {
FakeCatalog& fakeCatalog() {
  static FakeCatalog catalog;
  return catalog;
}
}  // namespace test_support

// LoadStringA's contract: at most bufferSize-1 characters and a NUL, the count
// returned, 0 and an empty buffer for a missing number.
extern "C" __attribute__((visibility("default"))) int LoadCatalogString(unsigned id, char* buffer,
                                                                        int bufferSize) {
  auto& catalog = test_support::fakeCatalog();
  if (bufferSize <= 0) return 0;
  buffer[0] = '\0';
  const auto found = catalog.texts.find(id);
  if (found == catalog.texts.end()) return 0;
  const std::string& text = found->second;
  const std::size_t copied = std::min(text.size(), static_cast<std::size_t>(bufferSize - 1));
  std::memcpy(buffer, text.data(), copied);
  buffer[copied] = '\0';
  return catalog.overstateLength ? bufferSize + 100 : static_cast<int>(copied);
}

namespace {

using test_support::fakeCatalog;
using test_support::fakeLanguageModule;

class CatalogMessage : public ::testing::Test {
 protected:
  void SetUp() override { fakeCatalog() = {}; }
  void TearDown() override { fakeCatalog() = {}; }

  // Formats into a buffer with a guard zone behind its 512 bytes, and checks
  // that the guard is untouched and the text ends within the buffer.
  template <class... Args>
  std::string format(unsigned id, Args... args) {
    std::vector<char> memory(kMessageBufferSize + 64, '\x7f');
    const int n = formatCatalogMessage(fakeLanguageModule(), memory.data(), id, args...);
    for (std::size_t i = kMessageBufferSize; i < memory.size(); ++i) {
      EXPECT_EQ(memory[i], '\x7f') << "byte " << i << " past the message buffer was written";
    }
    const std::size_t length = strnlen(memory.data(), kMessageBufferSize);
    EXPECT_LT(length, static_cast<std::size_t>(kMessageBufferSize)) << "no NUL inside the buffer";
    EXPECT_EQ(static_cast<std::size_t>(n), length);
    return std::string(memory.data(), length);
  }
};

TEST_F(CatalogMessage, UsesTheTextAsFormat) {
  fakeCatalog().texts[40] = "%u lines, %u needed";
  fakeCatalog().texts[51] = "error %.*g";
  fakeCatalog().texts[15] = "%s failed with %d";
  EXPECT_EQ(format(40, 3u, 5u), "3 lines, 5 needed");
  EXPECT_EQ(format(51, 6, 0.123456789), "error 0.123457");
  EXPECT_EQ(format(15, "nnsingle.dll", -2), "nnsingle.dll failed with -2");
}

TEST_F(CatalogMessage, MissingTextFallsBackWithItsNumber) {
  fakeCatalog().texts[38] = "started";
  EXPECT_EQ(format(39), "String 39 not found");
  // The arguments of a message are ignored by the fallback.
  EXPECT_EQ(format(57, 1.5, 2.5), "String 57 not found");
  EXPECT_EQ(format(50, 1u, 2u, 3u, 4u, "x"), "String 50 not found");
}

TEST_F(CatalogMessage, NoModuleMeansEveryTextIsMissing) {
  char text[kMessageBufferSize];
  EXPECT_EQ(formatCatalogMessage(nullptr, text, 38), 19);
  EXPECT_STREQ(text, "String 38 not found");
}

// A translation whose conversions do not fit what its message receives would
// read arguments that are not there; it is treated as missing.
struct MismatchCase {
  unsigned id;
  const char* text;
};
void PrintTo(const MismatchCase& c, std::ostream* os) { *os << c.id << " \"" << c.text << "\""; }

class MismatchedTranslation : public CatalogMessage,
                              public ::testing::WithParamInterface<MismatchCase> {};

TEST_P(MismatchedTranslation, FallsBack) {
  const MismatchCase& c = GetParam();
  fakeCatalog().texts[c.id] = c.text;
  std::string text;
  switch (c.id) {
    case 38:
      text = format(38);
      break;
    case 40:
      text = format(40, 3u, 5u);
      break;
    case 15:
      text = format(15, "nnsingle.dll", 2);
      break;
    case 51:
      text = format(51, 6, 0.5);
      break;
    case 56:
      text = format(56, 1.25);
      break;
    case 57:
      text = format(57, 1.25, 2.5);
      break;
    default:
      FAIL() << "no arguments known for message " << c.id;
  }
  EXPECT_EQ(text, "String " + std::to_string(c.id) + " not found") << "text: " << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, MismatchedTranslation,
    ::testing::Values(MismatchCase{38, "started %s"},           // an argument that is not passed
                      MismatchCase{38, "100% done"},            // "% d": a conversion by accident
                      MismatchCase{40, "%u lines"},             // one argument too few
                      MismatchCase{40, "%u of %u of %u"},       // one too many
                      MismatchCase{40, "%s lines, %u needed"},  // a string where a number is passed
                      MismatchCase{40, "%f lines, %u needed"},  // a double where an int is passed
                      MismatchCase{15, "%d %s"},                // order swapped
                      MismatchCase{15, "%s %ld"},               // wider than what is passed
                      MismatchCase{51, "%g"},                   // the precision is an argument
                      MismatchCase{51, "%.*d"},                 // the value is a double
                      MismatchCase{56, "%u seconds"},           // a double read as an int
                      MismatchCase{56, "%Lf seconds"},          // a long double
                      MismatchCase{56, "%f seconds%n"},         // a write through an argument
                      MismatchCase{57, "%2$f %1$f"},            // positional arguments
                      MismatchCase{57, "%f %p"}));

// A text longer than 511 characters is cut by the lookup; a cut through a
// conversion must not leave a dangling '%' that the formatting then follows.
TEST_F(CatalogMessage, TextCutInsideAConversionFallsBack) {
  fakeCatalog().texts[60] = std::string(510, 'a') + "%u values";
  EXPECT_EQ(format(60, 7u), "String 60 not found");
  // "%%" cut in half is a lone '%' as well.
  fakeCatalog().texts[38] = std::string(510, 'b') + "%%";
  EXPECT_EQ(format(38), "String 38 not found");
}

TEST_F(CatalogMessage, TextOfExactly511CharactersIsUsedWhole) {
  fakeCatalog().texts[60] = std::string(509, 'a') + "%u";
  EXPECT_EQ(format(60, 7u), std::string(509, 'a') + "7");
}

TEST_F(CatalogMessage, LongArgumentsAreCutAtTheBuffer) {
  fakeCatalog().texts[50] = std::string(400, 'x') + " %u %u %u %u %s";
  const std::string longText(3000, 'y');
  const std::string text = format(50, 4000000000u, 2u, 3u, 4u, longText.c_str());
  EXPECT_EQ(text.size(), static_cast<std::size_t>(kMessageBufferSize - 1));
  EXPECT_EQ(text.substr(0, 418), std::string(400, 'x') + " 4000000000 2 3 4 ");
}

TEST_F(CatalogMessage, LookupThatOverstatesItsLengthStaysInsideTheBuffer) {
  fakeCatalog().texts[38] = std::string(700, 'c');
  fakeCatalog().overstateLength = true;
  std::vector<char> memory(kMessageBufferSize + 64, '\x7f');
  EXPECT_EQ(loadCatalogString(fakeLanguageModule(), 38, memory.data(), kMessageBufferSize),
            kMessageBufferSize - 1);
  EXPECT_EQ(memory[kMessageBufferSize - 1], '\0');
  EXPECT_EQ(memory[kMessageBufferSize], '\x7f');
  EXPECT_EQ(format(38), std::string(kMessageBufferSize - 1, 'c'));
}

TEST_F(CatalogMessage, NumberThatNoMessageUsesTakesNoArguments) {
  fakeCatalog().texts[34] = "plain";
  fakeCatalog().texts[200] = "with %u";
  EXPECT_EQ(format(34), "plain");
  EXPECT_EQ(format(200, 1u), "String 200 not found");
}

TEST_F(CatalogMessage, ConsoleFallbackEndsItsLine) {
  char text[64];
  catalogFormat(fakeLanguageModule(), 99, text, sizeof text, true);
  EXPECT_STREQ(text, "String 99 not found\n");
  catalogFormat(fakeLanguageModule(), 99, text, sizeof text, false);
  EXPECT_STREQ(text, "String 99 not found");
}

// The dialog program sets the user's locale; numbers in messages keep the period.
TEST_F(CatalogMessage, NumbersIgnoreTheUsersLocale) {
  test_support::GlobalCommaLocale comma;
  if (!comma.available()) GTEST_SKIP() << "no comma locale: " << comma.whyNot();
  fakeCatalog().texts[56] = "took %.3f s";
  fakeCatalog().texts[51] = "error %.*g";
  EXPECT_EQ(format(56, 1.5), "took 1.500 s");
  EXPECT_EQ(format(51, 6, 0.25), "error 0.25");
}

}  // namespace
