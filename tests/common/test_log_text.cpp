// File-derived text made fit for one log line.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "common/log_text.h"

namespace {

struct EscapeCase {
  const char* name;
  std::string text;
  std::string escaped;
};
void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }

class EscapeControlCharacters : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeControlCharacters, LeavesOneLineOfPrintableText) {
  const EscapeCase& c = GetParam();
  const std::string escaped = escapeControlCharacters(c.text);
  EXPECT_EQ(escaped, c.escaped);
  for (const char byte : escaped) {
    const auto b = static_cast<unsigned char>(byte);
    EXPECT_TRUE(b >= 0x20 && b != 0x7F) << "byte " << int{b} << " left in " << escaped;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EscapeControlCharacters,
    ::testing::Values(EscapeCase{"Plain", "/home/ann/VantiroUserManual.chm::/The Begin Button.html",
                                 "/home/ann/VantiroUserManual.chm::/The Begin Button.html"},
                      EscapeCase{"Empty", "", ""},
                      EscapeCase{"LineEndsAndTab", "a\nb\r\nc\td", "a\\x0ab\\x0d\\x0ac\\x09d"},
                      // A line end followed by a key: the key stays on the same line.
                      EscapeCase{"InjectedLine", "Home.html\nssh-ed25519 AAAAC3Nza key\n",
                                 "Home.html\\x0assh-ed25519 AAAAC3Nza key\\x0a"},
                      EscapeCase{"TerminalEscapeAndDelete", "\x1b[2J\x7f", "\\x1b[2J\\x7f"},
                      EscapeCase{"NulInside", std::string("a\0b", 3), "a\\x00b"},
                      // The escape's own character is escaped, so "\x0a" in a name is not
                      // taken for an escaped line end.
                      EscapeCase{"Backslash", "dir\\x0a\\", "dir\\\\x0a\\\\"},
                      EscapeCase{"Utf8Stays", "Übersicht – Ελληνικά 日本 😀",
                                 "Übersicht – Ελληνικά 日本 😀"},
                      EscapeCase{"NextLineC1",
                                 "a\xc2\x85"
                                 "b\xc2\x9b"
                                 "c",
                                 "a\\xc2\\x85b\\xc2\\x9bc"},
                      EscapeCase{"LineAndParagraphSeparators",
                                 "a\xe2\x80\xa8"
                                 "b\xe2\x80\xa9",
                                 "a\\xe2\\x80\\xa8b\\xe2\\x80\\xa9"},
                      EscapeCase{"StrayAndCutBytes", "\x9b[31m\xe2\x80", "\\x9b[31m\\xe2\\x80"},
                      EscapeCase{"OverlongSlashAndSurrogate", "\xc0\xaf\xed\xa0\x80",
                                 "\\xc0\\xaf\\xed\\xa0\\x80"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
