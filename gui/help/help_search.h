#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A page that holds every word of a search: how many of the words its title
// holds, and how often they occur in it, title included.
struct HelpSearchHit {
  std::string path;
  std::string title;
  int wordsInTitle = 0;
  int occurrences = 0;
};

// Full-text search over the pages of a manual. Pages are added as the HTML
// they are stored as; their words are the runs of letters and digits of the
// text a reader sees (title included), compared without regard to case.
class HelpSearchIndex {
 public:
  // `fallbackTitle` names the page when it has no <title> of its own.
  void addPage(const std::string& path, std::string_view html, const std::string& fallbackTitle);
  std::size_t pageCount() const { return pages_.size(); }

  // The pages that hold every word of `query`: those whose titles hold more
  // of the words first, then those where they occur more often, then by
  // title. A word ending in '*' matches every word it begins. A query
  // without words finds nothing.
  std::vector<HelpSearchHit> search(std::string_view query) const;

 private:
  struct Page {
    std::string path;
    std::string title;
    std::unordered_map<std::string, int> words;  // word -> occurrences
    std::vector<std::string> titleWords;
  };
  std::vector<Page> pages_;
};

// The text a reader sees of a page: tags, comments, scripts and style sheets
// left out, character references decoded (to UTF-8), blocks separated by
// blanks.
std::string helpPageText(std::string_view html);
// The text of the page's <title>, empty when it has none.
std::string helpPageTitle(std::string_view html);
// The words the search compares: runs of ASCII letters and digits and of
// bytes of other UTF-8 characters, ASCII letters lowered.
std::vector<std::string> helpSearchWords(std::string_view text);
