#pragma once
// The Windows dialog in the test's own process, driven by its own messages,
// with message boxes, HTML Help and the file dialogs behind stand-ins that
// record what the dialog asked. Each test starts without stored settings, in
// a fresh current directory holding an (empty) manual, where guiapp.log lands.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/win32/main_dialog.h"

struct HelpCall {
  UINT command;
  std::string file;
};

struct FileDialogCall {
  bool save;
  std::string title, filters, initialDirectory, name, defaultExtension;
  DWORD filterIndex, flags;
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  CMainDialog& open();
  // Opens the dialog and begins a run on the stand-in engine (nnvec2!): a
  // Train run lasts until it is stopped, a Benchmark 300 ms.
  void beginOnTheStandIn(int mode);
  HWND hwnd() const { return dialog_->GetSafeHwnd(); }
  HWND item(int id) const { return ::GetDlgItem(hwnd(), id); }
  void click(int id) { ::SendMessageA(item(id), BM_CLICK, 0, 0); }
  void setText(int id, const std::string& text) {
    ::SendMessageA(item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void selectMode(int mode);
  bool enabled(int id) const { return ::IsWindowEnabled(item(id)) != FALSE; }
  bool checked(int id) const { return ::SendMessageA(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  std::string text(int id) const;
  std::vector<std::string> lines() const;
  std::string logText() const;
  // Gives the dialog its messages until `done` holds; false after 20 s.
  bool pumpUntil(const std::function<bool()>& done);
  // Message `id` of the real string table, with `argument` where it takes one.
  std::string catalog(unsigned id, unsigned argument = 0) const;

  std::unique_ptr<CMainDialog> dialog_;
  std::string directory_;          // with its trailing backslash
  std::uint32_t cpuFeatures_ = 2;  // SSE
  std::string languageLibrary_ = VANTIRO_BIN_DIR "/Language.dll";
  std::vector<std::string> boxes_;  // "caption|text|type"
  std::vector<HelpCall> helpCalls_;
  bool helpShows_ = true;
  std::vector<FileDialogCall> fileDialogs_;
  std::optional<std::string> fileReply_;  // the path a file dialog confirms; none: cancelled

 private:
  std::string previousDirectory_;
  void* languageModule_ = nullptr;
};

// The settings as the registry holds them, and values put there.
std::optional<std::vector<unsigned char>> storedValue(const char* name, DWORD* type = nullptr);
void storeValue(const char* name, DWORD type, const void* data, DWORD size);
