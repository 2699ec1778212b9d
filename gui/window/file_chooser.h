#pragma once
#include <QStringList>

#include "gui/rules/file_choosers.h"

class QFileDialog;

// The filter list as Qt's file dialog takes it: each description followed by
// the patterns Qt matches, which the dialog hides.
QStringList qtFileChooserFilters();

// Sets `dialog` up for `row`: title, filters with the row's first, the open
// or save behaviour, the default suffix and the starting place.
void configureFileChooser(QFileDialog& dialog, const FileChooserRow& row, const QString& title,
                          const ChooserStart& start);
