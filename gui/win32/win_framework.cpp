#include <windows.h>
// The platform's other headers need windows.h before them.
#include <commctrl.h>

#include <cstring>

#include "win_framework.h"

namespace {

CWinApp* theApp = nullptr;

}  // namespace

CWinApp::CWinApp() {
  theApp = this;
  m_hInstance = ::GetModuleHandleA(nullptr);
}

CWinApp::~CWinApp() {
  if (theApp == this) theApp = nullptr;
}

CWinApp* AfxGetApp() { return theApp; }

HINSTANCE AfxGetInstanceHandle() {
  return theApp != nullptr ? theApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

const char* AfxGetAppName() {
  static char name[MAX_PATH] = "";
  if (name[0] == '\0') {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* base = std::strrchr(path, '\\');
    base = base != nullptr ? base + 1 : path;
    std::memcpy(name, base, std::strlen(base) + 1);  // no longer than `path`
    if (char* dot = std::strrchr(name, '.')) *dot = '\0';
  }
  return name;
}

CDialog::CDialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() {
  if (hwnd_ != nullptr) {
    ::SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
    ::DestroyWindow(hwnd_);
  }
}

bool CDialog::Create() {
  ended_ = false;
  hwnd_ = ::CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(templateId_), parent_,
                               dialogProcedure, reinterpret_cast<LPARAM>(this));
  return hwnd_ != nullptr;
}

INT_PTR CDialog::DoModal() {
  modal_ = true;
  if (parent_ != nullptr) ::EnableWindow(parent_, FALSE);
  if (!Create()) {
    if (parent_ != nullptr) ::EnableWindow(parent_, TRUE);
    return -1;
  }
  if (!ended_) ::ShowWindow(hwnd_, SW_SHOW);
  MSG message;
  while (!ended_) {
    const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));  // for the loop outside
      break;
    }
    if (got < 0) break;
    if (PreTranslateMessage(&message)) continue;
    if (::IsDialogMessageA(hwnd_, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  if (parent_ != nullptr) {
    ::EnableWindow(parent_, TRUE);
    ::SetActiveWindow(parent_);
  }
  ::SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
  ::DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  return result_;
}

void CDialog::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  // The loop of DoModal ends at its next message; a modeless dialog hides.
  if (hwnd_ != nullptr) {
    ::ShowWindow(hwnd_, SW_HIDE);
    ::PostMessageA(hwnd_, WM_NULL, 0, 0);
  }
}

BOOL CDialog::PreTranslateMessage(MSG*) { return FALSE; }

bool CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  if (message == WM_CLOSE) {  // the close box and Alt+F4, at once rather than posted
    OnCancel();
    *result = 0;
    return true;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    switch (LOWORD(wParam)) {
      case IDOK:
        OnOK();
        *result = 0;
        return true;
      case IDCANCEL:  // Escape, the close box, Alt+F4 and WM_CLOSE
        OnCancel();
        *result = 0;
        return true;
      default:
        break;
    }
  }
  return false;
}

INT_PTR CALLBACK CDialog::dialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    dialog->hwnd_ = hwnd;
    return dialog->OnInitDialog();
  }
  auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  if (dialog == nullptr) return FALSE;
  LRESULT result = 0;
  if (!dialog->OnMessage(message, wParam, lParam, &result)) return FALSE;
  // Messages whose result is the procedure's own return value.
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return static_cast<INT_PTR>(result);
    default:
      ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

CToolTipCtrl::~CToolTipCtrl() {
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

bool CToolTipCtrl::Create(HWND owner) {
  owner_ = owner;
  hwnd_ = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, AfxGetInstanceHandle(),
                            nullptr);
  return hwnd_ != nullptr;
}

bool CToolTipCtrl::AddTool(HWND control, const char* text) {
  if (hwnd_ == nullptr || control == nullptr) return false;
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = owner_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text);  // the control keeps a copy
  return ::SendMessageA(hwnd_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}

void CToolTipCtrl::SetMaxTipWidth(int pixels) {
  if (hwnd_ != nullptr) ::SendMessageA(hwnd_, TTM_SETMAXTIPWIDTH, 0, pixels);
}

void CToolTipCtrl::Activate(bool active) {
  if (hwnd_ != nullptr) ::SendMessageA(hwnd_, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

void CToolTipCtrl::RelayEvent(MSG* message) {
  if (hwnd_ == nullptr) return;
  // Only the pointer's messages concern a tip.
  if (message->message >= WM_MOUSEFIRST && message->message <= WM_MOUSELAST)
    ::SendMessageA(hwnd_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
}
