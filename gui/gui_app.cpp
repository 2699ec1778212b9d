#include "gui_app.h"

#include "gui/window/main_dialog.h"

CGuiApp::CGuiApp(DialogEnvironment environment) : environment_(std::move(environment)) {}

bool CGuiApp::InitInstance() {
  // The platform style draws the controls; there is no separate 3D look to turn on.
  CMainDialog dialog(environment_);
  dialog.DoModal();
  return false;
}
