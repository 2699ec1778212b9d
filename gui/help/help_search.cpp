#include "help_search.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

bool isWordByte(unsigned char c) { return std::isalnum(c) || c >= 0x80; }

std::string lowered(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

void appendUtf8(std::string& out, std::uint32_t code) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Decodes the character reference at text[at] ('&') into `out`; returns the
// length it took, 0 when it is not one (the '&' then stands for itself).
std::size_t decodeReference(std::string_view text, std::size_t at, std::string& out) {
  static constexpr struct {
    std::string_view name;
    std::uint32_t code;
  } kNamed[] = {{"amp", '&'},      {"lt", '<'},       {"gt", '>'},       {"quot", '"'},
                {"apos", '\''},    {"nbsp", 0xA0},    {"deg", 0xB0},     {"times", 0xD7},
                {"minus", 0x2212}, {"ndash", 0x2013}, {"mdash", 0x2014}, {"hellip", 0x2026}};
  // Looked for close by: a text of many '&' without ';' stays one pass.
  const std::size_t semicolon = text.substr(at, 12).find(';');
  if (semicolon == std::string_view::npos) return 0;
  const std::size_t end = at + semicolon;
  const std::string_view body = text.substr(at + 1, end - at - 1);
  if (body.size() > 1 && body[0] == '#') {
    const bool hex = body[1] == 'x' || body[1] == 'X';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    std::uint32_t code = 0;
    for (char c : digits) {
      const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                        : hex && std::isxdigit(static_cast<unsigned char>(c))
                            ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                            : -1;
      if (digit < 0) return 0;
      code = std::min<std::uint32_t>(code * (hex ? 16 : 10) + digit, 0x110000);
    }
    appendUtf8(out, code);
    return end - at + 1;
  }
  for (const auto& named : kNamed) {
    if (body == named.name) {
      appendUtf8(out, named.code);
      return end - at + 1;
    }
  }
  return 0;
}

std::string decoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '&') {
      if (const std::size_t taken = decodeReference(text, i, out)) {
        i += taken;
        continue;
      }
    }
    out += text[i++];
  }
  return out;
}

// Where the element whose start tag ends before `from` is closed ("</name"),
// or the end of the text.
std::size_t closingTag(const std::string& lowerHtml, std::string_view name, std::size_t from) {
  const std::size_t at = lowerHtml.find("</" + std::string(name), from);
  return at == std::string::npos ? lowerHtml.size() : at;
}

bool matches(const std::string& pageWord, const std::string& queryWord, bool prefix) {
  return prefix ? pageWord.compare(0, queryWord.size(), queryWord) == 0 : pageWord == queryWord;
}

bool anyMatches(const std::vector<std::string>& words, const std::string& queryWord, bool prefix) {
  return std::any_of(words.begin(), words.end(),
                     [&](const std::string& word) { return matches(word, queryWord, prefix); });
}

}  // namespace

std::string helpPageText(std::string_view html) {
  const std::string lower = lowered(html);
  std::string raw;
  std::size_t at = 0;
  while (at < html.size()) {
    const std::size_t open = html.find('<', at);
    raw.append(html.substr(at, open == std::string_view::npos ? html.npos : open - at));
    if (open == std::string_view::npos) break;
    // "<" not followed by a tag name ("x < 5") is text, as a browser shows it.
    const char next = open + 1 < lower.size() ? lower[open + 1] : ' ';
    if (!std::isalpha(static_cast<unsigned char>(next)) && next != '/' && next != '!') {
      raw += '<';
      at = open + 1;
      continue;
    }
    if (lower.compare(open, 4, "<!--") == 0) {
      const std::size_t end = lower.find("-->", open + 4);
      at = end == std::string::npos ? html.size() : end + 3;
      continue;
    }
    const std::size_t close = html.find('>', open);
    if (close == std::string_view::npos) break;
    std::size_t nameEnd = open + 1;
    while (nameEnd < close &&
           (std::isalnum(static_cast<unsigned char>(lower[nameEnd])) || lower[nameEnd] == '/'))
      ++nameEnd;
    const std::string name = lower.substr(open + 1, nameEnd - open - 1);
    at = close + 1;
    // Nothing of a script, a style sheet or the head's title shows in the page.
    for (std::string_view hidden : {"script", "style", "title"}) {
      if (name == hidden) {
        const std::size_t end = closingTag(lower, hidden, at);
        const std::size_t endClose = lower.find('>', end);
        at = endClose == std::string::npos ? html.size() : endClose + 1;
      }
    }
    raw += ' ';  // a tag separates words ("<td>a</td><td>b</td>")
  }
  return decoded(raw);
}

