// The main window's life: start-up, the rules it applies, the system menu and
// the close path.
#include "main_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include "about_dialog.h"
#include "common/catalog_message.h"
#include "common/message_ids.h"
#include "gui/rules/control_table.h"
#include "gui/rules/mode_rules.h"
#include "gui/rules/tool_tips.h"
#include "main_dialog_runs.h"
#include "picture_resources.h"
#include "platform/file_search.h"
#include "platform/library_loader.h"
#include "platform/program_log.h"
#include "radio_button.h"
#include "tool_tip_ctrl.h"

namespace {

constexpr const char* kLogFileName = "guiapp.log";
constexpr unsigned kAboutItemMessage = msg::kAboutItem;
}  // namespace

void CMainDialog::LibraryRelease::operator()(void* library) const { freeLibrary(library); }

void CMainDialog::FileClose::operator()(std::FILE* file) const { std::fclose(file); }

CMainDialog::CMainDialog(DialogEnvironment environment) : environment_(std::move(environment)) {
  setWindowTitle(QString::fromLatin1(kMainDialogCaption));
  // A window of fixed size: caption, system menu, minimize box, no maximize
  // box. A top-level window of its own, with its own task-bar button: a
  // dialog-type window would be marked transient for a hidden leader.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  windowIcon_ = loadIconResource(pic::ProgramIcon);
  createControls();
  systemMenu_ = new QMenu(this);
  systemMenu_->addAction(QStringLiteral("Mi&nimize"))->setData(kSystemMinimize);
  systemMenu_->addAction(QStringLiteral("&Close\tAlt+F4"))->setData(kSystemClose);
  connect(systemMenu_, &QMenu::triggered, this,
          [this](QAction* action) { OnSysCommand(action->data().toUInt()); });
  // Where the window manager leaves Alt+Space to the program, it opens the system menu.
  auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
  connect(menuKey, &QShortcut::activated, this,
          [this] { showSystemMenu(mapToGlobal(QPoint(0, 0))); });
  connectHandlers();
}

CMainDialog::~CMainDialog() {
  endRuns();  // a run still going uses the string table, the log and the list
  // Released in the close path's order when the dialog goes without closing.
  closeHelp();
  delete toolTips_;
  languageModule_.reset();
  logFile_.reset();
  helpDirectory_.reset();
}

void CMainDialog::connectHandlers() {
  // Whatever changes the mode or the precision (a click, a key, a screen
  // reader's action) runs the rules; the program's own filling at start-up
  // applies them itself, in its order.
  connect(controlAs<QComboBox>(ctl::ModeList), &QComboBox::currentIndexChanged, this, [this] {
    if (!fillingFields_) applyModeEnabling();
  });
  // A click on Single or Double (mouse, Space, a screen reader's action) runs
  // the handler, also on the button already selected; a selection made
  // without a click (setChecked through some other path) runs it as well. A
  // click that changes the selection is counted once, by its clicked().
  connect(precisionGroup_, &QButtonGroup::idClicked, this, [this] { onPrecisionClicked(); });
  connect(precisionGroup_, &QButtonGroup::idToggled, this, [this](int id, bool selected) {
    if (selected && !fillingFields_ && !controlAs<RadioButton>(id)->selectingByClick())
      onPrecisionClicked();
  });
  connect(controlAs<QLineEdit>(ctl::Neurons), &QLineEdit::textChanged, this,
          [this] { onSizeFieldChanged(); });
  connect(controlAs<QLineEdit>(ctl::WindowSize), &QLineEdit::textChanged, this,
          [this] { onSizeFieldChanged(); });
  connect(controlAs<QAbstractButton>(ctl::Clear), &QAbstractButton::clicked,
          controlAs<QListWidget>(ctl::OutputList), &QListWidget::clear);
  connectHelp();
  connectRunHandlers();
}

QWidget* CMainDialog::control(int id) const { return controls_.value(id); }

bool CMainDialog::isChecked(int id) const { return controlAs<QAbstractButton>(id)->isChecked(); }

void CMainDialog::check(int id) { controlAs<QAbstractButton>(id)->setChecked(true); }

QString CMainDialog::catalogText(unsigned id) const {
  char text[kMessageBufferSize];
  formatCatalogMessage(languageModule_.get(), text, id);
  return QString::fromUtf8(text);
}

int CMainDialog::DoModal() {
  const bool focusFirstControl = OnInitDialog();
  if (ended_) return result();
  // The first control with a tab stop, the Mode list, takes the focus.
  if (focusFirstControl) control(ctl::ModeList)->setFocus(Qt::OtherFocusReason);
  exec();
  waitForRunAfterClose();
  return result();
}

