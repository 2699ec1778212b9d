// The main window driven as a user drives it: start-up, the Mode list, the
// precision buttons, typing into the fields, the system menu, the close path
// and what it stores.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "common/catalog_message.h"
#include "common/message_ids.h"
#include "gui/rules/control_table.h"
#include "gui/rules/mode_rules.h"
#include "gui/window/about_dialog.h"
#include "gui/window/dialog_units.h"
#include "gui/window/main_dialog.h"
#include "gui/window/tool_tip_ctrl.h"
#include "gui_test_support.h"
#include "platform/library_loader.h"

namespace {

using StartedDialog = TestDialog;

std::unique_ptr<StartedDialog> startDialog(std::uint32_t cpuFeatures = kAllFeatures,
                                           bool show = true,
                                           const char* helpFileName = "tst-absent-manual.chm") {
  TestDialogOptions options;
  options.cpuFeatures = cpuFeatures;
  options.show = show;
  options.helpFileName = helpFileName;
  return openTestDialog(options);
}

}  // namespace

class MainDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TemporaryConfigHome> home_;

 private slots:
  void init() { home_ = std::make_unique<TemporaryConfigHome>(); }

  void cleanup() {
    home_.reset();
    // No window outlives its test.
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
  }

  void firstStartShowsTheDefaults() {
    auto d = startDialog();
    QVERIFY(d->started);
    QVERIFY(d->boxes.isEmpty());
    const QList<QPair<int, QString>> fields = {{ctl::Neurons, "2"},
                                               {ctl::WindowSize, "384"},
                                               {ctl::PointsToGenerate, "10"},
                                               {ctl::Iterations, "10000"},
                                               {ctl::DataPoints, "500"},
                                               {ctl::LearningRate, "0.0001"},
                                               {ctl::ToleranceUnit, "1e-005"},
                                               {ctl::TrainToTolerance, "0.01"},
                                               {ctl::Memory, "3,080 bytes"},
                                               {ctl::InputFile, ""},
                                               {ctl::OutputFile, ""},
                                               {ctl::LoadStateFile, ""},
                                               {ctl::SaveStateFile, ""}};
    for (const auto& [id, text] : fields) QCOMPARE(d->text(id), text);
    QCOMPARE(d->modes()->currentIndex(), kModeBenchmark);
    QCOMPARE(d->modes()->count(), 3);
    QCOMPARE(d->modes()->itemText(2), QString("Generate"));
    QVERIFY(d->checked(ctl::Single) && d->checked(ctl::X87) && d->checked(ctl::Idle));
    QVERIFY(!d->checked(ctl::LoadConversion) && !d->checked(ctl::SaveConversion));
    QVERIFY(!d->enabled(ctl::Stop));
    QVERIFY(d->enabled(ctl::Begin) && d->enabled(ctl::Clear) && d->enabled(ctl::Help));
    QCOMPARE(d->dialog->values().inputWindowSize, 384u);
    QCOMPARE(d->dialog->windowTitle(), QString("Vantiro"));
    QVERIFY(!d->dialog->windowIcon().isNull());
    for (int id : {ctl::OpenInput, ctl::OpenState, ctl::SaveOutput, ctl::SaveState, ctl::Help}) {
      QVERIFY(!d->dialog->controlAs<QPushButton>(id)->icon().isNull());
    }
    QCOMPARE(QApplication::focusWidget(), d->dialog->control(ctl::ModeList));
  }

  void modeListEnablesItsControls_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("Train") << kModeTrain;
    QTest::newRow("Generate") << kModeGenerate;
    QTest::newRow("Benchmark") << kModeBenchmark;
  }
  void modeListEnablesItsControls() {
    QFETCH(int, mode);
    auto d = startDialog();
    d->dialog->controlAs<QCheckBox>(ctl::SaveConversion)->setChecked(true);
    chooseMode(d->modes(), kModeGenerate);  // start away from the wanted mode
    chooseMode(d->modes(), mode);
    QCOMPARE(d->modes()->currentIndex(), mode);
    for (const ControlEnabling& c : modeEnabling(mode)) {
      QVERIFY2(d->enabled(c.id) == c.enabled, qPrintable(QString::number(c.id)));
    }
    // Modes only enable and disable: values and check boxes stay.
    QCOMPARE(d->text(ctl::LearningRate), QString("0.0001"));
    QVERIFY(d->checked(ctl::SaveConversion));
    for (const ControlTemplate& t : mainDialogControls())
      QVERIFY(d->dialog->control(t.id)->isVisible());
  }

  void precisionButtonsFollowTheRule_data() {
    QTest::addColumn<quint32>("features");
    QTest::addColumn<bool>("sseOffered");
    QTest::newRow("processor with SSE") << quint32(kAllFeatures) << true;
    QTest::newRow("processor without SSE") << 0u << false;
  }
  void precisionButtonsFollowTheRule() {
    QFETCH(quint32, features);
    QFETCH(bool, sseOffered);
    auto d = startDialog(features);
    QCOMPARE(d->enabled(ctl::Sse), sseOffered);
    QVERIFY(d->enabled(ctl::Nnvec2));  // the pair build runs everywhere
    clickButton(d->dialog->control(ctl::Nnvec2));
    QVERIFY(d->checked(ctl::Nnvec2));

    clickButton(d->dialog->control(ctl::Double));
    QVERIFY(d->checked(ctl::Double));
    QVERIFY(d->checked(ctl::X87));
    QVERIFY(!d->enabled(ctl::Nnvec2) && !d->enabled(ctl::Sse) && d->enabled(ctl::X87));
    QCOMPARE(d->text(ctl::Memory), QString("6,160 bytes"));

    clickButton(d->dialog->control(ctl::Single));
    QVERIFY(d->checked(ctl::X87));  // stays until the user picks another
    QCOMPARE(d->enabled(ctl::Sse), sseOffered);
    QVERIFY(d->enabled(ctl::Nnvec2));
    QCOMPARE(d->text(ctl::Memory), QString("3,080 bytes"));
  }

  // Every way of choosing Single or Double runs the handler (display, then
  // rule) exactly once: "abc" in Learning Rate makes each run of it show one
  // message box, a cleared display shows that it ran, and SSE left in the
  // wrong state shows that the rule ran.
  void choosingThePrecisionRunsTheHandlerOnce_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("learningRate");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<QString>("memory");
    QTest::newRow("click on the selected Single")
        << "click" << ctl::Single << "abc" << 1 << "3,080 bytes";
    QTest::newRow("click on the selected Single, fields good")
        << "click" << ctl::Single << "0.5" << 0 << "3,080 bytes";
    QTest::newRow("click on the unselected Double")
        << "click" << ctl::Double << "abc" << 1 << "6,160 bytes";
    QTest::newRow("Space on the selected Single")
        << "Space" << ctl::Single << "abc" << 1 << "3,080 bytes";
    QTest::newRow("Space on the unselected Double")
        << "Space" << ctl::Double << "abc" << 1 << "6,160 bytes";
    QTest::newRow("screen reader's action on Double")
        << "screen reader" << ctl::Double << "abc" << 1 << "6,160 bytes";
    QTest::newRow("screen reader's action on Double, fields good")
        << "screen reader" << ctl::Double << "0.5" << 0 << "6,160 bytes";
    QTest::newRow("screen reader's action on the selected Single")
        << "screen reader" << ctl::Single << "abc" << 1 << "3,080 bytes";
  }
  void choosingThePrecisionRunsTheHandlerOnce() {
    QFETCH(QString, how);
    QFETCH(int, id);
    QFETCH(QString, learningRate);
    QFETCH(int, boxes);
    QFETCH(QString, memory);
    auto d = startDialog();
    chooseMode(d->modes(), kModeTrain);
    QVERIFY(d->checked(ctl::Single));
    d->dialog->controlAs<QLineEdit>(ctl::LearningRate)->setText(learningRate);
    d->dialog->controlAs<QLineEdit>(ctl::Memory)->clear();
    const bool doubleAfter = id == ctl::Double;
    d->dialog->control(ctl::Sse)->setEnabled(doubleAfter);  // the opposite of the rule's answer
    d->boxes.clear();
    QWidget* button = d->dialog->control(id);
    if (how == "click") {
      clickButton(button);
    } else if (how == "Space") {
      button->setFocus(Qt::OtherFocusReason);
      QTest::keyClick(button, Qt::Key_Space);
    } else {
      QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
      QVERIFY(accessible != nullptr && accessible->actionInterface() != nullptr);
      const QString action = accessible->actionInterface()->actionNames().value(0);
      QVERIFY(!action.isEmpty());
      accessible->actionInterface()->doAction(action);
    }
    QTest::qWait(300);  // an animated press would click by now
    QCOMPARE(d->checked(ctl::Double), doubleAfter);
    QCOMPARE(d->boxes.size(), boxes);
    if (boxes > 0) QCOMPARE(d->boxes[0].text, QString("Please enter a number."));
    QCOMPARE(d->text(ctl::Memory), memory);
    QCOMPARE(d->enabled(ctl::Sse), !doubleAfter);
  }

  void typingUpdatesTheMemoryDisplay() {
    auto d = startDialog();
    auto* neurons = d->dialog->controlAs<QLineEdit>(ctl::Neurons);
    typeInto(neurons, "5");
    QCOMPARE(d->text(ctl::Memory), QString("7,700 bytes"));
    QTest::keyClicks(neurons, "a-.");  // digits only: refused as typed
    QCOMPARE(neurons->text(), QString("5"));
    typeInto(d->dialog->controlAs<QLineEdit>(ctl::WindowSize), "0");
    QCOMPARE(d->text(ctl::Memory), QString("20 bytes"));
    QVERIFY(d->boxes.isEmpty());
  }

  void deletingTheLastDigitComplainsAtOnce() {
    auto d = startDialog();
    auto* neurons = d->dialog->controlAs<QLineEdit>(ctl::Neurons);
    neurons->setFocus();
    neurons->end(false);
    QTest::keyClick(neurons, Qt::Key_Backspace);
    QCOMPARE(d->boxes.size(), 1);
    QCOMPARE(d->boxes[0].text, QString("Please enter a positive integer."));
    QCOMPARE(d->boxes[0].caption, programName());
    QCOMPARE(d->boxes[0].icon, QMessageBox::Warning);
    QCOMPARE(QApplication::focusWidget(), neurons);
    QCOMPARE(d->text(ctl::Memory), QString("3,080 bytes"));  // the last good value
    QCOMPARE(d->dialog->values().numberOfNeurons, 2u);
  }

  void failedReadStopsAtTheField_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("Learning Rate, decimal comma") << kModeTrain << ctl::LearningRate << "0,5"
                                                  << "Please enter a number.";
    QTest::newRow("Train to Tolerance, minus zero") << kModeTrain << ctl::TrainToTolerance << "-0"
                                                    << "Please enter a number.";
    QTest::newRow("Iterations, minus") << kModeBenchmark << ctl::Iterations << "-3"
                                       << "Please enter a positive integer.";
    QTest::newRow("Output File, 256 characters")
        << kModeGenerate << ctl::OutputFile << QString(256, 'o')
        << "Please enter no more than 255 characters.";
  }
  void failedReadStopsAtTheField() {
    QFETCH(int, mode);
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QString, message);
    auto d = startDialog();
    chooseMode(d->modes(), mode);
    const ParameterValues before = d->dialog->values();
    auto* failing = d->dialog->controlAs<QLineEdit>(id);
    failing->setMaxLength(32767);  // as a longer stored text leaves it
    failing->setText(text);
    // A change before the failing field, and one after it.
    d->dialog->controlAs<QLineEdit>(ctl::WindowSize)->setText("7");
    d->dialog->controlAs<QLineEdit>(ctl::LoadStateFile)->setText("later.vns");
    d->boxes.clear();
    QVERIFY(!d->dialog->UpdateData(true));
    QCOMPARE(d->boxes.size(), 1);
    QCOMPARE(d->boxes[0].text, message);
    QCOMPARE(QApplication::focusWidget(), failing);
    QCOMPARE(failing->selectedText(), text);
    const ParameterValues& after = d->dialog->values();
    QCOMPARE(after.inputWindowSize, 7u);
    QCOMPARE(after.learningRate, before.learningRate);
    QCOMPARE(after.trainToTolerance, before.trainToTolerance);
    QCOMPARE(after.benchmarkingIterations, before.benchmarkingIterations);
    QCOMPARE(after.outputFile, before.outputFile);
    QCOMPARE(after.loadStateFile, std::string());
  }

  void readAcceptsWhatTheRulesAccept() {
    auto d = startDialog();
    d->dialog->controlAs<QLineEdit>(ctl::Iterations)->setText(" 12 ");
    d->dialog->controlAs<QLineEdit>(ctl::DataPoints)->setText("4294967296");
    d->dialog->controlAs<QLineEdit>(ctl::LearningRate)->setText("1e-4");
    d->dialog->controlAs<QLineEdit>(ctl::InputFile)->setText(QString(255, 'i'));
    QVERIFY(d->dialog->UpdateData(true));
    QCOMPARE(d->dialog->values().benchmarkingIterations, 12u);
    QCOMPARE(d->dialog->values().benchmarkingDataPoints, 4294967295u);
    QCOMPARE(d->dialog->values().learningRate, 0.0001);
    QCOMPARE(d->dialog->values().inputFile.size(), std::size_t(255));
    QCOMPARE(d->dialog->controlAs<QLineEdit>(ctl::InputFile)->maxLength(), 255);
  }

  void longStoredInputFileIsShownAndRaisesOneMessage() {
    const QByteArray path = "/" + QByteArray(299, 'p');
    home_->writeStore(settingsStore("\"InputFile\"=\"" + path + "\"\n"));
    auto d = startDialog();
    QCOMPARE(d->text(ctl::InputFile), QString::fromLatin1(path));
    QCOMPARE(d->boxes.size(), 1);
    QCOMPARE(d->boxes[0].text, QString("Please enter no more than 255 characters."));
  }

  void enterPressesBegin() {
    auto d = startDialog();
    QSignalSpy begin(d->dialog->controlAs<QPushButton>(ctl::Begin), &QPushButton::clicked);
    auto* field = d->dialog->controlAs<QLineEdit>(ctl::Neurons);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(begin.count(), 1);
    QVERIFY(d->dialog->isVisible());
  }

  void clearEmptiesTheListAndTheListShowsItsLines() {
    auto d = startDialog();
    auto* list = d->dialog->controlAs<QListWidget>(ctl::OutputList);
    list->addItem("first line");
    list->addItem("second line");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(list);
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->text(QAccessible::Name), QString("Output"));
    QCOMPARE(accessible->childCount(), 2);
    QCOMPARE(accessible->child(1)->text(QAccessible::Name), QString("second line"));
    clickButton(d->dialog->control(ctl::Clear));
    QCOMPARE(list->count(), 0);
  }

  void everyControlHasItsRectangleAndName() {
    auto d = startDialog();
    const DialogBaseUnits base = labelFittingBaseUnits(d->dialog->font(), mainDialogControls());
    QVERIFY(base.width >= dialogBaseUnits(d->dialog->font()).width);
    QCOMPARE(d->dialog->size(), QSize(dialogUnitsToPixels(501, base.width, 4),
                                      dialogUnitsToPixels(234, base.height, 8)));
    QCOMPARE(d->dialog->minimumSize(), d->dialog->maximumSize());
    QVERIFY(!(d->dialog->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(d->dialog->windowFlags() & Qt::WindowMinimizeButtonHint);
    for (const ControlTemplate& t : mainDialogControls()) {
      QWidget* widget = d->dialog->control(t.id);
      const QRect expected = dialogRectToPixels(t.rect, base);
      // Radio sets sit in panels of their own: compare in window coordinates.
      const QRect actual(widget->mapTo(d->dialog.get(), QPoint(0, 0)), widget->size());
      if (t.kind == ControlKind::DropDownList) {
        QCOMPARE(actual.topLeft(), expected.topLeft());
        QVERIFY(widget->height() <= expected.height());
      } else {
        QCOMPARE(actual, expected);
      }
      QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(QString::number(t.id)));
      if (t.kind == ControlKind::Label) {
        // One font for every label, and each caption fits its rectangle.
        auto* label = static_cast<QLabel*>(widget);
        QCOMPARE(label->font(), d->dialog->font());
        QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width(),
                 qPrintable(label->text()));
      }
      if (t.labelId != 0) {
        QCOMPARE(widget->accessibleName(),
                 QString::fromLatin1(findControlTemplate(t.labelId)->caption));
      } else if (t.caption[0] != '\0') {
        QCOMPARE(widget->accessibleName(), QString::fromLatin1(t.caption));
      }
    }
    QCOMPARE(d->dialog->control(ctl::Neurons)->accessibleName(), QString("Number of Neurons:"));
  }

  void tabVisitsTheTabStopsInTemplateOrder() {
    auto d = startDialog();
    QList<QWidget*> expected;
    for (const ControlTemplate& t : mainDialogControls()) {
      if (t.style & kTabStop) expected.append(d->dialog->control(t.id));
    }
    // Everything is enabled in Train except Memory's neighbours; enable all to see the whole chain.
    for (QWidget* w : expected) w->setEnabled(true);
    d->dialog->control(ctl::ModeList)->setFocus();
    QList<QWidget*> visited = {QApplication::focusWidget()};
    for (int i = 1; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited.append(QApplication::focusWidget());
    }
    // The chain starts at the Mode list, the first tab stop of the template.
    QCOMPARE(expected.first(), d->dialog->control(ctl::ModeList));
    QCOMPARE(visited, expected);
    QCOMPARE(d->dialog->control(ctl::Begin)->focusPolicy(), Qt::ClickFocus);
    QCOMPARE(d->dialog->control(ctl::Single)->focusPolicy(), Qt::ClickFocus);
  }

  void tipsCarryTheirMessages_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<uint>("message");
    QTest::newRow("Mode list") << ctl::ModeList << msg::kTipModeList;
    QTest::newRow("Number of Neurons") << ctl::Neurons << msg::kTipNeurons;
    QTest::newRow("Save State File") << ctl::SaveStateFile << msg::kTipSaveStateFile;
    QTest::newRow("Open button 1034") << ctl::OpenInput << msg::kTipOpenInput;
    QTest::newRow("Save button 1032") << ctl::SaveOutput << msg::kTipSaveOutput;
    QTest::newRow("Double") << ctl::Double << msg::kTipPrecision;
    QTest::newRow("SSE") << ctl::Sse << msg::kTipInstructionSet;
    QTest::newRow("High") << ctl::High << msg::kTipPriority;
    QTest::newRow("Help") << ctl::Help << msg::kTipHelp;
  }
  void tipsCarryTheirMessages() {
    QFETCH(int, id);
    QFETCH(uint, message);
    auto d = startDialog();
    const QString text = catalogText(message);
    QVERIFY(!text.startsWith("String "));
    QCOMPARE(d->dialog->control(id)->accessibleDescription(), text);
    QCOMPARE(childOfType<CToolTipCtrl>(d->dialog.get())->tipText(d->dialog->control(id)).replace('\n', ' '), text);
  }

  void systemMenuCarriesTheAboutItem() {
    auto d = startDialog();
    const QList<QAction*> actions = systemMenu(*d->dialog)->actions();
    QVERIFY(actions.size() >= 3);
    QVERIFY(actions[actions.size() - 3]->isSeparator());
    QCOMPARE(actions[actions.size() - 2]->data().toUInt(), CMainDialog::kForecastCommand);
    QCOMPARE(actions.last()->text(), QString("&About Vantiro..."));
    QCOMPARE(actions.last()->data().toUInt(), CMainDialog::kAboutCommand);

    // A right click on the dialog opens that menu.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                            d->dialog->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(d->dialog.get(), &click);
    QTRY_VERIFY(systemMenu(*d->dialog)->isVisible());
    systemMenu(*d->dialog)->hide();
  }

  void systemCommandsOpenTheAboutBox_data() {
    QTest::addColumn<uint>("command");
    QTest::addColumn<bool>("opensAbout");
    QTest::newRow("16") << 16u << true;
    QTest::newRow("31") << 31u << true;
    QTest::newRow("high bits ignored") << 0x10010u << true;
    QTest::newRow("15") << 15u << false;
    QTest::newRow("32") << 32u << false;
  }
  void systemCommandsOpenTheAboutBox() {
    QFETCH(uint, command);
    QFETCH(bool, opensAbout);
    auto d = startDialog();
    bool sawAbout = false;
    QTimer::singleShot(0, this, [&sawAbout] {
      if (auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        sawAbout = dynamic_cast<CAboutDialog*>(about) != nullptr &&
                   about->windowTitle() == "About Vantiro";
        clickButton(about->findChild<QPushButton*>("ok"));
      }
    });
    d->dialog->OnSysCommand(command);
    QCOMPARE(sawAbout, opensAbout);
    QVERIFY(d->dialog->isVisible());
    QTest::qWait(1);  // lets the single shot run when no box opened
  }

  void escapeClosesAndStoresEverything() {
    auto d = startDialog();
    chooseMode(d->modes(), kModeTrain);
    clickButton(d->dialog->control(ctl::Double));
    clickButton(d->dialog->control(ctl::High));
    clickButton(d->dialog->control(ctl::LoadConversion));
    typeInto(d->dialog->controlAs<QLineEdit>(ctl::LearningRate), "0.5");
    typeInto(d->dialog->controlAs<QLineEdit>(ctl::InputFile), "/data/series \"a\".txt");
    typeInto(d->dialog->controlAs<QLineEdit>(ctl::Neurons), "12");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(d->dialog->heldResources().ended);
    QVERIFY(!d->dialog->isVisible());
    QVERIFY(!d->dialog->heldResources().languageModule);
    QCOMPARE(home_->storeText(),
             QByteArray("REGEDIT4\n\n"
                        "[HKEY_CURRENT_USER\\Software\\Brennix Software\\Vantiro]\n"
                        "\"Mode\"=dword:00000001\n"
                        "\"Precision\"=dword:00000001\n"
                        "\"InstructionSet\"=dword:00000000\n"
                        "\"Priority\"=dword:00000002\n"
                        "\"LoadConversionState\"=dword:00000001\n"
                        "\"SaveConversionState\"=dword:00000000\n"
                        "\"NumHiddenUnits\"=dword:0000000c\n"
                        "\"InputsPerHiddenUnit\"=dword:00000180\n"
                        "\"PointsToGenerate\"=dword:0000000a\n"
                        "\"BenchmarkingIterations\"=dword:00002710\n"
                        "\"BenchmarkingDataPoints\"=dword:000001f4\n"
                        "\"LearningRate\"=hex:ff,ff,ff,ff,ff,ff,1f,c0\n"
                        "\"ToleranceUnit\"=hex:0e,97,1c,77,4a,07,1b,c1\n"
                        "\"TrainToTolerance\"=hex:84,eb,51,b8,1e,85,7b,c0\n"
                        "\"InputFile\"=\"/data/series \\\"a\\\".txt\"\n"
                        "\"OutputFile\"=\"\"\n"
                        "\"LoadStateFile\"=\"\"\n"
                        "\"SaveStateFile\"=\"\"\n\n"));

    // Kept beside the pictures for review.
    QFile::remove(pictureDirectory() + "/HKCU-after-close.reg");
    QFile::copy(home_->storePath(), pictureDirectory() + "/HKCU-after-close.reg");

    // The next start finds every choice again.
    auto again = startDialog();
    QCOMPARE(again->modes()->currentIndex(), kModeTrain);
    QVERIFY(again->checked(ctl::Double) && again->checked(ctl::X87) && again->checked(ctl::High));
    QVERIFY(again->checked(ctl::LoadConversion) && !again->checked(ctl::SaveConversion));
    QCOMPARE(again->text(ctl::LearningRate), QString("0.5"));
    QCOMPARE(again->text(ctl::InputFile), QString("/data/series \"a\".txt"));
    QCOMPARE(again->text(ctl::Memory), QString("36,960 bytes"));  // (12 + 12 * 384) * 8
  }

  void unknownModeLeavesTheListEmptyAndStoresZero() {
    home_->writeStore(
        settingsStore("\"Mode\"=dword:00000007\n\"Precision\"=dword:00000005\n"
                      "\"InstructionSet\"=dword:00000003\n"));
    auto d = startDialog();
    QCOMPARE(d->modes()->currentIndex(), -1);
    // Nothing mode-dependent was changed from how the window was built.
    for (int id : modeDependentControls()) QVERIFY(d->enabled(id));
    QVERIFY(d->checked(ctl::Single) && d->checked(ctl::X87));
    d->dialog->close();
    QVERIFY(d->dialog->heldResources().ended);
    QVERIFY(home_->storeText().contains("\"Mode\"=dword:00000000\n"));
  }

  void storedChoiceTheRuleForbidsFallsBackToX87_data() {
    QTest::addColumn<QByteArray>("values");
    QTest::addColumn<quint32>("features");
    QTest::addColumn<int>("selected");
    QTest::newRow("SSE on a processor without it")
        << QByteArray("\"InstructionSet\"=dword:00000002\n") << 0u << ctl::X87;
    QTest::newRow("SSE with Double")
        << QByteArray("\"Precision\"=dword:00000001\n\"InstructionSet\"=dword:00000002\n")
        << quint32(kAllFeatures) << ctl::X87;
    QTest::newRow("SSE allowed") << QByteArray("\"InstructionSet\"=dword:00000002\n")
                                 << quint32(kAllFeatures) << ctl::Sse;
    QTest::newRow("pairs allowed")
        << QByteArray("\"InstructionSet\"=dword:00000001\n") << 0u << ctl::Nnvec2;
  }
  void storedChoiceTheRuleForbidsFallsBackToX87() {
    QFETCH(QByteArray, values);
    QFETCH(quint32, features);
    QFETCH(int, selected);
    home_->writeStore(settingsStore(values));
    auto d = startDialog(features);
    QVERIFY(d->checked(selected));
    QVERIFY(d->enabled(selected));
  }

  void missingLanguageLibraryEndsWithoutTouchingSettings() {
    QTemporaryDir manualDirectory;
    QFile manual(manualDirectory.filePath("tst-language-manual.chm"));
    QVERIFY(manual.open(QIODevice::WriteOnly));
    manual.close();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", manualDirectory.path().toUtf8() + ":" + path);

    QVector<RecordedMessageBox> boxes;
    DialogEnvironment environment = testEnvironment(&boxes, "tst-language-manual.chm");
    environment.languageLibrary = "NoSuchLanguage.dll";
    CMainDialog dialog(environment);
    QCOMPARE(dialog.DoModal(), int(QDialog::Rejected));
    qputenv("PATH", path);
    QVERIFY(dialog.heldResources().ended);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes[0].text, QString("Failed to load NoSuchLanguage.dll"));
    QVERIFY(!QFile::exists(home_->storePath()));
    QVERIFY(!dialog.heldResources().logFile);
    QFile log(manualDirectory.filePath("guiapp.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(),
             QByteArray("LoadLibrary() failed to load NoSuchLanguage.dll, EC = 2\n"));
  }

  void logSitsBesideTheManualAndIsAppended() {
    QTemporaryDir manualDirectory;
    QFile manual(manualDirectory.filePath("tst-log-manual.chm"));
    QVERIFY(manual.open(QIODevice::WriteOnly));
    manual.close();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", manualDirectory.path().toUtf8() + ":" + path);
    const QByteArray openLine =
        "RegOpenKeyEx() failed to open the key HKEY_CURRENT_USER\\Software\\Brennix "
        "Software\\Vantiro, EC = 2\n";
    for (int start = 1; start <= 2; ++start) {
      auto d = startDialog(kAllFeatures, false, "tst-log-manual.chm");
      QVERIFY(d->dialog->heldResources().helpDirectory.has_value());
      QCOMPARE(QString::fromStdString(*d->dialog->heldResources().helpDirectory), manualDirectory.path() + "/");
      QVERIFY(d->dialog->heldResources().logFile);
      d->dialog->OnCancel();  // the first close stores the key; the second start finds it
    }
    qputenv("PATH", path);
    QFile log(manualDirectory.filePath("guiapp.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), openLine);
  }

  void withoutTheManualThereIsNoLog() {
    auto d = startDialog(kAllFeatures, false);
    QVERIFY(!d->dialog->heldResources().helpDirectory.has_value());
    QVERIFY(!d->dialog->heldResources().logFile);
    QVERIFY(d->dialog->heldResources().languageModule);
  }

  void screenshotsOfEachMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("doublePrecision");
    QTest::addColumn<QString>("name");
    QTest::newRow("Benchmark") << kModeBenchmark << false << "main-benchmark.png";
    QTest::newRow("Train") << kModeTrain << false << "main-train.png";
    QTest::newRow("Generate") << kModeGenerate << false << "main-generate.png";
    QTest::newRow("Train, Double") << kModeTrain << true << "main-train-double.png";
  }
  void screenshotsOfEachMode() {
    QFETCH(int, mode);
    QFETCH(bool, doublePrecision);
    QFETCH(QString, name);
    auto d = startDialog();
    chooseMode(d->modes(), mode);
    if (doublePrecision) clickButton(d->dialog->control(ctl::Double));
    d->dialog->controlAs<QListWidget>(ctl::OutputList)->addItem("Output lines appear here.");
    const QPixmap picture = d->dialog->grab();
    QCOMPARE(picture.size(), d->dialog->size());
    QVERIFY(picture.save(pictureDirectory() + "/" + name));
    // Each icon button shows its picture in this mode, enabled or not: the
    // button drawn without it looks different.
    const QImage drawn = picture.toImage();
    const int iconButtons[] = {ctl::OpenInput, ctl::OpenState, ctl::SaveOutput, ctl::SaveState,
                               ctl::Help};
    for (int id : iconButtons) {
      auto* button = d->dialog->controlAs<QPushButton>(id);
      const QRect area = button->geometry();
      const QIcon icon = button->icon();
      button->setIcon(QIcon());
      const QImage bare = d->dialog->grab().toImage();
      button->setIcon(icon);
      QVERIFY2(drawn.copy(area) != bare.copy(area), qPrintable(QString::number(id)));
    }
  }
};

QTEST_MAIN(MainDialogTest)
#include "tst_maindialog.moc"
