// The main window's life: start-up, the message map, the rules it applies,
// the system menu, painting while minimized and the close path.
#include <windows.h>
// The platform's other headers need windows.h before them.
#include <commctrl.h>
#include <htmlhelp.h>

#include <algorithm>

#include "accessible_names.h"
#include "common/catalog_message.h"
#include "common/message_ids.h"
#include "gui/rules/choice_buttons.h"
#include "gui/rules/control_table.h"
#include "gui/rules/file_choosers.h"
#include "gui/rules/mode_rules.h"
#include "gui/rules/tool_tips.h"
#include "main_dialog.h"
#include "main_dialog_messages.h"
#include "main_dialog_run_window.h"
#include "platform/file_search.h"
#include "platform/library_loader.h"
#include "platform/program_log.h"

namespace {

constexpr const char* kLogFileName = "guiapp.log";
constexpr int kAboutTemplateId = 100;

// The About box: its template, nothing of its own.
class CAboutDialog : public CDialog {
 public:
  explicit CAboutDialog(HWND parent) : CDialog(kAboutTemplateId, parent) {}
};

HICON loadIcon(int id, int side) {
  return static_cast<HICON>(::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                         side, side, LR_DEFAULTCOLOR));
}

}  // namespace

CMainDialog::CMainDialog(DialogServices services)
    : CDialog(kTemplateId), services_(std::move(services)) {
  programIcon_ = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(pic::ProgramIcon));
}

CMainDialog::~CMainDialog() {
  endRuns();  // a run still going uses the string table, the log and the list
  releaseResources();
  if (smallIcon_ != nullptr) ::DestroyIcon(smallIcon_);
  for (HICON icon : buttonIcons_) ::DestroyIcon(icon);
}

bool CMainDialog::isChecked(int id) const {
  return ::IsDlgButtonChecked(GetSafeHwnd(), id) == BST_CHECKED;
}

void CMainDialog::check(int id) {
  // A radio button is selected within its set; a check box is ticked.
  for (std::span<const int> set :
       {std::span<const int>(kPrecisionButtons), std::span<const int>(kInstructionSetButtons),
        std::span<const int>(kPriorityButtons)}) {
    if (std::find(set.begin(), set.end(), id) == set.end()) continue;
    for (int other : set)
      ::CheckDlgButton(GetSafeHwnd(), other, other == id ? BST_CHECKED : BST_UNCHECKED);
    return;
  }
  ::CheckDlgButton(GetSafeHwnd(), id, BST_CHECKED);
}

void CMainDialog::enable(int id, bool enabled) { ::EnableWindow(GetDlgItem(id), enabled); }

int CMainDialog::modeIndex() const {
  return static_cast<int>(::SendDlgItemMessageA(GetSafeHwnd(), ctl::ModeList, CB_GETCURSEL, 0, 0));
}

std::string CMainDialog::catalogText(unsigned id) const {
  char text[kMessageBufferSize];
  formatCatalogMessage(languageModule_, text, id);
  return text;
}

void CMainDialog::fillModeList() {
  for (const char* name : kModeNames)
    ::SendDlgItemMessageA(GetSafeHwnd(), ctl::ModeList, CB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(name));
}

BOOL CMainDialog::OnInitDialog() {
  // The controls exist; the Mode list gets its entries; the fields show the
  // values as they stand (zero and empty).
  fillModeList();
  setAccessibleNames(GetSafeHwnd());
  fillingFields_ = true;
  UpdateData(false);
  fillingFields_ = false;
  systemMenu_ = ::GetSystemMenu(GetSafeHwnd(), FALSE);
  setWindowIcons();
  logFile_ = nullptr;
  toolTips_.reset();
  helpDirectory_.reset();
  runActive_.store(0);
  closing_ = false;
  cpuFeatures_ = services_.detectCpuFeatures();
  locateHelpAndLog();
  // Without the string table the program cannot speak: it ends here,
  // without touching the settings.
  int errorCode = 0;
  languageModule_ = loadLibrary(services_.languageLibrary.c_str(), &errorCode);
  if (languageModule_ == nullptr) {
    if (logFile_ != nullptr) {
      std::fprintf(logFile_, "LoadLibrary() failed to load %s, EC = %d\n",
                   services_.languageLibrary.c_str(), errorCode);
      std::fclose(logFile_);
      logFile_ = nullptr;
    }
    const std::string text = "Failed to load " + services_.languageLibrary;
    services_.messageBox(GetSafeHwnd(), text.c_str(), AfxGetAppName(), MB_OK | MB_ICONSTOP);
    released_ = true;
    CDialog::EndDialog(IDCANCEL);
    return FALSE;
  }
  appendAboutItem();
  setButtonIcons();
  loadSettings();
  createToolTips();
  services_.htmlHelp(nullptr, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&helpCookie_));
  return TRUE;  // the Mode list, the first control with a tab stop, takes the focus
}

