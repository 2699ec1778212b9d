#include "file_chooser.h"

#include <QFileDialog>

#include "common/message_ids.h"
#include "gui/rules/control_table.h"

namespace {

constexpr FileChooserRow kRows[] = {
    {ctl::OpenInput, ctl::InputFile, false, msg::kOpenInputTitle, 1, ""},
    {ctl::SaveOutput, ctl::OutputFile, true, msg::kSaveOutputTitle, 1, "txt"},
    {ctl::OpenState, ctl::LoadStateFile, false, msg::kOpenStateTitle, 2, ""},
    {ctl::SaveState, ctl::SaveStateFile, true, msg::kSaveStateTitle, 2, "vns"},
};

}  // namespace

std::span<const FileChooserRow> fileChooserRows() { return kRows; }

const FileChooserRow* findFileChooser(int buttonId) {
  for (const FileChooserRow& row : kRows) {
    if (row.buttonId == buttonId) return &row;
  }
  return nullptr;
}

QStringList fileChooserFilters() {
  // Each entry is the description the user reads followed by the patterns
  // Qt matches; the dialog hides the trailing patterns. "All Files" matches
  // names without a dot too, as "*.*" does where the description comes from.
  return {QStringLiteral("Text Files (*.txt, *.csv) (*.txt *.csv)"),
          QStringLiteral("Vantiro Neural State Files (*.vns) (*.vns)"),
          QStringLiteral("All Files (*.*) (*)")};
}

ChooserStart chooserStart(const std::string& fieldText) {
  const std::size_t slash = fieldText.rfind('/');
  if (slash == std::string::npos) return {std::string(), fieldText};
  // A file right under the root starts in the root, not in the default directory.
  std::string directory = slash == 0 ? std::string("/") : fieldText.substr(0, slash);
  return {directory, fieldText.substr(slash + 1)};
}

void configureFileChooser(QFileDialog& dialog, const FileChooserRow& row, const QString& title,
                          const ChooserStart& start) {
  dialog.setWindowTitle(title);
  // Qt's own dialog: the same on every desktop, reachable by screen readers
  // and by tests.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setOption(QFileDialog::ReadOnly, false);
  const QStringList filters = fileChooserFilters();
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
