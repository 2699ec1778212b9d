#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One line of a manual's contents: the title shown, the page it opens (a path
// relative to the manual's root, possibly empty for a heading) and the lines
// nested under it.
struct HelpContentsEntry {
  std::string name;
  std::string local;
  std::vector<HelpContentsEntry> children;
};

// Reads the sitemap a compiled manual keeps as its contents (".hhc"): nested
// <UL> lists of <LI> items, each an <OBJECT type="text/sitemap"> with
// <param name="Name"> and <param name="Local">. Anything else is skipped, and
// lists left open at the end are closed.
//
// The file comes from the manual, so the tree it yields is bounded: lists
// nested deeper than kMaxHelpContentsDepth levels add their entries to the
// deepest level kept, and entries beyond kMaxHelpContentsEntries are dropped.
// Nothing here or in those who walk the tree needs to recurse deeper than that.
constexpr std::size_t kMaxHelpContentsDepth = 64;
constexpr std::size_t kMaxHelpContentsEntries = 10000;
std::vector<HelpContentsEntry> parseHelpContents(std::string_view sitemap);
