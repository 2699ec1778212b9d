#pragma once
// What the main window takes from its surroundings: the program uses the
// platform's own services; tests put in stand-ins that record what the
// window asked for.
#include <windows.h>
// after windows.h, which it needs
#include <commdlg.h>

#include <cstdint>
#include <functional>
#include <string>

// HtmlHelpA's signature: the help system is loaded when first asked.
using HtmlHelpFunction =
    std::function<HWND(HWND caller, const char* file, UINT command, DWORD_PTR data)>;

// HtmlHelpA of hhctrl.ocx, loaded at the first call; 0 for every command when
// the help system cannot be loaded.
HWND callHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data);

struct DialogServices {
  std::string languageLibrary = "Language.dll";
  std::string helpFileName = "VantiroUserManual.chm";
  // Directory of the engine libraries; empty: loaded by bare name.
  std::string engineDirectory;
  // How often the close that waits for a training run looks at it.
  int closePollMilliseconds = 2000;
  std::function<std::uint32_t()> detectCpuFeatures;
  std::function<int(HWND owner, const char* text, const char* caption, UINT type)> messageBox;
  HtmlHelpFunction htmlHelp;
  // GetOpenFileNameA or, for `save`, GetSaveFileNameA.
  std::function<BOOL(OPENFILENAMEA* request, bool save)> fileDialog;

  // The platform's own: CPUID, MessageBoxA, HtmlHelpA, the common file dialogs.
  static DialogServices platform();
};
