#pragma once
// Shared pieces of the dialog tests: a private settings store, a recorder for
// message boxes, the environment the dialog is built with, a user's keyboard
// and mouse on its controls, and the texts of the string table.
#include <QByteArray>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/window/dialog_environment.h"
#include "gui/window/main_dialog.h"
#include "platform/cpu_features.h"

struct RecordedMessageBox {
  QMessageBox::Icon icon;
  QString caption;
  QString text;
};

// Where the tests put the pictures and files a person may want to look at:
// the directory VANTIRO_SCREENSHOT_DIR names (made if need be), otherwise a
// temporary one removed when the test program ends, so that a test run leaves
// nothing in the source or build tree.
QString pictureDirectory();

// Points XDG_CONFIG_HOME, and XDG_STATE_HOME where a log may go, at a fresh
// directory for as long as it lives.
class TemporaryConfigHome {
 public:
  TemporaryConfigHome();
  ~TemporaryConfigHome();
  QString storePath() const;
  QByteArray storeText() const;
  void writeStore(const QByteArray& text) const;
  // The dialog's log when it is kept in the state directory.
  QString stateLogPath() const;

 private:
  QTemporaryDir directory_;
  QByteArray previous_;
  bool hadPrevious_;
  QByteArray previousState_;
  bool hadPreviousState_;
};

// The environment of a dialog under test: message boxes are recorded instead
// of shown, the manual is looked for under a name no other test uses.
DialogEnvironment testEnvironment(QVector<RecordedMessageBox>* boxes,
                                  const char* helpFileName = "tst-absent-manual.chm");

// Every feature the instruction-set rule asks about.
inline constexpr std::uint32_t kAllFeatures = kCpuMmx | kCpuSse | kCpuSse2 | kCpuNnvec2;

// A main dialog under test with the message boxes it showed, and what a
// user reads off its controls.
struct TestDialog {
  QVector<RecordedMessageBox> boxes;
  std::unique_ptr<CMainDialog> dialog;
  bool started = false;  // OnInitDialog went through

  QWidget* control(int id) const { return dialog->control(id); }
  QString text(int id) const;
  bool enabled(int id) const { return control(id)->isEnabled(); }
  bool checked(int id) const;
  QComboBox* modes() const;
  QStringList lines() const;  // the output list
};

struct TestDialogOptions {
  std::uint32_t cpuFeatures = kAllFeatures;
  bool show = true;  // shown and active once started
  const char* helpFileName = "tst-absent-manual.chm";
  std::string engineDirectory;  // empty: engines by bare name
};

// The children of `parent` of a class without its own meta-object (the
// dialog's tool tips, its menu, its help windows), in the order made.
template <typename Child>
std::vector<Child*> childrenOfType(const QObject* parent) {
  std::vector<Child*> found;
  for (QObject* child : parent->findChildren<QObject*>()) {
    if (auto* typed = dynamic_cast<Child*>(child)) found.push_back(typed);
  }
  return found;
}
template <typename Child>
Child* childOfType(const QObject* parent) {
  const std::vector<Child*> found = childrenOfType<Child>(parent);
  return found.size() == 1 ? found.front() : nullptr;
}

// The window's system menu: the one menu the dialog owns.
inline QMenu* systemMenu(const CMainDialog& dialog) {
  return dialog.findChild<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
}

// Makes the dialog in testEnvironment() and starts it (OnInitDialog).
std::unique_ptr<TestDialog> openTestDialog(const TestDialogOptions& options = {});

// The REGEDIT4 text of the dialog's key with the given value lines.
QByteArray settingsStore(const QByteArray& valueLines);

// Chooses a mode the way a user does with the keyboard: from the list's
// current entry, arrow keys up or down to the wanted one.
void chooseMode(QComboBox* modes, int mode);

// Replaces a field's text by typing, as a user who selects it all first.
void typeInto(QLineEdit* edit, const QString& text);

// A mouse click near the left edge of a button (inside even a narrow one).
void clickButton(QWidget* button);

// Message `id` of the string table, formatted with the arguments as the
// programs format it; and its text up to the first conversion, by which a
// line with run-dependent figures is recognised.
QString catalogText(unsigned id, ...);
QString catalogPrefix(unsigned id);
