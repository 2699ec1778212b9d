#include "file_chooser.h"

#include <QFileDialog>

QStringList qtFileChooserFilters() {
  // "All Files" matches names without a dot too, as "*.*" does where the
  // description comes from.
  QStringList filters;
  for (const FileFilter& filter : fileChooserFilters()) {
    QString patterns = QString::fromLatin1(filter.patterns).replace(u';', u' ');
    if (patterns == QStringLiteral("*.*")) patterns = QStringLiteral("*");
    filters << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(filter.description), patterns);
  }
  return filters;
}

void configureFileChooser(QFileDialog& dialog, const FileChooserRow& row, const QString& title,
                          const ChooserStart& start) {
  dialog.setWindowTitle(title);
  // Qt's own dialog: the same on every desktop, reachable by screen readers
  // and by tests.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setOption(QFileDialog::ReadOnly, false);
  const QStringList filters = qtFileChooserFilters();
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.value(row.filterIndex - 1));
  if (row.save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  dialog.setDefaultSuffix(QString::fromLatin1(row.defaultSuffix));
  if (!start.directory.empty()) dialog.setDirectory(QString::fromStdString(start.directory));
  dialog.selectFile(QString::fromStdString(start.name));
}
