#pragma once
// Shared pieces of the dialog tests: a private settings store, a recorder for
// message boxes, the environment the dialog is built with, a user's keyboard
// and mouse on its controls, and the texts of the string table.
#include <QByteArray>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

#include "gui/window/dialog_environment.h"

struct RecordedMessageBox {
  QMessageBox::Icon icon;
  QString caption;
  QString text;
};

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