void CMainDialog::setWindowIcons() {
  ::SendMessageA(GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon_));
  smallIcon_ = loadIcon(pic::ProgramIcon, ::GetSystemMetrics(SM_CXSMICON));
  ::SendMessageA(GetSafeHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void CMainDialog::setButtonIcons() {
  // The control table names each icon button's picture, sized to the button.
  for (const ControlTemplate& t : mainDialogControls()) {
    if (t.iconId == 0) continue;
    HWND button = GetDlgItem(t.id);
    RECT area{};
    ::GetClientRect(button, &area);
    const int side = std::max(8, static_cast<int>(std::min(area.right, area.bottom)) - 6);
    HICON icon = loadIcon(t.iconId, side);
    if (icon == nullptr) continue;  // the button stays without an image
    buttonIcons_.push_back(icon);
    ::SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  }
}

void CMainDialog::locateHelpAndLog() {
  const std::optional<std::string> manual = searchPath(services_.helpFileName.c_str());
  if (!manual) return;
  helpDirectory_ = directoryOf(*manual);
  logFile_ = openProgramLog(*helpDirectory_, kLogFileName);
}

void CMainDialog::appendAboutItem() {
  if (systemMenu_ == nullptr) return;
  const std::string text = catalogText(msg::kAboutItem);
  if (text.empty()) return;
  ::AppendMenuA(systemMenu_, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(systemMenu_, MF_STRING, kAboutCommand, text.c_str());
}

void CMainDialog::createToolTips() {
  toolTips_ = std::make_unique<CToolTipCtrl>();
  if (!toolTips_->Create(GetSafeHwnd())) {
    toolTips_.reset();  // no tips, and nothing said
    return;
  }
  // Each text is formatted once, now.
  for (const ToolTipEntry& entry : toolTipEntries())
    toolTips_->AddTool(GetDlgItem(entry.id), catalogText(entry.message).c_str());
  toolTips_->SetMaxTipWidth(kMaxTipWidth);
  toolTips_->Activate(true);
}

BOOL CMainDialog::PreTranslateMessage(MSG* message) {
  if (toolTips_) toolTips_->RelayEvent(message);
  return CDialog::PreTranslateMessage(message);
}

bool CMainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  switch (message) {
    case WM_COMMAND:
      if (onCommand(LOWORD(wParam), HIWORD(wParam))) return true;
      break;
    case WM_SYSCOMMAND: {
      const UINT low = static_cast<UINT>(wParam & 0xFFFF);
      if (low >= kAboutCommand && low <= kAboutCommand + 15) {
        OnSysCommand(static_cast<UINT>(wParam), lParam);
        return true;
      }
      return false;  // the platform's own, context help included
    }
    case WM_PAINT:
      if (!::IsIconic(GetSafeHwnd())) return false;
      paintMinimized();
      return true;
    case WM_QUERYDRAGICON:
      *result = reinterpret_cast<LRESULT>(programIcon_);
      return true;
    case WM_HELP:
      *result = OnHelpInfo(reinterpret_cast<const HELPINFO*>(lParam));
      return true;
    case kRunCallMessage:
      (*reinterpret_cast<const std::function<void()>*>(lParam))();
      return true;
    case kRunEndedMessage:
      runEnded();
      return true;
    default:
      break;
  }
  return CDialog::OnMessage(message, wParam, lParam, result);
}

bool CMainDialog::onCommand(int id, int notification) {
  if (notification == CBN_SELCHANGE && id == ctl::ModeList) {
    applyModeEnabling();
    return true;
  }
  if (notification == EN_UPDATE && (id == ctl::Neurons || id == ctl::WindowSize)) {
    // While the program fills the fields some still hold texts a read would
    // refuse; the display is brought up to date once they are all filled.
    if (!fillingFields_) updateMemoryDisplay();
    return true;
  }
  if (notification != BN_CLICKED) return false;
  switch (id) {
    case ctl::Begin:
      onBegin();
      return true;
    case ctl::Stop:
      onStop();
      return true;
    case ctl::Clear:
      ::SendDlgItemMessageA(GetSafeHwnd(), ctl::OutputList, LB_RESETCONTENT, 0, 0);
      return true;
    case ctl::Single:
    case ctl::Double:
      updateMemoryDisplay();
      applyPrecisionRule();
      return true;
    case ctl::Help:
      ::SendMessageA(GetSafeHwnd(), WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
      return true;
    default:
      if (findFileChooser(id) != nullptr) {
        onFileButton(id);
        return true;
      }
      return false;
  }
}

void CMainDialog::OnSysCommand(UINT, LPARAM) {
  CAboutDialog about(GetSafeHwnd());
  about.DoModal();
}

void CMainDialog::paintMinimized() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(GetSafeHwnd(), &paint);
  ::SendMessageA(GetSafeHwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, programIcon_);
  ::EndPaint(GetSafeHwnd(), &paint);
}

void CMainDialog::applyModeEnabling() {
  for (const ControlEnabling& c : modeEnabling(modeIndex())) enable(c.id, c.enabled);
  applyPrecisionRule();
}

void CMainDialog::applyPrecisionRule() {
  const PrecisionRuleOutcome outcome = precisionRule(isChecked(ctl::Double), cpuFeatures_);
  if (outcome.selectX87) check(ctl::X87);
  enable(ctl::Nnvec2, outcome.nnvec2Enabled);
  enable(ctl::Sse, outcome.sseEnabled);
}

void CMainDialog::OnCancel() {
  if (deferCloseForRun()) return;
  if (!closeAfterRun_) saveSettings();
  releaseResources();
  EndDialog(IDCANCEL);
}

void CMainDialog::releaseResources() {
  if (released_) return;
  released_ = true;
  services_.htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
  services_.htmlHelp(nullptr, nullptr, HH_UNINITIALIZE, helpCookie_);
  toolTips_.reset();
  if (languageModule_ != nullptr) freeLibrary(languageModule_);
  languageModule_ = nullptr;
  if (logFile_ != nullptr) std::fclose(logFile_);
  logFile_ = nullptr;
  helpDirectory_.reset();
}
