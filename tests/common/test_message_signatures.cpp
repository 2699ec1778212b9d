#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "common/message_signatures.h"

namespace {

// What a format consumes, or "refused".
std::string conversionsOf(const char* format) {
  char kinds[16];
  unsigned count = 0;
  if (!formatConversions(format, kinds, sizeof kinds, &count)) return "refused";
  return std::string(kinds, count);
}

struct ConversionCase {
  const char* format;
  const char* kinds;
};
void PrintTo(const ConversionCase& c, std::ostream* os) { *os << "\"" << c.format << "\""; }

class FormatConversions : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(FormatConversions, ReadsTheArgumentKinds) {
  EXPECT_EQ(conversionsOf(GetParam().format), GetParam().kinds) << "format: " << GetParam().format;
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, FormatConversions,
    ::testing::Values(ConversionCase{"no conversions", ""}, ConversionCase{"", ""},
                      ConversionCase{"100%% sure", ""}, ConversionCase{"%%d", ""},
                      ConversionCase{"%%%d", "i"},
                      ConversionCase{"%.*g", "id"},  // the precision comes first
                      ConversionCase{"%*.*f", "iid"}, ConversionCase{"%*d", "ii"},
                      ConversionCase{"%5.2f %s %u", "dsi"},
                      ConversionCase{"%-+ #0'10x|%X|%o|%c|%i", "iiiii"},
                      ConversionCase{"%hd %hhu", "ii"}, ConversionCase{"%e%E%G%a%A%F", "dddddd"},
                      ConversionCase{"%.3s", "s"}, ConversionCase{"%.f", "d"},
                      ConversionCase{"%511u|%.511f|%0511d", "idi"}));

INSTANTIATE_TEST_SUITE_P(
    Refused, FormatConversions,
    ::testing::Values(ConversionCase{"%n", "refused"}, ConversionCase{"%hn", "refused"},
                      ConversionCase{"%p", "refused"}, ConversionCase{"%ld", "refused"},
                      ConversionCase{"%lld", "refused"}, ConversionCase{"%lu", "refused"},
                      ConversionCase{"%Lf", "refused"}, ConversionCase{"%lf", "refused"},
                      ConversionCase{"%zu", "refused"}, ConversionCase{"%jd", "refused"},
                      ConversionCase{"%td", "refused"}, ConversionCase{"%ls", "refused"},
                      ConversionCase{"%lc", "refused"}, ConversionCase{"%hs", "refused"},
                      ConversionCase{"%hc", "refused"}, ConversionCase{"%hf", "refused"},
                      ConversionCase{"%1$s", "refused"}, ConversionCase{"%*1$d", "refused"},
                      ConversionCase{"%.*2$g", "refused"}, ConversionCase{"%m", "refused"},
                      ConversionCase{"%S", "refused"}, ConversionCase{"%C", "refused"},
                      ConversionCase{"%q", "refused"}, ConversionCase{"ends in %", "refused"},
                      ConversionCase{"ends in %5.", "refused"},
                      ConversionCase{"ends in %-", "refused"}, ConversionCase{"%s %n", "refused"},
                      // a field wider than any message buffer, which only costs time
                      ConversionCase{"%512u", "refused"}, ConversionCase{"%.555555555f", "refused"},
                      ConversionCase{"%99999999999999999999d", "refused"}));

TEST(FormatConversions, RefusesMoreConversionsThanItCanHold) {
  char kinds[4];
  unsigned count = 99;
  EXPECT_TRUE(formatConversions("%d%d%d%d", kinds, sizeof kinds, &count));
  EXPECT_EQ(count, 4u);
  EXPECT_FALSE(formatConversions("%d%d%d%d%d", kinds, sizeof kinds, &count));
  EXPECT_FALSE(formatConversions("%*d%d%d%d", kinds, sizeof kinds, &count));
}

struct MatchCase {
  const char* format;
  const char* expected;
  bool matches;
};
void PrintTo(const MatchCase& c, std::ostream* os) {
  *os << "\"" << c.format << "\" ~ \"" << c.expected << "\"";
}

class FormatMatches : public ::testing::TestWithParam<MatchCase> {};

TEST_P(FormatMatches, ComparesKindAndNumber) {
  const MatchCase& c = GetParam();
  EXPECT_EQ(formatMatches(c.format, c.expected), c.matches)
      << "format \"" << c.format << "\" against \"" << c.expected << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, FormatMatches,
    ::testing::Values(
        // int and unsigned are both 32 bits: any integer conversion takes either.
        MatchCase{"%u", "u", true}, MatchCase{"%d", "u", true}, MatchCase{"%x", "u", true},
        MatchCase{"%c", "i", true}, MatchCase{"%u", "i", true}, MatchCase{"%s %d", "si", true},
        MatchCase{"%s %u", "si", true}, MatchCase{"%d %s", "si", false},
        MatchCase{"%.*g", "id", true}, MatchCase{"%.6g", "id", false},
        MatchCase{"%*.*g", "id", false}, MatchCase{"%f", "u", false}, MatchCase{"%u", "d", false},
        MatchCase{"%s", "u", false}, MatchCase{"%u", "s", false}, MatchCase{"", "", true},
        MatchCase{"text", "", true}, MatchCase{"%u", "", false}, MatchCase{"", "u", false},
        MatchCase{"%u %u %u %u %s", "uuuus", true}, MatchCase{"%u %u %u %s", "uuuus", false},
        MatchCase{"%.3f then %.2f", "dd", true}, MatchCase{"%ld", "u", false},
        MatchCase{"%p", "s", false}));

TEST(MessageSignature, NumbersOutsideTheSystemAreUnknown) {
  for (unsigned id : {0u, 34u, 89u, 1000u}) EXPECT_FALSE(messageSignature(id).known) << id;
  for (unsigned id : {1u, 33u, 35u, 88u}) EXPECT_TRUE(messageSignature(id).known) << id;
}

}  // namespace
