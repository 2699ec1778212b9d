#include "message_signatures.h"

#include <cstring>

#include "message_ids.h"

namespace {

struct Entry {
  unsigned id;
  const char* args;
};

// The one number between the first message and the last that names none.
constexpr unsigned kUnusedId = 34;

// Messages that receive arguments; every other number from the first message
// (msg::kUsage) to the last (msg::kAboutItem) receives none.
constexpr Entry kWithArguments[] = {
    {msg::kNetworkProductTooLarge, "u"},  // product of the sizes too large (4294967295)
    {msg::kEngineNotLoaded, "si"},        // engine library not loaded: file name, error code
    {msg::kNetworkProductTooLarge + msg::kDialogCheckOffset, "u"},  // the dialog's product check
    {msg::kPetMissing, "si"},            // Pet missing: file name, error code
    {msg::kTooFewLines, "uu"},           // lines counted, minimum
    {msg::kLineNotRead, "u"},            // lines read before the failing one
    {msg::kTooFewDataPoints, "u"},       // W + 1
    {msg::kBenchmarkStarting, "uuuus"},  // H, W, iterations, N, memory text
    {msg::kProgress, "id"},              // precision, pass error
    {msg::kTrainingDone, "d"},           // training seconds
    {msg::kBenchmarkDone, "dd"},         // seconds, millions of operations per second
    {msg::kGenerationDone, "u"},         // points generated
};

bool isIntegerKind(char k) { return k == 'i' || k == 'u'; }

}  // namespace

MessageSignature messageSignature(unsigned id) {
  if (id < msg::kUsage || id > msg::kAboutItem || id == kUnusedId) return {false, {}};
  for (const Entry& e : kWithArguments) {
    if (e.id == id) return {true, e.args};
  }
  return {true, {}};
}

namespace {

// A width or precision larger than a message buffer can hold serves no
// message, yet makes every formatting of it run through that many characters.
constexpr unsigned kLargestFieldSize = 511;

// Steps over the digits of a width or precision; false when it is too large.
bool skipFieldSize(const char*& p) {
  unsigned size = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    size = size * 10 + static_cast<unsigned>(*p - '0');
    if (size > kLargestFieldSize) return false;
  }
  return true;
}

}  // namespace

bool formatConversions(const char* format, char* kinds, unsigned capacity, unsigned* count) {
  unsigned n = 0;
  auto push = [&](char kind) {
    if (n >= capacity) return false;
    kinds[n++] = kind;
    return true;
  };
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    // flags
    while (*p != '\0' && std::strchr("-+ #0'", *p) != nullptr) ++p;
    // width
    if (*p == '*') {
      if (!push('i')) return false;
      ++p;
    } else {
      if (!skipFieldSize(p)) return false;
      if (*p == '$') return false;  // positional argument
    }
    // precision
    if (*p == '.') {
      ++p;
      if (*p == '*') {
        if (!push('i')) return false;
        ++p;
      } else if (!skipFieldSize(p)) {
        return false;
      }
    }
    // length: only h and hh, which still take an int
    bool shortLength = false;
    if (*p == 'h') {
      shortLength = true;
      ++p;
      if (*p == 'h') ++p;
    }
    switch (*p) {
      case 'd':
      case 'i':
      case 'u':
      case 'x':
      case 'X':
      case 'o':
        if (!push('i')) return false;
        break;
      case 'c':
        if (shortLength || !push('i')) return false;
        break;
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (shortLength || !push('d')) return false;
        break;
      case 's':
        if (shortLength || !push('s')) return false;
        break;
      default:  // %n, %p, l, ll, L, z, j, t, unknown letters, or the end of the text
        return false;
    }
  }
  *count = n;
  return true;
}

bool formatMatches(const char* format, std::string_view expected) {
  char kinds[16];
  unsigned count = 0;
  if (!formatConversions(format, kinds, sizeof kinds, &count)) return false;
  if (count != expected.size()) return false;
  for (unsigned i = 0; i < count; ++i) {
    const char want = expected[i];
    const char have = kinds[i];
    if (isIntegerKind(want) ? !isIntegerKind(have) : want != have) return false;
  }
  return true;
}
