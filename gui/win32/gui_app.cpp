// The dialog program: one application object that runs the main window
// modally; the program ends when the window closes.
#include <windows.h>
// The platform's other headers need windows.h before them.
#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "main_dialog.h"

namespace {

class CGuiApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    // The common controls of version 6 (the manifest asks for them): the
    // platform's current look, and the tooltip control.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    // COM for the accessibility services that name the controls.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto dialog = std::make_unique<CMainDialog>();
    m_pMainWnd = dialog.get();
    dialog->DoModal();
    m_pMainWnd = nullptr;
    dialog.reset();
    if (SUCCEEDED(com)) ::CoUninitialize();
    return FALSE;  // no message loop of our own: the program ends here
  }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  CGuiApp app;
  app.m_hInstance = instance;
  app.InitInstance();
  return 0;
}
