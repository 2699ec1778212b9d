#pragma once
#include <span>
#include <string>

// The four file buttons: which field each fills and how its dialog asks.
struct FileChooserRow {
  int buttonId;
  int fieldId;
  bool save;                  // a save dialog (asks before overwriting), else an open dialog
  unsigned titleMessage;      // catalogue message of the dialog's title
  int filterIndex;            // the filter shown first, counted from 1
  const char* defaultSuffix;  // added to a typed name without one; empty for none
};

std::span<const FileChooserRow> fileChooserRows();
const FileChooserRow* findFileChooser(int buttonId);

// The one filter list of all four dialogs, in its order: what the user reads
// and the patterns it stands for, separated by ';'.
struct FileFilter {
  const char* description;
  const char* patterns;
};
std::span<const FileFilter> fileChooserFilters();

// Where a dialog starts for a field's text: the directory before the last
// `separator`, and the name after it (all of the text when it has none; then
// the directory is empty and the dialog starts in its default directory). A
// file right under the root "/" starts in the root.
struct ChooserStart {
  std::string directory;
  std::string name;
};
ChooserStart chooserStart(const std::string& fieldText, char separator);
