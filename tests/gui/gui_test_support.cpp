#include "gui_test_support.h"

#include <QDir>
#include <QFile>

TemporaryConfigHome::TemporaryConfigHome()
    : previous_(qgetenv("XDG_CONFIG_HOME")),
      hadPrevious_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
  qputenv("XDG_CONFIG_HOME", directory_.path().toUtf8());
}

TemporaryConfigHome::~TemporaryConfigHome() {
  if (hadPrevious_) {
    qputenv("XDG_CONFIG_HOME", previous_);
  } else {
    qunsetenv("XDG_CONFIG_HOME");
  }
}

QString TemporaryConfigHome::storePath() const { return directory_.path() + "/vantiro/HKCU.reg"; }

QByteArray TemporaryConfigHome::storeText() const {
  QFile file(storePath());
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void TemporaryConfigHome::writeStore(const QByteArray& text) const {
  QDir().mkpath(directory_.path() + "/vantiro");
  QFile file(storePath());
  if (file.open(QIODevice::WriteOnly)) file.write(text);
}

DialogEnvironment testEnvironment(QVector<RecordedMessageBox>* boxes, const char* helpFileName) {
  DialogEnvironment environment;
  environment.languageLibrary = VANTIRO_LANGUAGE_LIBRARY;
  environment.helpFileName = helpFileName;
  environment.showMessageBox = [boxes](QWidget*, QMessageBox::Icon icon, const QString& caption,
                                       const QString& text) {
    boxes->append({icon, caption, text});
  };
  return environment;
}

QByteArray settingsStore(const QByteArray& valueLines) {
  return "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Brennix Software\\Vantiro]\n" + valueLines +
         "\n";
}
