#include <windows.h>
// The platform's other headers need windows.h before them.
#include <commctrl.h>
#include <htmlhelp.h>
#include <oleauto.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "common/catalog_message.h"
#include "dialog_fixture.h"
#include "gui/rules/control_table.h"
#include "gui/rules/settings_store.h"
#include "platform/library_loader.h"

void DialogTest::SetUp() {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  char name[MAX_PATH];
  ::GetTempFileNameA(temp, "vtd", 0, name);  // a unique name, made a directory
  ::DeleteFileA(name);
  ::CreateDirectoryA(name, nullptr);
  directory_ = std::string(name) + "\\";
  std::ofstream(directory_ + "VantiroUserManual.chm").put('\0');
  char previous[MAX_PATH];
  ::GetCurrentDirectoryA(MAX_PATH, previous);
  previousDirectory_ = previous;
  ::SetCurrentDirectoryA(directory_.c_str());
  languageModule_ = loadLibrary(languageLibrary_.c_str(), nullptr);
}

void DialogTest::TearDown() {
  dialog_.reset();
  if (languageModule_ != nullptr) freeLibrary(languageModule_);
  ::SetCurrentDirectoryA(previousDirectory_.c_str());
  for (const char* file : {"VantiroUserManual.chm", "guiapp.log"})
    ::DeleteFileA((directory_ + file).c_str());
  ::RemoveDirectoryA(directory_.c_str());
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

CMainDialog& DialogTest::open() {
  DialogServices services;
  services.languageLibrary = languageLibrary_;
  services.engineDirectory = VANTIRO_STANDIN_DIR;
  services.closePollMilliseconds = 20;
  services.detectCpuFeatures = [this] { return cpuFeatures_; };
  services.messageBox = [this](HWND, const char* text, const char* caption, UINT type) {
    boxes_.push_back(std::string(caption) + "|" + text + "|" + std::to_string(type));
    return IDOK;
  };
  services.htmlHelp = [this](HWND caller, const char* file, UINT command, DWORD_PTR data) -> HWND {
    helpCalls_.push_back({command, file != nullptr ? file : ""});
    if (command == HH_INITIALIZE) *reinterpret_cast<DWORD_PTR*>(data) = 77;
    if (command == HH_GET_LAST_ERROR) {
      struct LastError {
        int cbStruct;
        HRESULT hr;
        BSTR description;
      };
      auto* error = reinterpret_cast<LastError*>(data);
      error->hr = static_cast<HRESULT>(0x80030002u);
      error->description = ::SysAllocString(L"topic not found");
    }
    return command == HH_DISPLAY_TOC && helpShows_ ? caller : nullptr;
  };
  services.fileDialog = [this](OPENFILENAMEA* r, bool save) -> BOOL {
    std::string filters;
    for (const char* p = r->lpstrFilter; *p != '\0'; p += std::strlen(p) + 1)
      filters += std::string(p) + "|";
    fileDialogs_.push_back(
        {save, r->lpstrTitle, filters, r->lpstrInitialDir != nullptr ? r->lpstrInitialDir : "",
         r->lpstrFile, r->lpstrDefExt != nullptr ? r->lpstrDefExt : "", r->nFilterIndex, r->Flags});
    if (!fileReply_) return FALSE;
    std::snprintf(r->lpstrFile, r->nMaxFile, "%s", fileReply_->c_str());
    return TRUE;
  };
  dialog_ = std::make_unique<CMainDialog>(services);
  EXPECT_TRUE(dialog_->Create());
  if (!dialog_->hasEnded()) ::ShowWindow(hwnd(), SW_SHOW);
  return *dialog_;
}

void DialogTest::beginOnTheStandIn(int mode) {
  open();
  selectMode(mode);
  click(ctl::Nnvec2);
  setText(ctl::Iterations, "300");  // the stand-in's Benchmark takes as many milliseconds
  setText(ctl::InputFile, "series.txt");
  setText(ctl::SaveStateFile, "learned.vns");
  click(ctl::Begin);
}

void DialogTest::selectMode(int mode) {
  ::SendMessageA(item(ctl::ModeList), CB_SETCURSEL, static_cast<WPARAM>(mode), 0);
  // What the list tells its dialog when the user picks an entry.
  ::SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(ctl::ModeList, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(item(ctl::ModeList)));
}

std::string DialogTest::text(int id) const {
  char buffer[1024] = "";
  ::GetWindowTextA(item(id), buffer, sizeof buffer);
  return buffer;
}

std::vector<std::string> DialogTest::lines() const {
  std::vector<std::string> result;
  const int count = static_cast<int>(::SendMessageA(item(ctl::OutputList), LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char buffer[1024] = "";
    ::SendMessageA(item(ctl::OutputList), LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
    result.push_back(buffer);
  }
  return result;
}

std::string DialogTest::logText() const {
  std::ifstream log(directory_ + "guiapp.log");
  std::stringstream text;
  text << log.rdbuf();
  return text.str();
}

bool DialogTest::pumpUntil(const std::function<bool()>& done) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > 20000) return false;
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (dialog_ && dialog_->PreTranslateMessage(&message)) continue;
      if (dialog_ && hwnd() != nullptr && ::IsDialogMessageA(hwnd(), &message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

std::string DialogTest::catalog(unsigned id, unsigned argument) const {
  char text[kMessageBufferSize];
  formatCatalogMessage(languageModule_, text, id, argument);
  return text;
}

std::optional<std::vector<unsigned char>> storedValue(const char* name, DWORD* type) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return std::nullopt;
  std::vector<unsigned char> data(4096);
  DWORD size = static_cast<DWORD>(data.size());
  DWORD valueType = 0;
  const LONG status = ::RegQueryValueExA(key, name, nullptr, &valueType, data.data(), &size);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  if (type != nullptr) *type = valueType;
  data.resize(size);
  return data;
}

void storeValue(const char* name, DWORD type, const void* data, DWORD size) {
  ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, type, data, size);
}
