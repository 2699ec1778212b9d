#include "field_rules.h"

#include <cstdio>

#include "common/number_text.h"

namespace {

const char* skipBlanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// strtoul's base-10 conversion with a 32-bit unsigned long: its own white
// space skip, an optional sign, and ULONG_MAX past the range.
std::uint32_t convertUnsigned32(const char* text, const char** end) {
  const char* p = text;
  while (isSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (*p < '0' || *p > '9') {
    *end = text;
    return 0;
  }
  std::uint64_t value = 0;
  bool overflow = false;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + static_cast<std::uint64_t>(*p - '0');
    if (value > 0xFFFFFFFFull) {
      overflow = true;
      value = 0xFFFFFFFFull;  // kept small enough never to wrap
    }
  }
  *end = p;
  if (overflow) return 0xFFFFFFFFu;
  const auto result = static_cast<std::uint32_t>(value);
  return negative ? static_cast<std::uint32_t>(0u - result) : result;
}

}  // namespace

std::optional<std::uint32_t> readUnsignedField(const char* text) {
  const char* p = skipBlanks(text);
  if (*p == '-') return std::nullopt;
  const char first = *p;
  const char* end = p;
  const std::uint32_t value = convertUnsigned32(p, &end);
  if (value == 0 && first != '0') return std::nullopt;
  if (*skipBlanks(end) != '\0') return std::nullopt;
  return value;
}

std::optional<double> readRealField(const char* text) {
  const char* p = skipBlanks(text);
  const char first = *p;
  const char* end = p;
  const double value = parseDecimal(p, &end);
  if (value == 0.0 && first != '0') return std::nullopt;
  if (*skipBlanks(end) != '\0') return std::nullopt;
  return value;
}

std::string textLimitMessage(int limit) {
  std::string message = kEnterNoMoreThan;
  message.replace(message.find("%1"), 2, std::to_string(limit));
  return message;
}

std::string unsignedFieldText(std::uint32_t value) { return std::to_string(value); }

std::string realFieldText(double value) {
  char text[64];
  formatReal(text, sizeof text, 15, value);
  return text;
}

std::string memoryRequiredText(std::uint32_t neurons, std::uint32_t windowSize,
                               bool doublePrecision) {
  const long double elementSize = doublePrecision ? 8.0L : 4.0L;
  // The 64-bit mantissa holds every product of two 32-bit counts exactly.
  const long double n = neurons;
  const long double bytes = (n + n * windowSize) * elementSize;
  char text[64];
  formatByteCount(text, sizeof text, static_cast<double>(bytes));
  return text;
}
