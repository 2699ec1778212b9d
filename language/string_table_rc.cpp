// Writes the string table of catalog_texts.cpp as a resource script, so that the
// Windows Language.dll (a resource-only DLL read with LoadStringA) holds exactly
// the texts the Linux Language.dll holds. Built and run on the build machine.
//   string_table_rc OUTPUT.rc
#include <cstdio>

extern "C" int LoadCatalogString(unsigned id, char* buffer, int bufferSize);

namespace {

// Message numbers the table may use; every one is asked for.
constexpr unsigned kLastMessageId = 4095;
constexpr int kLongestText = 8192;

// A text as a resource-script string: quotes doubled, every character that is
// not plain printable ASCII (line ends, tabs, UTF-8 bytes) as an octal escape,
// which windres turns back into the same byte.
void writeQuoted(std::FILE* out, const char* text) {
  std::fputc('"', out);
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    if (*p == '"') {
      std::fputs("\"\"", out);
    } else if (*p == '\\') {
      std::fputs("\\\\", out);
    } else if (*p < 0x20 || *p >= 0x7f) {
      std::fprintf(out, "\\%03o", *p);
    } else {
      std::fputc(*p, out);
    }
  }
  std::fputc('"', out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.rc\n", argv[0]);
    return 2;
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fputs("// Generated from language/catalog_texts.cpp by string_table_rc: do not edit.\n"
             "#pragma code_page(65001)\n"
             "LANGUAGE 0x09, 0x01\n"  // English (United States)
             "STRINGTABLE\n{\n",
             out);
  static char text[kLongestText];
  for (unsigned id = 0; id <= kLastMessageId; ++id) {
    if (LoadCatalogString(id, text, sizeof text) <= 0) continue;
    std::fprintf(out, "  %u, ", id);
    writeQuoted(out, text);
    std::fputc('\n', out);
  }
  std::fputs("}\n", out);
  return std::fclose(out) == 0 ? 0 : 1;
}
