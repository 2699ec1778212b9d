#pragma once
#include <string_view>

// What each message number is formatted with, as a string of argument kinds:
//   'i' int, 'u' unsigned 32-bit, 'd' double, 's' NUL-terminated string.
// A catalogue text is a printf format; it is used only when its conversions
// consume exactly these arguments, in this order.
struct MessageSignature {
  bool known;             // false: no message of the system has this number
  std::string_view args;  // argument kinds, empty for a message without arguments
};

MessageSignature messageSignature(unsigned id);

// The argument kinds a printf format consumes, in order, in `kinds` (a '*'
// width or precision counts as 'i'). Returns false when the format holds
// anything this system never passes or cannot pass safely: %n, %p, length
// modifiers other than h and hh, positional arguments, an unfinished
// conversion, or more than `capacity` conversions.
bool formatConversions(const char* format, char* kinds, unsigned capacity, unsigned* count);

// True when `format` consumes exactly the arguments `expected` describes.
// Integer conversions (d, i, u, x, X, o, c) all accept 'i' and 'u': both are 32-bit.
bool formatMatches(const char* format, std::string_view expected);
