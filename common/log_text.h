#pragma once
#include <string>
#include <string_view>

// A text taken from a file (a topic name, a path) made fit for one log line:
// every control character becomes "\xNN" with the byte's two lower-case hex
// digits, and a backslash "\\", so that a line end or a terminal's escape
// sequence inside the text can neither start a line of its own nor act on
// whoever reads the log. Control characters are C0 (below 0x20), DEL, C1
// (U+0080 to U+009F) and the Unicode line and paragraph separators; each
// byte of a sequence that is not UTF-8 is escaped too. Other UTF-8 text stays.
std::string escapeControlCharacters(std::string_view text);
