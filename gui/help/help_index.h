#pragma once
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "help_contents.h"

class ChmArchive;

// The manual's index file: the ".hhk" among the archive's files; of several,
// the one named like the contents file. Empty when the manual has none.
std::string findIndexFile(const std::vector<std::string>& files, const std::string& contentsFile);

// The keywords of the manual's index file; none when it has none.
std::vector<HelpContentsEntry> readHelpIndex(const ChmArchive& archive);

// The keyword a reader who has typed `typed` is looking for, as the row in
// `keywords` (the index's lines in their order): the first that begins with
// it, else the first that holds it, both regardless of case; -1 when none
// does or nothing is typed.
int matchingKeyword(const QStringList& keywords, const QString& typed);
