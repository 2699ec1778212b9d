#include <windows.h>
// The platform's other headers need windows.h before them.
#include <initguid.h>
#include <oleacc.h>

#include <string>

#include "accessible_names.h"
#include "gui/rules/control_table.h"

void setAccessibleNames(HWND dialog) {
  IAccPropServices* services = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services))))
    return;
  for (const ControlTemplate& control : mainDialogControls()) {
    const std::string name = accessibleNameOf(control);
    if (name.empty()) continue;
    const std::wstring wide(name.begin(), name.end());  // the captions are ASCII
    services->SetHwndPropStr(::GetDlgItem(dialog, control.id), OBJID_CLIENT, CHILDID_SELF,
                             PROPID_ACC_NAME, wide.c_str());
  }
  services->Release();
}
