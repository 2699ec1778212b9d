#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "comma_locale.h"
#include "common/number_text.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct ParseCase {
  const char* text;
  double value;
  std::size_t consumed;  // characters up to the end of the number
};
void PrintTo(const ParseCase& c, std::ostream* os) { *os << "\"" << c.text << "\""; }

class ParseDecimal : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseDecimal, ReadsTheDecimalPrefix) {
  const ParseCase& c = GetParam();
  const char* end = nullptr;
  const double value = parseDecimal(c.text, &end);
  if (std::isinf(c.value)) {
    EXPECT_EQ(value, c.value) << c.text;
  } else {
    EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    EXPECT_FALSE(std::signbit(value) && value == 0.0 && !std::signbit(c.value)) << c.text;
  }
  EXPECT_EQ(static_cast<std::size_t>(end - c.text), c.consumed) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    DecimalForms, ParseDecimal,
    ::testing::Values(ParseCase{"1.5", 1.5, 3}, ParseCase{"-2.5e3", -2500.0, 6},
                      ParseCase{"+.5", 0.5, 3}, ParseCase{"5.", 5.0, 2}, ParseCase{"2E-2", 0.02, 4},
                      ParseCase{"1e+2", 100.0, 4},
                      ParseCase{" \t\r\n\v\f7", 7.0, 7},  // leading white space
                      ParseCase{"12abc", 12.0, 2}, ParseCase{"3.25\r\n", 3.25, 4},
                      ParseCase{"1,5", 1.0, 1},  // a comma ends the number
                      ParseCase{"1e", 1.0, 1}, ParseCase{"1e+", 1.0, 1}, ParseCase{"1e5e5", 1e5, 3},
                      ParseCase{"1.2.3", 1.2, 3}, ParseCase{"00012", 12.0, 5}));

// Only decimal forms are numbers: everything else reads as 0 with nothing used.
INSTANTIATE_TEST_SUITE_P(
    NotNumbers, ParseDecimal,
    ::testing::Values(ParseCase{"", 0.0, 0}, ParseCase{"abc", 0.0, 0}, ParseCase{"nan", 0.0, 0},
                      ParseCase{"NaN", 0.0, 0}, ParseCase{"-nan", 0.0, 0}, ParseCase{"inf", 0.0, 0},
                      ParseCase{"-Infinity", 0.0, 0}, ParseCase{"  INF", 0.0, 0},
                      ParseCase{".", 0.0, 0}, ParseCase{"-", 0.0, 0}, ParseCase{"+.e5", 0.0, 0},
                      ParseCase{"e5", 0.0, 0}, ParseCase{"- 1", 0.0, 0}, ParseCase{"\n", 0.0, 0}));

// Hexadecimal text reads as its decimal prefix "0".
INSTANTIATE_TEST_SUITE_P(Hexadecimal, ParseDecimal,
                         ::testing::Values(ParseCase{"0x10", 0.0, 1}, ParseCase{"0X1p3", 0.0, 1},
                                           ParseCase{"-0x1.8p1", -0.0, 2}));

INSTANTIATE_TEST_SUITE_P(
    Range, ParseDecimal,
    ::testing::Values(ParseCase{"1e400", kInf, 5}, ParseCase{"-1e400", -kInf, 6},
                      ParseCase{"1e-400", 0.0, 6},
                      ParseCase{"1.7976931348623157e308", 1.7976931348623157e308, 22}));

TEST(ParseDecimal, ReadsNumbersLongerThanAnyBuffer) {
  const std::string ones = "1" + std::string(300, '0') + ".5";
  EXPECT_DOUBLE_EQ(parseDecimal(ones.c_str()), 1e300);
  const std::string fraction = "0." + std::string(1000, '0') + "1e1005";
  EXPECT_DOUBLE_EQ(parseDecimal(fraction.c_str()), 1e4);
}

struct RealCase {
  int precision;
  double value;
  const char* text;
};
void PrintTo(const RealCase& c, std::ostream* os) { *os << c.precision << " " << c.text; }

class FormatReal : public ::testing::TestWithParam<RealCase> {};

