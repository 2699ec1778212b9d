#include "help_index.h"

#include <algorithm>
#include <cctype>

#include "chm_archive.h"

namespace {

bool endsWithIgnoringCase(const std::string& text, std::string_view ending) {
  return text.size() >= ending.size() &&
         std::equal(ending.begin(), ending.end(), text.end() - ending.size(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

std::string withoutExtension(const std::string& path) { return path.substr(0, path.rfind('.')); }

}  // namespace

std::string findIndexFile(const std::vector<std::string>& files, const std::string& contentsFile) {
  std::string found;
  for (const std::string& file : files) {
    if (!endsWithIgnoringCase(file, ".hhk")) continue;
    if (!contentsFile.empty() && withoutExtension(file) == withoutExtension(contentsFile))
      return file;
    if (found.empty()) found = file;
  }
  return found;
}

std::vector<HelpContentsEntry> readHelpIndex(const ChmArchive& archive) {
  const std::string indexFile = findIndexFile(archive.files(), archive.contentsFile());
  if (indexFile.empty()) return {};
  return parseHelpContents(archive.read(indexFile).value_or(""));
}

int matchingKeyword(const QStringList& keywords, const QString& typed) {
  const QString wanted = typed.trimmed();
  if (wanted.isEmpty()) return -1;
  for (int i = 0; i < keywords.size(); ++i)
    if (keywords[i].startsWith(wanted, Qt::CaseInsensitive)) return i;
  for (int i = 0; i < keywords.size(); ++i)
    if (keywords[i].contains(wanted, Qt::CaseInsensitive)) return i;
  return -1;
}
