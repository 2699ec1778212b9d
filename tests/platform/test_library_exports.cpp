// What each built library offers a program that loads it: the dynamic symbol
// table must hold the one documented entry and nothing else.
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

// Names of the symbols a shared object defines in its dynamic symbol table.
// Empty if the file is not a 64-bit ELF object with one.
std::set<std::string> definedDynamicSymbols(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> image((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  std::set<std::string> names;
  Elf64_Ehdr header;
  if (image.size() < sizeof header) return names;
  std::memcpy(&header, image.data(), sizeof header);
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
    return names;
  auto section = [&](std::size_t index) {
    Elf64_Shdr s{};
    const std::size_t at = header.e_shoff + index * sizeof(Elf64_Shdr);
    if (at + sizeof s <= image.size()) std::memcpy(&s, image.data() + at, sizeof s);
    return s;
  };
  for (std::size_t i = 0; i < header.e_shnum; ++i) {
    const Elf64_Shdr symbols = section(i);
    if (symbols.sh_type != SHT_DYNSYM || symbols.sh_entsize != sizeof(Elf64_Sym)) continue;
    const Elf64_Shdr strings = section(symbols.sh_link);
    for (std::size_t k = 1; k < symbols.sh_size / sizeof(Elf64_Sym); ++k) {
      Elf64_Sym symbol;
      const std::size_t at = symbols.sh_offset + k * sizeof symbol;
      if (at + sizeof symbol > image.size()) break;
      std::memcpy(&symbol, image.data() + at, sizeof symbol);
      if (symbol.st_shndx == SHN_UNDEF) continue;  // needed from elsewhere, not offered
      const std::size_t name = strings.sh_offset + symbol.st_name;
      if (name >= image.size()) continue;
      names.insert(
          std::string(image.data() + name, strnlen(image.data() + name, image.size() - name)));
    }
  }
  return names;
}

struct ExportCase {
  const char* library;
  const char* onlyExport;
};

class LibraryExports : public ::testing::TestWithParam<ExportCase> {};

TEST_P(LibraryExports, OfferExactlyTheirOneEntry) {
  const ExportCase& c = GetParam();
  const std::set<std::string> names =
      definedDynamicSymbols(std::string(VANTIRO_BIN_DIR "/") + c.library);
  EXPECT_EQ(names, std::set<std::string>{c.onlyExport});
}

INSTANTIATE_TEST_SUITE_P(BuiltLibraries, LibraryExports,
                         ::testing::Values(ExportCase{"nnsingle.dll", "Pet"},
                                           ExportCase{"nndouble.dll", "Pet"},
                                           ExportCase{"nnvec4.dll", "Pet"},
                                           ExportCase{"nnvec2.dll", "Pet"},
                                           ExportCase{"Language.dll", "LoadCatalogString"}),
                         [](const auto& info) {
                           std::string name = info.param.library;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