TEST_P(FormatReal, WritesGeneralFormWithThreeExponentDigits) {
  const RealCase& c = GetParam();
  char text[128];
  const int n = formatReal(text, sizeof text, c.precision, c.value);
  EXPECT_STREQ(text, c.text);
  EXPECT_EQ(n, static_cast<int>(std::strlen(c.text)));
}

INSTANTIATE_TEST_SUITE_P(
    Files, FormatReal,
    ::testing::Values(RealCase{6, 1.5e-7, "1.5e-007"}, RealCase{6, 0.0001, "0.0001"},
                      RealCase{6, 0.00001, "1e-005"}, RealCase{15, 1.0 / 3.0, "0.333333333333333"},
                      RealCase{6, 0.1, "0.1"}, RealCase{6, static_cast<double>(0.1f), "0.1"},
                      RealCase{9, static_cast<double>(0.1f), "0.100000001"},
                      RealCase{17, 0.1, "0.10000000000000001"}, RealCase{6, 0.0, "0"},
                      RealCase{6, -0.0, "-0"}, RealCase{6, -2.5, "-2.5"},
                      RealCase{6, 100000.0, "100000"}, RealCase{6, 1000000.0, "1e+006"},
                      RealCase{6, 123456789.0, "1.23457e+008"}, RealCase{6, 1e20, "1e+020"},
                      RealCase{6, 1e100, "1e+100"}, RealCase{6, -1e-300, "-1e-300"},
                      RealCase{6, 5e-324, "4.94066e-324"}, RealCase{0, 2.5, "2"},
                      RealCase{1, 0.96, "1"}, RealCase{6, 999999.5, "1e+006"},
                      RealCase{6, kInf, "inf"}, RealCase{6, -kInf, "-inf"},
                      RealCase{6, std::nan(""), "nan"}));

// Any precision printf accepts gives printf's digits, never a cut or garbled text.
TEST(FormatReal, LargePrecisionMatchesPrintf) {
  for (int precision : {30, 60, 80, 120}) {
    for (double value : {1.0 / 3.0, 1e70, 123456789.125, 1e-5}) {
      char expected[512];
      std::snprintf(expected, sizeof expected, "%.*g", precision, value);
      std::string want = expected;
      const auto e = want.find('e');
      if (e != std::string::npos && want.size() - e - 2 < 3)
        want.insert(e + 2, 3 - (want.size() - e - 2), '0');
      char text[512];
      formatReal(text, sizeof text, precision, value);
      EXPECT_EQ(std::string(text), want) << "precision " << precision << " value " << expected;
    }
  }
}

TEST(FormatReal, CutsToItsCapacity) {
  std::vector<char> memory(16, '\x7f');
  EXPECT_EQ(formatReal(memory.data(), 4, 6, 1.5e-7), 3);
  EXPECT_STREQ(memory.data(), "1.5");
  EXPECT_EQ(memory[4], '\x7f');
  EXPECT_EQ(formatReal(memory.data(), 0, 6, 1.5), 0);
  EXPECT_EQ(memory[0], '1');
}

TEST(NumberText, IgnoresTheUsersLocale) {
  test_support::GlobalCommaLocale comma;
  if (!comma.available()) GTEST_SKIP() << "no comma locale: " << comma.whyNot();
  char check[16];
  std::snprintf(check, sizeof check, "%.1f", 1.5);
  ASSERT_STREQ(check, "1,5") << "the comma locale is not in effect";

  EXPECT_EQ(parseDecimal("1.5"), 1.5);
  EXPECT_EQ(parseDecimal("1,5"), 1.0);
  EXPECT_EQ(parseDecimal("-2.25e-1"), -0.225);
  char text[64];
  formatReal(text, sizeof text, 6, 1.5e-7);
  EXPECT_STREQ(text, "1.5e-007");
  formatReal(text, sizeof text, 6, 0.25);
  EXPECT_STREQ(text, "0.25");
  formatByteCount(text, sizeof text, 4004000.0);
  EXPECT_STREQ(text, "4,004,000 bytes");
}

struct GroupingCase {
  const char* digits;
  const char* grouped;
};
void PrintTo(const GroupingCase& c, std::ostream* os) { *os << c.digits; }

class ThousandsSeparators : public ::testing::TestWithParam<GroupingCase> {};

