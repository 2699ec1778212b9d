#include "number_text.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "c_locale.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Length of the longest decimal number at the start of `p` (after white space).
std::size_t decimalPrefixLength(const char* p) {
  std::size_t i = 0;
  if (p[i] == '+' || p[i] == '-') ++i;
  std::size_t digits = 0;
  while (isDigit(p[i])) ++i, ++digits;
  if (p[i] == '.') {
    ++i;
    while (isDigit(p[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (p[i] == 'e' || p[i] == 'E') {
    std::size_t j = i + 1;
    if (p[j] == '+' || p[j] == '-') ++j;
    if (isDigit(p[j])) {
      while (isDigit(p[j])) ++j;
      i = j;
    }
  }
  return i;
}

}  // namespace

double parseDecimal(const char* text, const char** end) {
  const char* p = text;
  while (isSpace(*p)) ++p;
  const std::size_t length = decimalPrefixLength(p);
  if (length == 0) {
    if (end != nullptr) *end = text;
    return 0.0;
  }
  if (end != nullptr) *end = p + length;
  // strtod_l would also take hexadecimal, "inf" and "nan" forms, so it sees
  // only the decimal prefix, copied out.
  char small[64];
  std::string large;
  const char* number = small;
  if (length < sizeof small) {
    std::memcpy(small, p, length);
    small[length] = '\0';
  } else {
    large.assign(p, length);
    number = large.c_str();
  }
  return strtodInCLocale(number, nullptr);
}

int formatReal(char* buffer, std::size_t capacity, int precision, double value) {
  if (capacity == 0) return 0;
  char small[64];
  std::string large;
  const char* text = small;
  const auto result = std::to_chars(small, small + sizeof small - 1, value,
                                    std::chars_format::general, precision);
  if (result.ec == std::errc{}) {
    *result.ptr = '\0';
  } else {
    // A precision so large that the digits do not fit the small buffer.
    CLocaleScope cLocaleNumbers;
    const int needed = std::snprintf(nullptr, 0, "%.*g", precision, value);
    if (needed > 0) {
      large.resize(static_cast<std::size_t>(needed));
      std::snprintf(large.data(), large.size() + 1, "%.*g", precision, value);
    }
    text = large.c_str();
  }
  // to_chars and printf write exponents with at least two digits; files carry three.
  const char* e = std::strchr(text, 'e');
  int n;
  if (e != nullptr && std::strlen(e + 2) < 3) {
    n = std::snprintf(buffer, capacity, "%.*s%c%03d", static_cast<int>(e + 1 - text), text, e[1],
                      std::atoi(e + 2));
  } else {
    n = std::snprintf(buffer, capacity, "%s", text);
  }
  return n < static_cast<int>(capacity) ? n : static_cast<int>(capacity) - 1;
}

void insertThousandsSeparators(char* digits, std::size_t capacity) {
  std::size_t length = std::strlen(digits);
  // All commas or none: a half-grouped number would read as another number.
  const std::size_t commas = length == 0 ? 0 : (length - 1) / 3;
  if (length + commas + 1 > capacity) return;
  for (std::ptrdiff_t p = static_cast<std::ptrdiff_t>(length) - 3; p > 0; p -= 3) {
    std::memmove(digits + p + 1, digits + p, length - static_cast<std::size_t>(p) + 1);
    digits[p] = ',';
    ++length;
  }
}

void formatByteCount(char* buffer, std::size_t capacity, double value) {
  {
    CLocaleScope cLocaleNumbers;
    std::snprintf(buffer, capacity, "%.0f", value);
  }
  insertThousandsSeparators(buffer, capacity);
  const std::size_t length = std::strlen(buffer);
  std::snprintf(buffer + length, capacity - length, " bytes");
}

unsigned parseIntegerOption(const char* text) {
  const char* p = text;
  while (isSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long value = 0;
  const long long limit = negative ? 2147483648LL : 2147483647LL;
  while (isDigit(*p)) {
    value = value * 10 + (*p++ - '0');
    if (value > limit) value = limit;  // clamped, and kept small enough never to overflow
  }
  const long long result = negative ? -value : value;
  return static_cast<unsigned>(static_cast<int>(result));
}
