// Runs from the window, driven as a user drives them: Begin's checks, a real
// Benchmark, Train and Stop on a stand-in engine, missing engines, a Train
// that matches the console program byte for byte, the close while a run
// goes, and the four file choosers.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cerrno>
#include <functional>
#include <memory>

#include "common/catalog_message.h"
#include "common/message_ids.h"
#include "common/run_numbers.h"
#include "gui/rules/control_table.h"
#include "gui/rules/mode_rules.h"
#include "gui/window/file_chooser.h"
#include "gui/window/main_dialog.h"
#include "gui_test_support.h"
#include "platform/library_loader.h"

namespace {

constexpr int kRunTimeoutMs = 30000;

// The dialog's form of one of the console's checks.
constexpr unsigned dialogCheck(unsigned consoleCheck) {
  return consoleCheck + msg::kDialogCheckOffset;
}

using Window = TestDialog;

std::unique_ptr<Window> openWindow(const char* engineDirectory,
                                   std::uint32_t cpuFeatures = kAllFeatures) {
  TestDialogOptions options;
  options.cpuFeatures = cpuFeatures;
  options.engineDirectory = engineDirectory;
  return openTestDialog(options);
}

using Fields = QList<QPair<int, QString>>;

// Mode, fields and choices as a user sets them.
void fillIn(Window& w, int mode, const Fields& fields, const QList<int>& clicks = {}) {
  if (mode >= 0) chooseMode(w.dialog->controlAs<QComboBox>(ctl::ModeList), mode);
  for (const auto& [id, text] : fields) typeInto(w.dialog->controlAs<QLineEdit>(id), text);
  for (int id : clicks) clickButton(w.control(id));
}

// Idle again: Begin, the Mode list and the choices enabled, Stop not.
bool backToIdle(const Window& w) {
  return !w.dialog->runActive() && w.enabled(ctl::Begin) && !w.enabled(ctl::Stop);
}

void saveShot(QWidget* widget, const QString& name) {
  widget->grab().save(pictureDirectory() + "/" + name);
}

// The filters as the user reads them in the chooser, in their order.
const QStringList kShownFilters = {"Text Files (*.txt, *.csv)",
                                   "Vantiro Neural State Files (*.vns)", "All Files (*.*)"};

// The Train fields in the window's order: Neurons, Window Size, Learning Rate,
// Tolerance Unit, Train to Tolerance, Input, Load State and Save State File.
Fields trainFields(const QStringList& texts) {
  const int ids[] = {ctl::Neurons,       ctl::WindowSize,       ctl::LearningRate,
                     ctl::ToleranceUnit, ctl::TrainToTolerance, ctl::InputFile,
                     ctl::LoadStateFile, ctl::SaveStateFile};
  Fields fields;
  for (int i = 0; i < texts.size(); ++i) fields.append({ids[i], texts[i]});
  return fields;
}

const Fields kTrainOnStandIn =
    trainFields({"3", "5", "0.001", "0.0001", "0.1", "series.txt", "", "s.vns"});

}  // namespace

class MainRunsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TemporaryConfigHome> home_;

 private slots:
  void init() { home_ = std::make_unique<TemporaryConfigHome>(); }

  void cleanup() {
    home_.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
  }

  // Begin's checks, and the engines that cannot be loaded, end in the list
  // with the window idle again.
  void failedBeginFillsTheList_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QStringList>("expected");
    auto messages = [](const QList<unsigned>& ids) {  // 0: the empty line
      QStringList texts;
      for (unsigned m : ids) texts << (m == 0 ? QString() : catalogText(m, kLargestSizeProduct));
      return texts;
    };
    QTest::newRow("Train, every field empty or 0")
        << kModeTrain << trainFields({"0", "0", "0", "0", "0", "", "", ""}) << QList<int>{}
        << messages(
               {dialogCheck(msg::kNeuronsMissing), dialogCheck(msg::kWindowMissing),
                dialogCheck(msg::kLearningRateMissing), dialogCheck(msg::kToleranceUnitMissing),
                dialogCheck(msg::kTrainToToleranceMissing), dialogCheck(msg::kInputFileMissing),
                dialogCheck(msg::kSaveStateFileMissing), 0});
    QTest::newRow("no mode") << -1 << Fields{} << QList<int>{} << messages({msg::kNoModeSelected});
    QTest::newRow("product past 32 bits")
        << kModeBenchmark << Fields{{ctl::Neurons, "65536"}, {ctl::WindowSize, "65536"}}
        << QList<int>{} << messages({dialogCheck(msg::kNetworkProductTooLarge), 0});
    QTest::newRow("Generate without files")
        << kModeGenerate
        << Fields{{ctl::PointsToGenerate, "0"}, {ctl::InputFile, ""}, {ctl::OutputFile, ""}}
        << QList<int>{}
        << messages({dialogCheck(msg::kPointsToGenerateMissing),
                     dialogCheck(msg::kInputFileMissing), dialogCheck(msg::kLoadStateFileMissing),
                     dialogCheck(msg::kOutputFileMissing), 0});
    QTest::newRow("no nnvec4.dll")
        << kModeTrain << kTrainOnStandIn << QList<int>{ctl::Sse, ctl::Single}
        << QStringList{catalogText(msg::kEngineNotLoaded, "nnvec4.dll", ENOENT)};
    // Double picks nndouble.dll whatever the instruction set.
    QTest::newRow("nndouble.dll without Pet")
        << kModeTrain << kTrainOnStandIn << QList<int>{ctl::X87, ctl::Double}
        << QStringList{catalogText(msg::kPetMissing, "nndouble.dll", ENOENT)};
  }

  void failedBeginFillsTheList() {
    QFETCH(int, mode);
    QFETCH(Fields, fields);
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, expected);
    // A stored mode the list does not have leaves it without a selection.
    if (mode < 0) home_->writeStore(settingsStore("\"Mode\"=dword:00000007\n"));
    auto w = openWindow(VANTIRO_STANDIN_DIR);
    fillIn(*w, mode, fields, clicks);
    clickButton(w->control(ctl::Begin));
    // Nothing of the attempt remains.
    QTRY_VERIFY_WITH_TIMEOUT(backToIdle(*w), kRunTimeoutMs);
    QCOMPARE(w->lines(), expected);
    QVERIFY(w->enabled(ctl::ModeList) && w->enabled(ctl::Single));
    w->dialog->close();
  }

  void realBenchmarkShowsNoProgress() {
    auto w = openWindow(VANTIRO_BIN_DIR);
    fillIn(*w, kModeBenchmark,
           {{ctl::Neurons, "2"},
            {ctl::WindowSize, "8"},
            {ctl::Iterations, "200"},
            {ctl::DataPoints, "300"},
            {ctl::LearningRate, "0.001"},
            {ctl::ToleranceUnit, "1e-9"}},
           {ctl::Normal});
    clickButton(w->control(ctl::Begin));
    QVERIFY(!w->enabled(ctl::Begin) && !w->enabled(ctl::Stop) && !w->enabled(ctl::Single));
    QTRY_VERIFY_WITH_TIMEOUT(backToIdle(*w), kRunTimeoutMs);
    const QStringList lines = w->lines();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], catalogText(msg::kRunStarted));
    QVERIFY2(lines[1].startsWith(catalogPrefix(msg::kBenchmarkStarting)), qPrintable(lines[1]));
    QVERIFY2(lines[2].startsWith(catalogPrefix(msg::kBenchmarkDone)), qPrintable(lines[2]));
    saveShot(w->dialog.get(), "dialog-benchmark-run.png");
    w->dialog->close();
  }

  void stopEndsATrainRunInOrder() {
    // Without SSE the precision rule keeps SSE off after the run.
    auto w = openWindow(VANTIRO_STANDIN_DIR, kCpuMmx);
    fillIn(*w, kModeTrain, kTrainOnStandIn, {ctl::Nnvec2, ctl::Normal});
    QVERIFY(!w->enabled(ctl::Sse));
    clickButton(w->control(ctl::Begin));
    QVERIFY(w->dialog->runActive());
    QVERIFY(w->enabled(ctl::Stop));
    for (int id : {ctl::Begin, ctl::ModeList, ctl::Neurons, ctl::InputFile, ctl::OpenInput,
                   ctl::LoadConversion, ctl::Single, ctl::High})
      QVERIFY2(!w->enabled(id), qPrintable(QString::number(id)));
    QVERIFY(w->enabled(ctl::Clear) && w->enabled(ctl::OutputList));
    QTRY_COMPARE(w->lines().size(), 4);
    QCOMPARE(w->lines()[0], "flags 1 H 3 W 5 in 'series.txt' load (none) save 's.vns'");
    QCOMPARE(w->lines()[1], "progress");

    clickButton(w->control(ctl::Stop));
    QVERIFY(!w->enabled(ctl::Stop));
    QCOMPARE(w->lines().value(4), catalogText(msg::kStopRequested));
    QTRY_VERIFY_WITH_TIMEOUT(backToIdle(*w), kRunTimeoutMs);
    QCOMPARE(w->lines().mid(4),
             (QStringList{catalogText(msg::kStopRequested), "stand-in stopped"}));
    for (const ControlEnabling& c : modeEnabling(kModeTrain)) QCOMPARE(w->enabled(c.id), c.enabled);
    QVERIFY(w->enabled(ctl::Nnvec2) && !w->enabled(ctl::Sse) && w->enabled(ctl::Double));
    saveShot(w->dialog.get(), "dialog-train-stopped.png");
    w->dialog->close();
  }

  void trainFromAStateSavesWhatTheConsoleSaves() {
    QTemporaryDir dir;
    const QString series = QString(VANTIRO_SOURCE_DIR) + "/examples/nile-flow-1871-1970.txt";
    const QString console = QString(VANTIRO_BIN_DIR) + "/VantiroCmdLine";
    auto runConsole = [&](const QStringList& extra) {
      QProcess p;
      p.start(console, QStringList{"-train", "-numberOfNeurons", "3", "-inputWindowSize", "6",
                                   "-inputFile", series, "-learningRate", "0.01", "-toleranceUnit",
                                   "0.001", "-trainToTolerance", "1000"} +
                           extra);
      return p.waitForFinished(kRunTimeoutMs) && p.exitCode() == 0;
    };
    QVERIFY(runConsole({"-saveStateFile", dir.filePath("start.vns")}));
    QVERIFY(runConsole({"-loadStateFile", dir.filePath("start.vns"), "-saveStateFile",
                        dir.filePath("console.vns")}));

    auto w = openWindow(VANTIRO_BIN_DIR);
    fillIn(*w, kModeTrain,
           trainFields({"3", "6", "0.01", "0.001", "1000", series, dir.filePath("start.vns"),
                        dir.filePath("dialog.vns")}),
           {ctl::Normal});
    clickButton(w->control(ctl::Begin));
    QTRY_VERIFY_WITH_TIMEOUT(backToIdle(*w), kRunTimeoutMs);
    QFile a(dir.filePath("console.vns")), b(dir.filePath("dialog.vns"));
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray saved = b.readAll();
    QVERIFY(!saved.isEmpty());
    QCOMPARE(saved, a.readAll());
    QVERIFY2(w->lines().last().startsWith(catalogPrefix(msg::kTrainingDone)),
             qPrintable(w->lines().join('|')));
    w->dialog->close();
  }

  void realTrainShowsProgressUntilStopped() {
    // The Nile series scaled near 1, where the logistic units respond.
    QTemporaryDir dir;
    QFile nile(QString(VANTIRO_SOURCE_DIR) + "/examples/nile-flow-1871-1970.txt");
    QFile scaled(dir.filePath("nile-scaled.txt"));
    QVERIFY(nile.open(QIODevice::ReadOnly) && scaled.open(QIODevice::WriteOnly));
    while (!nile.atEnd())
      scaled.write(QByteArray::number(nile.readLine().trimmed().toDouble() / 1000.0) + "\n");
    scaled.close();

    auto w = openWindow(VANTIRO_BIN_DIR);
    fillIn(*w, kModeTrain,
           trainFields({"4", "8", "0.01", "0.0001", "0.0001", scaled.fileName(), "",
                        dir.filePath("nile.vns")}),
           {ctl::Sse, ctl::Normal});
    clickButton(w->control(ctl::Begin));
    const QString progress = catalogPrefix(msg::kProgress);
    auto progressLines = [&] {
      int n = 0;
      for (const QString& line : w->lines()) n += line.startsWith(progress) ? 1 : 0;
      return n;
    };
    QTRY_VERIFY_WITH_TIMEOUT(progressLines() >= 6, kRunTimeoutMs);
    clickButton(w->control(ctl::Stop));
    QTRY_VERIFY_WITH_TIMEOUT(backToIdle(*w), kRunTimeoutMs);
    const QStringList lines = w->lines();
    QCOMPARE(lines.first(), catalogText(msg::kRunStarted));
    QVERIFY(lines.contains(catalogText(msg::kStopRequested)));
    QVERIFY(lines.contains(catalogText(msg::kSavingBinaryState)));  // saved in the binary form
    QVERIFY2(lines.last().startsWith(catalogPrefix(msg::kTrainingDone)), qPrintable(lines.last()));
    QVERIFY(QFileInfo(dir.filePath("nile.vns")).size() > 0);
    saveShot(w->dialog.get(), "dialog-train-run.png");
    w->dialog->close();
  }

  void closeDuringTrainWaitsThenStores() {
    auto w = openWindow(VANTIRO_STANDIN_DIR);
    fillIn(*w, kModeTrain, kTrainOnStandIn, {ctl::Nnvec2, ctl::Normal});
    clickButton(w->control(ctl::Begin));
    QTRY_COMPARE(w->lines().size(), 4);
    QTest::keyClick(w->dialog.get(), Qt::Key_Escape);
    QTest::keyClick(w->dialog.get(), Qt::Key_Escape);
    // Two requests, two messages; the window stays until the run has saved.
    QCOMPARE(w->lines().mid(4, 2), (QStringList{catalogText(msg::kCloseDuringTraining),
                                                catalogText(msg::kCloseDuringTraining)}));
    QVERIFY(!w->enabled(ctl::Stop) && !w->enabled(ctl::Begin));
    QVERIFY(w->dialog->isVisible() && !w->dialog->heldResources().ended);
    QVERIFY(home_->storeText().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(w->dialog->heldResources().ended, 5000);
    QVERIFY(w->lines().contains("stand-in stopped"));
    QVERIFY(w->lines().count(catalogText(msg::kCloseDuringTraining)) == 2);
    QVERIFY(home_->storeText().contains("\"Mode\"=dword:00000001\n"));
    QVERIFY(!w->dialog->heldResources().languageModule);
  }

  void closeDuringBenchmarkEndsAfterTheWorker() {
    auto w = openWindow(VANTIRO_STANDIN_DIR);
    // The stand-in takes the iterations as milliseconds.
    fillIn(*w, kModeBenchmark, {{ctl::Iterations, "700"}}, {ctl::Nnvec2, ctl::Normal});
    clickButton(w->control(ctl::Begin));
    QTRY_COMPARE(w->lines().size(), 3);
    QTest::keyClick(w->dialog.get(), Qt::Key_Escape);
    // Settings stored and the window gone at once; the rest waits for the run.
    QVERIFY(home_->storeText().contains("\"InstructionSet\"=dword:00000001\n"));
    QVERIFY(!w->dialog->isVisible());
    QVERIFY(!w->dialog->heldResources().ended);
    QVERIFY(w->dialog->heldResources().languageModule);
    QTRY_VERIFY_WITH_TIMEOUT(w->dialog->heldResources().ended, kRunTimeoutMs);
    QCOMPARE(w->lines().last(), "stand-in finished");
    QVERIFY(!w->dialog->heldResources().languageModule);
  }

  void fileChoosersAskAsTheirRowSays_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("typed");   // the name typed into the dialog
    QTest::addColumn<bool>("accepted");   // Return, or the chooser cancelled
    QTest::addColumn<QString>("chosen");  // the field's text afterwards
    QTest::newRow("Input File") << int(ctl::OpenInput) << "series.csv" << true << "series.csv";
    QTest::newRow("Output File") << int(ctl::SaveOutput) << "out" << true << "out.txt";
    QTest::newRow("Load State File") << int(ctl::OpenState) << "start.vns" << true << "start.vns";
    QTest::newRow("Save State File") << int(ctl::SaveState) << "learned" << true << "learned.vns";
    QTest::newRow("Input File, cancelled")
        << int(ctl::OpenInput) << "series.csv" << false << "old name.txt";
  }

  void fileChoosersAskAsTheirRowSays() {
    QFETCH(int, button);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, chosen);
    const FileChooserRow* row = findFileChooser(button);
    QVERIFY(row != nullptr);
    QTemporaryDir dir;
    for (const char* name : {"series.csv", "start.vns"}) {
      QFile file(dir.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    auto w = openWindow(VANTIRO_STANDIN_DIR);
    // Each file button works in a mode that uses its field.
    const int mode = button == ctl::SaveState ? kModeTrain : kModeGenerate;
    fillIn(*w, mode, {{row->fieldId, dir.filePath("old name.txt")}});
    bool asked = false;
    QString startName;
    QTimer::singleShot(0, this, [&] {
      auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (chooser == nullptr) return;
      asked = chooser->windowTitle() == catalogText(row->titleMessage) &&
              chooser->directory().absolutePath() == QDir(dir.path()).absolutePath() &&
              chooser->selectedNameFilter() == kShownFilters[row->filterIndex - 1] &&
              chooser->acceptMode() ==
                  (row->save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen) &&
              (row->save || chooser->fileMode() == QFileDialog::ExistingFile) &&
              chooser->nameFilters().size() == 3;
      if (button == ctl::SaveState) saveShot(chooser, "dialog-file-chooser.png");
      auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
      if (name == nullptr) return chooser->reject();
      startName = name->text();
      name->selectAll();
      QTest::keyClicks(name, typed);
      if (!accepted) return chooser->reject();
      QTest::keyClick(name, Qt::Key_Return);
    });
    clickButton(w->control(button));
    QVERIFY(asked);
    // The chooser starts at the field's file.
    QCOMPARE(startName, "old name.txt");
    QCOMPARE(w->dialog->controlAs<QLineEdit>(row->fieldId)->text(), dir.filePath(chosen));
    w->dialog->close();
  }

  void changesWithoutAClickRunTheRules_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("screen reader's toggle") << "toggle";
    QTest::newRow("screen reader's press") << "press";
    QTest::newRow("program") << "program";
  }

  void changesWithoutAClickRunTheRules() {
    QFETCH(QString, how);
    auto w = openWindow(VANTIRO_STANDIN_DIR);
    fillIn(*w, kModeTrain, {{ctl::Neurons, "2"}, {ctl::WindowSize, "384"}}, {ctl::Sse});
    auto* memory = w->dialog->controlAs<QLineEdit>(ctl::Memory);
    QCOMPARE(memory->text(), "3,080 bytes");
    auto select = [&](int id) {
      auto* button = w->dialog->controlAs<QAbstractButton>(id);
      if (how == "program") return button->setChecked(true);
      QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
      QCOMPARE(accessible->role(), QAccessible::RadioButton);
      QAccessibleActionInterface* actions = accessible->actionInterface();
      actions->doAction(how == "toggle" ? QAccessibleActionInterface::toggleAction()
                                        : QAccessibleActionInterface::pressAction());
      QTRY_VERIFY(button->isChecked());
    };
    select(ctl::Double);
    // Double runs on x87 alone, and its weights take twice the bytes.
    QTRY_VERIFY(!w->enabled(ctl::Sse) && !w->enabled(ctl::Nnvec2));
    QVERIFY(w->dialog->controlAs<QAbstractButton>(ctl::X87)->isChecked());
    QCOMPARE(memory->text(), "6,160 bytes");
    select(ctl::Single);
    QTRY_VERIFY(w->enabled(ctl::Sse) && w->enabled(ctl::Nnvec2));
    QCOMPARE(memory->text(), "3,080 bytes");
    // The Mode list too, whoever changes it.
    w->dialog->controlAs<QComboBox>(ctl::ModeList)->setCurrentIndex(kModeGenerate);
    for (const ControlEnabling& c : modeEnabling(kModeGenerate))
      QCOMPARE(w->enabled(c.id), c.enabled);
    w->dialog->close();
  }
};

QTEST_MAIN(MainRunsTest)
#include "tst_mainruns.moc"
