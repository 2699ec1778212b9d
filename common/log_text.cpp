#include "log_text.h"

namespace {

void appendEscaped(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

// The length of the well-formed UTF-8 sequence at the start of `text` and its
// code point; 0 when it is not one (stray, overlong, surrogate, cut short).
std::size_t utf8Sequence(std::string_view text, char32_t* codePoint) {
  const auto at = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = at(0);
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((at(i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (at(i) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *codePoint = value;
  return length;
}

bool isControl(char32_t c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

}  // namespace

std::string escapeControlCharacters(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    char32_t codePoint = byte;
    const std::size_t length = byte < 0x80 ? 1 : utf8Sequence(text.substr(i), &codePoint);
    if (length == 0) {
      appendEscaped(out, byte);
      ++i;
      continue;
    }
    if (codePoint == '\\') {
      out += "\\\\";
    } else if (isControl(codePoint)) {
      for (std::size_t k = 0; k < length; ++k)
        appendEscaped(out, static_cast<unsigned char>(text[i + k]));
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}
