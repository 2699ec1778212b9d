#pragma once
#include <QStringList>
#include <span>
#include <string>

class QFileDialog;

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

// The one filter list of all four dialogs, in its order.
QStringList fileChooserFilters();

// Where a dialog starts for a field's text: the directory before the last
// '/', and the name after it (all of the text when it has no '/'; then the
// directory is empty and the dialog starts in its default directory).
struct ChooserStart {
  std::string directory;
  std::string name;
};
ChooserStart chooserStart(const std::string& fieldText);

// Sets `dialog` up for `row`: title, filters with the row's first, the open
// or save behaviour, the default suffix and the starting place.
void configureFileChooser(QFileDialog& dialog, const FileChooserRow& row, const QString& title,
                          const ChooserStart& start);
