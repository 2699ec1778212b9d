// The readers of a manual's own text, which comes from whatever file is found
// under the manual's name: the contents and index sitemaps, and the pages as
// the full-text search reads them. The input is read as a sitemap and as a
// page; its second half is searched for in it.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "gui/help/help_contents.h"
#include "gui/help/help_search.h"

namespace {

void checkEntries(const std::vector<HelpContentsEntry>& entries) {
  for (const HelpContentsEntry& entry : entries) {
    // The page an entry opens is the first it names.
    fuzzing::require(entry.topics.empty() ? entry.local.empty()
                                          : entry.local == entry.topics.front().local);
    checkEntries(entry.children);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  checkEntries(parseHelpContents(input));

  HelpSearchIndex index;
  index.addPage("/page.html", input, "page");
  const std::string_view query = input.substr(size / 2);
  const std::vector<HelpSearchHit> hits = index.search(query);
  fuzzing::require(hits.size() <= 1);
  // A page is found only when its text or title holds every word asked for.
  if (!hits.empty() && query.find('*') == std::string_view::npos) {
    std::vector<std::string> words = helpSearchWords(helpPageText(input));
    for (const std::string& word : helpSearchWords(hits.front().title)) words.push_back(word);
    const std::set<std::string> present(words.begin(), words.end());
    for (const std::string& word : helpSearchWords(query))
      fuzzing::require(present.count(word) == 1);
  }
  return 0;
}
