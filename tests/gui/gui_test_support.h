#pragma once
// Shared pieces of the dialog tests: a private settings store, a recorder for
// message boxes, and the environment the dialog is built with.
#include <QByteArray>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

#include "dialog_environment.h"

struct RecordedMessageBox {
  QMessageBox::Icon icon;
  QString caption;
  QString text;
};

// Points XDG_CONFIG_HOME at a fresh directory for as long as it lives.
class TemporaryConfigHome {
 public:
  TemporaryConfigHome();
  ~TemporaryConfigHome();
  QString storePath() const;
  QByteArray storeText() const;
  void writeStore(const QByteArray& text) const;

 private:
  QTemporaryDir directory_;
  QByteArray previous_;
  bool hadPrevious_;
};

// The environment of a dialog under test: message boxes are recorded instead
// of shown, the manual is looked for under a name no other test uses.
DialogEnvironment testEnvironment(QVector<RecordedMessageBox>* boxes,
                                  const char* helpFileName = "tst-absent-manual.chm");

// The REGEDIT4 text of the dialog's key with the given value lines.
QByteArray settingsStore(const QByteArray& valueLines);
