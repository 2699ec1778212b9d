// The catalogue's format check: a text from a replaced Language.dll is used as
// a printf format only when its conversions take exactly the message's
// arguments. Whatever the check accepts is then formatted with those
// arguments, so an unsafe acceptance shows as a crash or a sanitizer report.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "common/catalog_message.h"
#include "common/message_signatures.h"
#include "fuzz_support.h"

namespace {

// The format is the input itself: that is what is under test.
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"

// Formats with arguments of the given kinds, as the programs pass them.
void formatWith(const char* format, std::string_view kinds) {
  char out[kMessageBufferSize];
  const char* text = "text";
  if (kinds.empty())
    std::snprintf(out, sizeof out, format);
  else if (kinds == "u")
    std::snprintf(out, sizeof out, format, 7u);
  else if (kinds == "uu")
    std::snprintf(out, sizeof out, format, 7u, 8u);
  else if (kinds == "si")
    std::snprintf(out, sizeof out, format, text, 2);
  else if (kinds == "id")
    std::snprintf(out, sizeof out, format, 6, 0.5);
  else if (kinds == "d")
    std::snprintf(out, sizeof out, format, 0.5);
  else if (kinds == "dd")
    std::snprintf(out, sizeof out, format, 0.5, 1.5);
  else if (kinds == "uuuus")
    std::snprintf(out, sizeof out, format, 1u, 2u, 3u, 4u, text);
  else
    fuzzing::require(false);  // a signature this target does not know yet
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= kMessageBufferSize) return 0;  // a catalogue text is at most 511 characters
  char format[kMessageBufferSize];
  if (size > 0) std::memcpy(format, data, size);
  format[size] = '\0';
  char kinds[16];
  unsigned count = 0;
  if (formatConversions(format, kinds, sizeof kinds, &count))
    fuzzing::require(count <= sizeof kinds);
  for (unsigned id = 1; id <= 88; ++id) {
    const MessageSignature signature = messageSignature(id);
    if (signature.known && formatMatches(format, signature.args))
      formatWith(format, signature.args);
  }
  return 0;
}
