// Context help (the Help button's question-mark mode and F1 both arrive as
// WM_HELP) and the four file choosers.
#include <windows.h>
// The platform's other headers need windows.h before them.
#include <htmlhelp.h>
#include <oleauto.h>

#include <algorithm>
#include <vector>

#include "common/log_text.h"
#include "gui/rules/control_table.h"
#include "gui/rules/file_choosers.h"
#include "gui/rules/help_topics.h"
#include "main_dialog.h"

namespace {

// The name capacity the file dialogs are given, as MAX_PATH.
constexpr std::size_t kFileNameCapacity = 260;

// The record of HH_GET_LAST_ERROR, which MinGW's htmlhelp.h does not declare.
struct HhLastError {
  int cbStruct;
  HRESULT hr;
  BSTR description;
};

std::string ansiText(const wchar_t* wide) {
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string text(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.resize(static_cast<std::size_t>(size) - 1);
  return text;
}

// The filter list as the common dialogs take it: description and pattern,
// each ended by a NUL, and one more NUL at the end.
std::string filterList() {
  std::string list;
  for (const FileFilter& filter : fileChooserFilters()) {
    list += filter.description;
    list += '\0';
    list += filter.patterns;
    list += '\0';
  }
  return list;
}

}  // namespace

BOOL CMainDialog::OnHelpInfo(const HELPINFO* info) {
  if (info == nullptr || info->iContextType != HELPINFO_WINDOW) return TRUE;
  if (!helpDirectory_) return FALSE;
  const int mode = modeIndex();
  std::string text = *helpDirectory_ + services_.helpFileName;
  if (const auto topic = helpTopic(info->iCtrlId, mode)) text += *topic;
  if (services_.htmlHelp(GetSafeHwnd(), text.c_str(), HH_DISPLAY_TOC, 0) != nullptr) return TRUE;
  if (logFile_ != nullptr) {
    HhLastError error{};
    error.cbStruct = sizeof error;
    services_.htmlHelp(nullptr, nullptr, HH_GET_LAST_ERROR, reinterpret_cast<DWORD_PTR>(&error));
    if (error.hr < 0 && error.description != nullptr) {
      // The path, the topic and the description may carry what a file put
      // there: escaped, the line stays one line.
      std::fprintf(logFile_, "HtmlHelp() failed to open help topic \"%s\", %s\n",
                   escapeControlCharacters(text).c_str(),
                   escapeControlCharacters(ansiText(error.description)).c_str());
      std::fflush(logFile_);
    }
    if (error.description != nullptr) ::SysFreeString(error.description);
  }
  return FALSE;
}

void CMainDialog::onFileButton(int buttonId) {
  const FileChooserRow* row = findFileChooser(buttonId);
  if (row == nullptr) return;
  UpdateData(true);  // the result is not examined
  const std::string& field = row->fieldId == ctl::InputFile       ? values_.inputFile
                             : row->fieldId == ctl::OutputFile    ? values_.outputFile
                             : row->fieldId == ctl::LoadStateFile ? values_.loadStateFile
                                                                  : values_.saveStateFile;
  const std::size_t capacity = std::max(field.size() + 1, kFileNameCapacity);
  const ChooserStart start = chooserStart(field, '\\');
  std::vector<char> directory(capacity, '\0');
  std::vector<char> name(capacity, '\0');
  start.directory.copy(directory.data(), capacity - 1);
  start.name.copy(name.data(), capacity - 1);
  const std::string title = catalogText(row->titleMessage);
  const std::string filters = filterList();

  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = GetSafeHwnd();
  request.lpstrFilter = filters.c_str();
  request.nFilterIndex = static_cast<DWORD>(row->filterIndex);
  request.lpstrFile = name.data();
  request.nMaxFile = static_cast<DWORD>(kFileNameCapacity);
  request.lpstrInitialDir = start.directory.empty() ? nullptr : directory.data();
  request.lpstrTitle = title.c_str();
  request.Flags =
      OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (row->save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  request.lpstrDefExt = row->defaultSuffix[0] != '\0' ? row->defaultSuffix : nullptr;
  // Confirmed: the field shows the chosen path; cancelled or failed: nothing changes.
  if (services_.fileDialog(&request, row->save)) setFieldText(row->fieldId, name.data());
}
