#include "gui_test_support.h"

#include <QDir>
#include <QAbstractButton>
#include <QFile>
#include <QListWidget>
#include <QtTest>
#include <cstdarg>

#include "common/catalog_message.h"
#include "gui/help/chm_archive.h"
#include "gui/rules/control_table.h"
#include "platform/library_loader.h"

TemporaryConfigHome::TemporaryConfigHome()
    : previous_(qgetenv("XDG_CONFIG_HOME")),
      hadPrevious_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")),
      previousState_(qgetenv("XDG_STATE_HOME")),
      hadPreviousState_(qEnvironmentVariableIsSet("XDG_STATE_HOME")) {
  qputenv("XDG_CONFIG_HOME", directory_.path().toUtf8());
  qputenv("XDG_STATE_HOME", directory_.path().toUtf8() + "/state");
}

TemporaryConfigHome::~TemporaryConfigHome() {
  if (hadPrevious_) {
    qputenv("XDG_CONFIG_HOME", previous_);
  } else {
    qunsetenv("XDG_CONFIG_HOME");
  }
  if (hadPreviousState_) {
    qputenv("XDG_STATE_HOME", previousState_);
  } else {
    qunsetenv("XDG_STATE_HOME");
  }
}

QString TemporaryConfigHome::stateLogPath() const {
  return directory_.path() + "/state/vantiro/guiapp.log";
}

QString pictureDirectory() {
  static const QString directory = [] {
    const QString asked = qEnvironmentVariable("VANTIRO_SCREENSHOT_DIR");
    if (!asked.isEmpty()) {
      QDir().mkpath(asked);
      return asked;
    }
    static QTemporaryDir temporary;
    return temporary.path();
  }();
  return directory;
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
  // The help reader is the built one, beside the programs, not beside the test.
  ChmArchive::setReaderProgram(VANTIRO_CHM_READER);
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

void chooseMode(QComboBox* modes, int mode) {
  modes->setFocus();
  if (modes->currentIndex() < 0) QTest::keyClick(modes, Qt::Key_Home);
  while (modes->currentIndex() < mode) QTest::keyClick(modes, Qt::Key_Down);
  while (modes->currentIndex() > mode) QTest::keyClick(modes, Qt::Key_Up);
}

void typeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  if (text.isEmpty()) {
    QTest::keyClick(edit, Qt::Key_Backspace);
  } else {
    QTest::keyClicks(edit, text);
  }
}

void clickButton(QWidget* button) {
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

namespace {

// The string table, loaded for one look-up.
struct Catalog {
  int error = 0;
  void* module = loadLibrary(VANTIRO_LANGUAGE_LIBRARY, &error);
  char text[kMessageBufferSize];
  ~Catalog() { freeLibrary(module); }
};

}  // namespace

QString catalogText(unsigned id, ...) {
  Catalog c;
  va_list args;
  va_start(args, id);
  vformatCatalogMessage(c.module, c.text, id, args);
  va_end(args);
  return QString::fromUtf8(c.text);
}

QString catalogPrefix(unsigned id) {
  Catalog c;
  catalogFormat(c.module, id, c.text, sizeof c.text, false);
  return QString::fromUtf8(c.text).section('%', 0, 0);
}

QString TestDialog::text(int id) const { return dialog->controlAs<QLineEdit>(id)->text(); }

bool TestDialog::checked(int id) const {
  return dialog->controlAs<QAbstractButton>(id)->isChecked();
}

QComboBox* TestDialog::modes() const { return dialog->controlAs<QComboBox>(ctl::ModeList); }

QStringList TestDialog::lines() const {
  QStringList result;
  auto* list = dialog->controlAs<QListWidget>(ctl::OutputList);
  for (int i = 0; i < list->count(); ++i) result << list->item(i)->text();
  return result;
}

std::unique_ptr<TestDialog> openTestDialog(const TestDialogOptions& options) {
  auto opened = std::make_unique<TestDialog>();
  DialogEnvironment environment = testEnvironment(&opened->boxes, options.helpFileName);
  environment.detectCpuFeatures = [features = options.cpuFeatures] { return features; };
  environment.engineDirectory = options.engineDirectory;
  opened->dialog = std::make_unique<CMainDialog>(environment);
  opened->started = opened->dialog->OnInitDialog();
  if (options.show && opened->started) {
    opened->dialog->show();
    opened->dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(opened->dialog.get()))
      qWarning("dialog did not become active");
  }
  return opened;
}