std::string helpPageTitle(std::string_view html) {
  const std::string lower = lowered(html);
  const std::size_t open = lower.find("<title");
  if (open == std::string::npos) return {};
  const std::size_t start = lower.find('>', open);
  if (start == std::string::npos) return {};
  const std::size_t end = closingTag(lower, "title", start + 1);
  std::string title = decoded(html.substr(start + 1, end - start - 1));
  // One line, without the blanks around it.
  std::replace_if(
      title.begin(), title.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
  const std::size_t first = title.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return title.substr(first, title.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> helpSearchWords(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && !isWordByte(static_cast<unsigned char>(text[i]))) ++i;
    const std::size_t start = i;
    while (i < text.size() && isWordByte(static_cast<unsigned char>(text[i]))) ++i;
    if (i > start) words.push_back(lowered(text.substr(start, i - start)));
  }
  return words;
}

void HelpSearchIndex::addPage(const std::string& path, std::string_view html,
                              const std::string& fallbackTitle) {
  Page page;
  page.path = path;
  page.title = helpPageTitle(html);
  if (page.title.empty()) page.title = fallbackTitle;
  page.titleWords = helpSearchWords(page.title);
  for (const std::string& word : page.titleWords) ++page.words[word];
  for (const std::string& word : helpSearchWords(helpPageText(html))) ++page.words[word];
  pages_.push_back(std::move(page));
}

std::vector<HelpSearchHit> HelpSearchIndex::search(std::string_view query) const {
  struct Term {
    std::string word;
    bool prefix;
  };
  std::vector<Term> terms;
  // The words of the query as the pages' words are cut, each remembering a
  // '*' right after it.
  std::size_t i = 0;
  while (i < query.size()) {
    while (i < query.size() && !isWordByte(static_cast<unsigned char>(query[i]))) ++i;
    const std::size_t start = i;
    while (i < query.size() && isWordByte(static_cast<unsigned char>(query[i]))) ++i;
    if (i == start) break;
    terms.push_back({lowered(query.substr(start, i - start)), i < query.size() && query[i] == '*'});
  }
  std::vector<HelpSearchHit> hits;
  if (terms.empty()) return hits;
  for (const Page& page : pages_) {
    HelpSearchHit hit{page.path, page.title, 0, 0};
    bool all = true;
    for (const Term& term : terms) {
      int found = 0;
      if (term.prefix) {
        for (const auto& [word, count] : page.words)
          if (matches(word, term.word, true)) found += count;
      } else if (const auto it = page.words.find(term.word); it != page.words.end()) {
        found = it->second;
      }
      if (found == 0) {
        all = false;
        break;
      }
      hit.occurrences += found;
      if (anyMatches(page.titleWords, term.word, term.prefix)) ++hit.wordsInTitle;
    }
    if (all) hits.push_back(std::move(hit));
  }
  std::stable_sort(hits.begin(), hits.end(), [](const HelpSearchHit& a, const HelpSearchHit& b) {
    if (a.wordsInTitle != b.wordsInTitle) return a.wordsInTitle > b.wordsInTitle;
    if (a.occurrences != b.occurrences) return a.occurrences > b.occurrences;
    return a.title < b.title;
  });
  return hits;
}