TEST_P(ThousandsSeparators, GroupsByThrees) {
  char text[64];
  std::snprintf(text, sizeof text, "%s", GetParam().digits);
  insertThousandsSeparators(text, sizeof text);
  EXPECT_STREQ(text, GetParam().grouped);
}

INSTANTIATE_TEST_SUITE_P(Digits, ThousandsSeparators,
                         ::testing::Values(GroupingCase{"", ""}, GroupingCase{"0", "0"},
                                           GroupingCase{"840", "840"},
                                           GroupingCase{"1000", "1,000"},
                                           GroupingCase{"400400", "400,400"},
                                           GroupingCase{"4004000", "4,004,000"},
                                           GroupingCase{"12345678901", "12,345,678,901"}));

// Without room for every comma the digits are left as they are: a half-grouped
// number ("4004,000") would read as a different one.
TEST(ThousandsSeparators, WithoutRoomLeavesTheDigitsAlone) {
  for (std::size_t capacity = 8; capacity <= 10; ++capacity) {
    std::vector<char> memory(16, '\x7f');
    std::memcpy(memory.data(), "4004000", 8);
    insertThousandsSeparators(memory.data(), capacity);
    EXPECT_STREQ(memory.data(), capacity < 10 ? "4004000" : "4,004,000") << "capacity " << capacity;
    for (std::size_t i = capacity; i < memory.size(); ++i) EXPECT_EQ(memory[i], '\x7f');
  }
}

TEST(FormatByteCount, RoundsGroupsAndNamesTheUnit) {
  char text[64];
  const std::pair<double, const char*> cases[] = {{0.0, "0 bytes"},
                                                  {40.0, "40 bytes"},
                                                  {6152.0, "6,152 bytes"},
                                                  {3074.5, "3,074 bytes"},
                                                  {4004000.0, "4,004,000 bytes"},
                                                  {1e15, "1,000,000,000,000,000 bytes"}};
  for (const auto& [value, expected] : cases) {
    formatByteCount(text, sizeof text, value);
    EXPECT_STREQ(text, expected);
  }
}

TEST(FormatByteCount, StaysInsideASmallBuffer) {
  std::vector<char> memory(32, '\x7f');
  formatByteCount(memory.data(), 8, 6152.0);
  EXPECT_LT(std::strlen(memory.data()), 8u);
  for (std::size_t i = 8; i < memory.size(); ++i) EXPECT_EQ(memory[i], '\x7f');
}

struct IntegerCase {
  const char* text;
  unsigned value;
};
void PrintTo(const IntegerCase& c, std::ostream* os) { *os << "\"" << c.text << "\""; }

class ParseIntegerOption : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ParseIntegerOption, ConvertsAsAtoiThenUnsigned) {
  EXPECT_EQ(parseIntegerOption(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParseIntegerOption,
    ::testing::Values(IntegerCase{"0", 0}, IntegerCase{"42", 42}, IntegerCase{"  +7", 7},
                      IntegerCase{" \t\n5", 5}, IntegerCase{"12abc", 12}, IntegerCase{"1e3", 1},
                      IntegerCase{"3.9", 3}, IntegerCase{"0x10", 0}, IntegerCase{"abc", 0},
                      IntegerCase{"", 0}, IntegerCase{"--1", 0}, IntegerCase{"+-1", 0},
                      IntegerCase{"- 5", 0}, IntegerCase{"-1", 4294967295u}, IntegerCase{"-0", 0},
                      IntegerCase{"000000000000000000000000009", 9}));

// Beyond the int range the value is clamped to it before it is taken as unsigned.
INSTANTIATE_TEST_SUITE_P(Clamped, ParseIntegerOption,
                         ::testing::Values(IntegerCase{"2147483647", 2147483647u},
                                           IntegerCase{"2147483648", 2147483647u},
                                           IntegerCase{"4294967295", 2147483647u},
                                           IntegerCase{"99999999999999999999999999", 2147483647u},
                                           IntegerCase{"-2147483648", 2147483648u},
                                           IntegerCase{"-2147483649", 2147483648u},
                                           IntegerCase{"-99999999999999999999999999",
                                                       2147483648u}));

}  // namespace
