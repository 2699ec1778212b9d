#include "file_choosers.h"

#include "common/message_ids.h"
#include "control_table.h"

namespace {

constexpr FileChooserRow kRows[] = {
    {ctl::OpenInput, ctl::InputFile, false, msg::kOpenInputTitle, 1, ""},
    {ctl::SaveOutput, ctl::OutputFile, true, msg::kSaveOutputTitle, 1, "txt"},
    {ctl::OpenState, ctl::LoadStateFile, false, msg::kOpenStateTitle, 2, ""},
    {ctl::SaveState, ctl::SaveStateFile, true, msg::kSaveStateTitle, 2, "vns"},
};

constexpr FileFilter kFilters[] = {
    {"Text Files (*.txt, *.csv)", "*.txt;*.csv"},
    {"Vantiro Neural State Files (*.vns)", "*.vns"},
    {"All Files (*.*)", "*.*"},
};

}  // namespace

std::span<const FileChooserRow> fileChooserRows() { return kRows; }

const FileChooserRow* findFileChooser(int buttonId) {
  for (const FileChooserRow& row : kRows) {
    if (row.buttonId == buttonId) return &row;
  }
  return nullptr;
}

std::span<const FileFilter> fileChooserFilters() { return kFilters; }

ChooserStart chooserStart(const std::string& fieldText, char separator) {
  const std::size_t cut = fieldText.rfind(separator);
  if (cut == std::string::npos) return {std::string(), fieldText};
  std::string directory =
      (cut == 0 && separator == '/') ? std::string("/") : fieldText.substr(0, cut);
  return {directory, fieldText.substr(cut + 1)};
}
