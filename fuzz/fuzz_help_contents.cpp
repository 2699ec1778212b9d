// The help window's contents parser on an arbitrary sitemap (".hhc"), as a
// manual may hold it: it ends, and the tree it yields stays within its caps
// of depth and entries, so the window that fills it from the tree can too.
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "gui/help/help_contents.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<HelpContentsEntry> tree =
      parseHelpContents(std::string_view(reinterpret_cast<const char*>(data), size));
  // Walked as the window walks it: a stack of levels, no recursion.
  struct Level {
    const std::vector<HelpContentsEntry>* entries;
    std::size_t depth;
  };
  std::vector<Level> levels = {{&tree, 1}};
  std::size_t entries = 0;
  while (!levels.empty()) {
    const Level level = levels.back();
    levels.pop_back();
    fuzzing::require(level.depth <= kMaxHelpContentsDepth);
    for (const HelpContentsEntry& entry : *level.entries) {
      ++entries;
      fuzzing::require(!entry.name.empty() || !entry.local.empty());
      if (!entry.children.empty()) levels.push_back({&entry.children, level.depth + 1});
    }
  }
  fuzzing::require(entries <= kMaxHelpContentsEntries);
  return 0;
}
