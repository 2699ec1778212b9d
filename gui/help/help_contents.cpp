#include "help_contents.h"

#include <cctype>
#include <optional>

namespace {

std::string lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

std::string decodeEntities(std::string_view text) {
  static constexpr struct {
    std::string_view entity;
    char character;
  } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
  std::string result;
  for (std::size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& e : kEntities) {
      if (text.substr(i, e.entity.size()) == e.entity) {
        result += e.character;
        i += e.entity.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) result += text[i++];
  }
  return result;
}

// The value of attribute `name` inside a tag's text, quoted or not.
std::optional<std::string> attribute(std::string_view tag, std::string_view name) {
  const std::string lowered = lower(tag);
  std::size_t at = 0;
  while ((at = lowered.find(name, at)) != std::string::npos) {
    const bool startsWord = at > 0 && std::isspace(static_cast<unsigned char>(lowered[at - 1]));
    std::size_t i = at + name.size();
    at = i;
    if (!startsWord) continue;
    while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
    if (i >= tag.size() || tag[i] != '=') continue;
    ++i;
    while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
    if (i >= tag.size()) return std::string();
    if (tag[i] == '"' || tag[i] == '\'') {
      const std::size_t end = tag.find(tag[i], i + 1);
      return decodeEntities(
          tag.substr(i + 1, end == std::string_view::npos ? tag.npos : end - i - 1));
    }
    std::size_t end = i;
    while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end])) &&
           tag[end] != '>')
      ++end;
    return decodeEntities(tag.substr(i, end - i));
  }
  return std::nullopt;
}

}  // namespace

std::vector<HelpContentsEntry> parseHelpContents(std::string_view sitemap) {
  std::vector<HelpContentsEntry> top;
  // The lists being filled, innermost last, one per <UL> level entered up to
  // the depth kept. A nested list belongs to the last entry of the list
  // around it. Only the innermost list grows while it is open, so the
  // pointers to the lists around it stay valid.
  std::vector<std::vector<HelpContentsEntry>*> open = {&top};
  std::size_t depth = 0;  // <UL> levels entered; the outermost fills `top`
  std::size_t entries = 0;
  std::optional<HelpContentsEntry> entry;
  std::string pendingTitle;  // a Name after the entry's own, for the Local that follows
  std::size_t at = 0;
  while ((at = sitemap.find('<', at)) != std::string_view::npos) {
    const std::size_t end = sitemap.find('>', at);
    if (end == std::string_view::npos) break;
    const std::string_view tag = sitemap.substr(at + 1, end - at - 1);
    at = end + 1;
    std::size_t nameEnd = 0;
    while (nameEnd < tag.size() && !std::isspace(static_cast<unsigned char>(tag[nameEnd])))
      ++nameEnd;
    const std::string name = lower(tag.substr(0, nameEnd));
    if (name == "ul") {
      ++depth;
      if (depth > 1 && depth <= kMaxHelpContentsDepth) {
        std::vector<HelpContentsEntry>* current = open.back();
        open.push_back(current->empty() ? current : &current->back().children);
      }
    } else if (name == "/ul") {
      if (depth > 1 && depth <= kMaxHelpContentsDepth) open.pop_back();
      if (depth > 0) --depth;
    } else if (name == "object") {
      entry = HelpContentsEntry{};
      pendingTitle.clear();
    } else if (name == "param" && entry) {
      const std::string which = lower(attribute(tag, "name").value_or(""));
      std::string value = attribute(tag, "value").value_or("");
      if (which == "name") {
        (entry->name.empty() ? entry->name : pendingTitle) = std::move(value);
      } else if (which == "local" && !value.empty()) {  // an empty one names no page
        if (entry->local.empty()) entry->local = value;
        entry->topics.push_back({std::move(pendingTitle), std::move(value)});
        pendingTitle.clear();
      }
    } else if (name == "/object" && entry) {
      if ((!entry->name.empty() || !entry->local.empty()) && entries < kMaxHelpContentsEntries) {
        open.back()->push_back(std::move(*entry));
        ++entries;
      }
      entry.reset();
    }
  }
  return top;
}
