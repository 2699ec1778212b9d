#pragma once
// A small application framework over Win32, with the class and handler names
// the program is written in: an application object, dialogs run from their
// templates, and a tooltip control.
#include <windows.h>

class CDialog;

// The one application object. WinMain hands it the instance and runs
// InitInstance; the program ends when that returns (a dialog program runs its
// main window modally inside it).
class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance() { return FALSE; }

  HINSTANCE m_hInstance = nullptr;
  CDialog* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// The program's name as message boxes show it: its file name without ".exe".
const char* AfxGetAppName();

// A dialog built from a template resource. DoModal runs it in a message loop
// of its own, which gives every message to PreTranslateMessage first; Create
// makes it modeless (tests drive it that way, pumping the messages
// themselves). Messages reach OnMessage, the derived class's message map;
// what it leaves goes to the platform's default dialog processing.
class CDialog {
 public:
  explicit CDialog(int templateId, HWND parent = nullptr);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  INT_PTR DoModal();
  bool Create();
  void EndDialog(int result);

  HWND GetSafeHwnd() const { return hwnd_; }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }
  bool hasEnded() const { return ended_; }
  int result() const { return result_; }

  virtual BOOL PreTranslateMessage(MSG* message);

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // True when the message was handled; `result` is then its result.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

 private:
  static INT_PTR CALLBACK dialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  bool ended_ = false;
  bool modal_ = false;
  int result_ = IDCANCEL;
};

// The tooltip control of a dialog: one tool per control window, shown when
// the pointer rests on it. The controls are not subclassed: the dialog relays
// the messages to it (RelayEvent) before it processes them.
class CToolTipCtrl {
 public:
  CToolTipCtrl() = default;
  ~CToolTipCtrl();
  CToolTipCtrl(const CToolTipCtrl&) = delete;
  CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;

  bool Create(HWND owner);
  bool AddTool(HWND control, const char* text);
  void SetMaxTipWidth(int pixels);
  void Activate(bool active);
  void RelayEvent(MSG* message);
  HWND GetSafeHwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
};
