// Context help: the Help button's question-mark mode, F1, and the request
// that opens the user manual at a control's page.
#include <QAbstractButton>
#include <QComboBox>
#include <QCursor>
#include <QShortcut>

#include "common/log_text.h"
#include "gui/rules/control_table.h"
#include "gui/rules/help_topics.h"
#include "main_dialog.h"

void CMainDialog::connectHelp() {
  contextHelp_ = new ContextHelpMode(
      this, [this](QWidget* widget, QPoint position) { requestHelp(widget, position); });
  // A click and a screen reader's press both arrive as clicked().
  connect(controlAs<QAbstractButton>(ctl::Help), &QAbstractButton::clicked, this,
          [this] { OnSysCommand(kSystemContextHelp); });
  auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(helpKey, &QShortcut::activated, this,
          [this] { requestHelp(focusWidget(), QCursor::pos()); });
  // Links the help window refuses are noted in the log, while there is one.
  htmlHelp_.setLog([this](const std::string& line) {
    if (!logFile_) return;
    std::fputs(line.c_str(), logFile_.get());
    std::fflush(logFile_.get());
  });
}

void CMainDialog::requestHelp(QWidget* widget, QPoint globalPosition) {
  HelpInfo info;
  info.mousePosition = globalPosition;
  // The control itself or the part of one that was hit (a list's viewport).
  for (QWidget* w = widget; w != nullptr && w != this && info.control == nullptr;
       w = w->parentWidget()) {
    for (auto it = controls_.cbegin(); it != controls_.cend(); ++it) {
      if (it.value() == w) {
        info.controlId = it.key();
        info.control = w;
        break;
      }
    }
  }
  if (info.control == nullptr) info.control = this;
  OnHelpInfo(info);
}

bool CMainDialog::OnHelpInfo(const HelpInfo& info) {
  if (!helpDirectory_) return false;
  const int mode = controlAs<QComboBox>(ctl::ModeList)->currentIndex();
  std::string text = *helpDirectory_ + environment_.helpFileName;
  if (const auto topic = helpTopic(info.controlId, mode)) text += *topic;
  const bool shown = htmlHelp_.displayToc(this, text) != nullptr;
  if (!shown && logFile_) {
    HhLastError error;
    if (htmlHelp_.getLastError(&error) && error.hr < 0 && !error.description.empty()) {
      // The path, the topic and the description may carry what a file put
      // there: escaped, the line stays one line.
      std::fprintf(logFile_.get(), "HtmlHelp() failed to open help topic \"%s\", %s\n",
                   escapeControlCharacters(text).c_str(),
                   escapeControlCharacters(error.description).c_str());
      std::fflush(logFile_.get());
    }
  }
  return shown;
}

void CMainDialog::closeHelp() {
  htmlHelp_.closeAll();
  htmlHelp_.uninitialize(helpCookie_);
  helpCookie_ = 0;
}
