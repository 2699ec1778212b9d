#include <windows.h>
// The platform's other headers need windows.h before them.
#include <mutex>

#include "dialog_services.h"
#include "platform/cpu_features.h"

namespace {

using HtmlHelpA = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// Loaded once and kept for the life of the program, as the help windows
// belong to it.
HtmlHelpA htmlHelpEntry() {
  static HtmlHelpA entry = nullptr;
  static std::once_flag loaded;
  std::call_once(loaded, [] {
    HMODULE module = ::LoadLibraryA("hhctrl.ocx");
    if (module != nullptr)
      entry = reinterpret_cast<HtmlHelpA>(
          reinterpret_cast<void*>(::GetProcAddress(module, "HtmlHelpA")));
  });
  return entry;
}

}  // namespace

HWND callHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data) {
  const HtmlHelpA entry = htmlHelpEntry();
  return entry != nullptr ? entry(caller, file, command, data) : nullptr;
}

DialogServices DialogServices::platform() {
  DialogServices services;
  services.detectCpuFeatures = ::detectCpuFeatures;
  services.messageBox = [](HWND owner, const char* text, const char* caption, UINT type) {
    return ::MessageBoxA(owner, text, caption, type);
  };
  services.htmlHelp = callHtmlHelp;
  services.fileDialog = [](OPENFILENAMEA* request, bool save) {
    return save ? ::GetSaveFileNameA(request) : ::GetOpenFileNameA(request);
  };
  return services;
}