bool CMainDialog::OnInitDialog() {
  // The controls exist; the Mode list gets its entries; the fields show the
  // values as they stand (zero and empty).
  {
    const bool wasFilling = fillingFields_;
    fillingFields_ = true;
    fillModeList();
    UpdateData(false);
    fillingFields_ = wasFilling;
  }
  // The system menu exists from the start (see the constructor). The window
  // icon, large and small:
  setWindowIcon(windowIcon_);
  // Nothing located, opened or created yet.
  logFile_.reset();
  helpDirectory_.reset();
  // What the processor offers decides the instruction sets offered.
  cpuFeatures_ = environment_.detectCpuFeatures();
  // The manual, and the log beside it.
  locateHelpAndLog();
  // Without the string table the program cannot speak: it ends here,
  // without touching the settings.
  int errorCode = 0;
  languageModule_.reset(loadLibrary(environment_.languageLibrary.c_str(), &errorCode));
  if (!languageModule_) {
    if (logFile_) {
      std::fprintf(logFile_.get(), "LoadLibrary() failed to load %s, EC = %d\n",
                   environment_.languageLibrary.c_str(), errorCode);
      logFile_.reset();
    }
    environment_.showMessageBox(this, QMessageBox::Critical, programName(),
                                QStringLiteral("Failed to load %1")
                                    .arg(QString::fromStdString(environment_.languageLibrary)));
    endDialog(QDialog::Rejected);
    return false;
  }
  // The About item, the buttons' pictures, the remembered settings, the
  // tips (whose texts come from the string table), then the help system.
  appendAboutItem();
  setButtonIcons();
  loadSettings();
  createToolTips();
  helpCookie_ = htmlHelp_.initialize();
  return true;
}

void CMainDialog::locateHelpAndLog() {
  const std::optional<std::string> manual = searchPath(environment_.helpFileName.c_str());
  if (!manual) return;
  helpDirectory_ = directoryOf(*manual);
  // Opened for appending: earlier starts' lines are kept. Beside the manual
  // when that directory is the user's, otherwise in the state directory.
  logFile_.reset(openProgramLog(*helpDirectory_, kLogFileName));
}

void CMainDialog::appendAboutItem() {
  const QString text = catalogText(kAboutItemMessage);
  if (text.isEmpty()) return;
  systemMenu_->addSeparator();
  systemMenu_->addAction(text)->setData(kAboutCommand);
}

void CMainDialog::setButtonIcons() {
  // The control table names each icon button's picture; each is drawn once.
  QHash<int, QIcon> icons;
  for (const ControlTemplate& t : mainDialogControls()) {
    if (t.iconId == 0) continue;
    if (!icons.contains(t.iconId)) icons.insert(t.iconId, loadIconResource(t.iconId));
    const QIcon icon = icons.value(t.iconId);
    if (icon.isNull()) continue;  // the button stays without an image
    auto* button = controlAs<QPushButton>(t.id);
    button->setIcon(icon);
    const int side = std::min(button->width(), button->height()) - 6;
    button->setIconSize(QSize(side, side));
  }
}

void CMainDialog::createToolTips() {
  toolTips_ = new CToolTipCtrl(this);
  // Each text is formatted once, now.
  for (const ToolTipEntry& entry : toolTipEntries())
    toolTips_->addTool(control(entry.id), catalogText(entry.message));
  toolTips_->setMaxTipWidth(kMaxTipWidth);
  toolTips_->activate(true);
}

void CMainDialog::applyModeEnabling() {
  for (const ControlEnabling& c :
       modeEnabling(controlAs<QComboBox>(ctl::ModeList)->currentIndex())) {
    control(c.id)->setEnabled(c.enabled);
  }
  applyPrecisionRule();
}

void CMainDialog::applyPrecisionRule() {
  const PrecisionRuleOutcome outcome = precisionRule(isChecked(ctl::Double), cpuFeatures_);
  if (outcome.selectX87) check(ctl::X87);
  control(ctl::Nnvec2)->setEnabled(outcome.nnvec2Enabled);
  control(ctl::Sse)->setEnabled(outcome.sseEnabled);
}

void CMainDialog::onPrecisionClicked() {
  updateMemoryDisplay();
  applyPrecisionRule();
}

void CMainDialog::OnCancel() {
  if (deferCloseForRun()) return;
  if (!settingsStoredByDeferredClose()) saveSettings();
  closeHelp();
  delete toolTips_;
  toolTips_ = nullptr;
  languageModule_.reset();
  logFile_.reset();
  helpDirectory_.reset();
  endDialog(QDialog::Rejected);
}

void CMainDialog::reject() { OnCancel(); }

void CMainDialog::endDialog(int result) {
  ended_ = true;
  QDialog::done(result);
}

void CMainDialog::OnSysCommand(unsigned command) {
  const unsigned low = command & 0xFFFFu;
  if (low >= kAboutCommand && low <= kAboutCommand + 15) {
    CAboutDialog about(this);
    about.exec();
    return;
  }
  switch (command & 0xFFF0u) {
    case kSystemMinimize:
      showMinimized();
      break;
    case kSystemClose:
      close();  // arrives as OnCancel
      break;
    case kSystemContextHelp:
      contextHelp_->enter();
      break;
    default:
      break;
  }
}

void CMainDialog::showSystemMenu(const QPoint& globalPosition) {
  systemMenu_->popup(globalPosition);
}

void CMainDialog::contextMenuEvent(QContextMenuEvent* event) {
  // Linux windows have no system menu a program can extend: the dialog's own
  // context menu takes its place.
  showSystemMenu(event->globalPos());
  event->accept();
}
