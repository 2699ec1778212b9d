#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A page an entry leads to: its path relative to the manual's root, and the
// title the sitemap gives it (empty when the entry's own name is its title).
struct HelpContentsTopic {
  std::string title;
  std::string local;
};

// One line of a manual's contents or index: the title or keyword shown, the
// page it opens (a path relative to the manual's root, possibly empty for a
// heading), every page it names (an index keyword may name several) and the
// lines nested under it.
struct HelpContentsEntry {
  std::string name;
  std::string local;
  std::vector<HelpContentsTopic> topics;
  std::vector<HelpContentsEntry> children;
};

// Reads a sitemap of a compiled manual: its contents (".hhc") or its index
// (".hhk"), which share one form: nested <UL> lists of <LI> items, each an
// <OBJECT type="text/sitemap"> with <param name="Name"> and
// <param name="Local">. The first Name is the entry's; an index keyword that
// leads to several pages follows it with a Name and a Local for each page.
// Anything else is skipped, and lists left open at the end are closed.
//
// The file comes from the manual, so the tree it yields is bounded: lists
// nested deeper than kMaxHelpContentsDepth levels add their entries to the
// deepest level kept, and entries beyond kMaxHelpContentsEntries are dropped.
// Nothing here or in those who walk the tree needs to recurse deeper than that.
constexpr std::size_t kMaxHelpContentsDepth = 64;
constexpr std::size_t kMaxHelpContentsEntries = 10000;
std::vector<HelpContentsEntry> parseHelpContents(std::string_view sitemap);
