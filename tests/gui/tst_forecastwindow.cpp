// The Forecast window: opened from the main window with its values, runs that
// are stopped or closed, a window that stays responsive while a run goes on,
// bad input refused with a message and nothing written, and what Save writes.
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "common/engine_choice.h"
#include "gui/forecast/forecast_charts.h"
#include "gui/forecast/forecast_window.h"
#include "gui/rules/control_table.h"
#include "gui/rules/mode_rules.h"
#include "gui_test_support.h"

using forecastwin::Field;
using forecastwin::ForecastStart;
using forecastwin::ForecastWindow;

namespace {

const QString kNile = QStringLiteral(VANTIRO_SOURCE_DIR "/examples/nile-flow-1871-1970.txt");

std::unique_ptr<ForecastWindow> openWindow(const char* engineDirectory, const QString& series) {
  ForecastStart start;
  start.engineDirectory = engineDirectory;
  start.seriesPath = series.toStdString();
  auto window = std::make_unique<ForecastWindow>(start);
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) qWarning("window not exposed");
  return window;
}

void setField(ForecastWindow& w, Field field, const QString& text) {
  typeInto(static_cast<QLineEdit*>(w.field(field)), text);
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
  QFile file(dir.filePath(name));
  file.open(QIODevice::WriteOnly);
  file.write(content);
  return file.fileName();
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Nanoseconds this thread has waited, ready to run, for a processor that was
// busy with other work (the kernel's schedstat); 0 where the kernel keeps none.
qint64 waitedForProcessorNs() {
  QFile stat(QStringLiteral("/proc/thread-self/schedstat"));
  if (!stat.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> fields = stat.readAll().simplified().split(' ');
  return fields.size() >= 2 ? fields[1].toLongLong() : 0;
}

struct EventLoopGaps {
  qint64 longestMs = 0;          // wall time between two turns of the event loop
  qint64 longestOwnMs = 0;       // the same without the time other programs held the processor
};

// The longest time the window's thread went without turning its event loop
// while `running` holds: a timer due every millisecond notes each turn. On a
// machine shared with other work the thread also waits for a processor; that
// time is no call of the window's, so it is measured apart and left out of
// the figure the test judges.
template <typename Running>
EventLoopGaps eventLoopGapsWhile(Running running) {
  QElapsedTimer clock;
  clock.start();
  qint64 last = 0, lastWaited = waitedForProcessorNs();
  EventLoopGaps gaps;
  QTimer tick;
  tick.setInterval(1);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    const qint64 waited = waitedForProcessorNs();
    gaps.longestMs = std::max(gaps.longestMs, (now - last) / 1000000);
    gaps.longestOwnMs = std::max(gaps.longestOwnMs, (now - last - (waited - lastWaited)) / 1000000);
    last = now;
    lastWaited = waited;
  });
  tick.start();
  while (running() && clock.elapsed() < 30000) QTest::qWait(5);
  return gaps;
}

}  // namespace

class TestForecastWindow : public QObject {
  Q_OBJECT

 private slots:
  void opensFromTheMainWindowWithItsValues_data() {
    QTest::addColumn<int>("instructionSet");
    QTest::addColumn<bool>("doublePrecision");
    QTest::addColumn<QString>("engine");
    QTest::newRow("x87") << int(ctl::X87) << false << "single (x87, the reference)";
    QTest::newRow("SSE") << int(ctl::Sse) << false << "SSE (four lanes)";
    QTest::newRow("nnvec2") << int(ctl::Nnvec2) << false << "nnvec2! (pairs)";
    QTest::newRow("Double") << int(ctl::X87) << true << "double";
  }
  void opensFromTheMainWindowWithItsValues() {
    QFETCH(int, instructionSet);
    QFETCH(bool, doublePrecision);
    QFETCH(QString, engine);
    TemporaryConfigHome home;
    auto d = openTestDialog();
    chooseMode(d->modes(), kModeTrain);
    typeInto(d->dialog->controlAs<QLineEdit>(ctl::Neurons), "4");
    typeInto(d->dialog->controlAs<QLineEdit>(ctl::WindowSize), "6");
    typeInto(d->dialog->controlAs<QLineEdit>(ctl::LearningRate), "0.05");
    typeInto(d->dialog->controlAs<QLineEdit>(ctl::InputFile), kNile);
    clickButton(d->control(doublePrecision ? ctl::Double : ctl::Single));
    clickButton(d->control(instructionSet));

    // The system menu offers it beside About, and Ctrl+F opens it.
    const QList<QAction*> actions = systemMenu(*d->dialog)->actions();
    QCOMPARE(actions[actions.size() - 2]->text(), QString("&Forecast...\tCtrl+F"));
    QCOMPARE(actions[actions.size() - 2]->data().toUInt(), CMainDialog::kForecastCommand);
    QTest::keyClick(d->dialog.get(), Qt::Key_F, Qt::ControlModifier);
    auto* window = d->dialog->findChild<ForecastWindow*>();
    QVERIFY(window != nullptr);
    QTRY_VERIFY(window->isVisible());
    QCOMPARE(static_cast<QLineEdit*>(window->field(Field::neurons))->text(), QString("4"));
    QCOMPARE(static_cast<QLineEdit*>(window->field(Field::window))->text(), QString("6"));
    QCOMPARE(static_cast<QLineEdit*>(window->field(Field::rate))->text(), QString("0.05"));
    QCOMPARE(static_cast<QLineEdit*>(window->field(Field::series))->text(), kNile);
    QCOMPARE(window->engineBox()->currentText(), engine);
    // Opened again, it is the same window, with the main window's values again.
    typeInto(d->dialog->controlAs<QLineEdit>(ctl::Neurons), "7");
    d->dialog->OnSysCommand(CMainDialog::kForecastCommand);
    QCOMPARE(d->dialog->findChildren<ForecastWindow*>().size(), 1);
    QCOMPARE(static_cast<QLineEdit*>(window->field(Field::neurons))->text(), QString("7"));
    d->dialog->OnCancel();
  }

  // A run on the stand-in engine, which reports new lows until it is stopped:
  // Stop ends the training and the check is made with what was learnt;
  // closing the window (its close box or Escape) ends the run and drops it.
  void runsEndByStopOrByClosing_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("kind");  // true: Check, false: Forecast
    QTest::addColumn<bool>("resultShown");
    QTest::newRow("Stop during Check") << "stop" << true << true;
    QTest::newRow("Stop during Forecast") << "stop" << false << true;
    QTest::newRow("close box during Check") << "close" << true << false;
    QTest::newRow("Escape during Forecast") << "escape" << false << false;
  }
  void runsEndByStopOrByClosing() {
    QFETCH(QString, how);
    QFETCH(bool, kind);
    QFETCH(bool, resultShown);
    auto w = openWindow(VANTIRO_STANDIN_FORECAST_DIR, kNile);
    setField(*w, Field::seconds, "60");
    QPushButton* start = kind ? w->checkButton() : w->forecastButton();
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Space);
    QVERIFY(w->running());
    QVERIFY(w->stopButton()->isEnabled());
    QVERIFY(!w->checkButton()->isEnabled() && !w->forecastButton()->isEnabled());
    QVERIFY(!w->field(Field::neurons)->isEnabled());
    QVERIFY(w->stopButton()->hasFocus());  // the keyboard user's next key is Stop
    // Training reports live: the curve grows and the progress names the best so far.
    QTRY_VERIFY(w->curve()->pointCount() > 2);
    QTRY_VERIFY(w->progressText().contains("current best"));

    if (how == "stop") {
      QTest::keyClick(w->stopButton(), Qt::Key_Space);
    } else if (how == "close") {
      w->close();
      QVERIFY(!w->isVisible());
    } else {
      QTest::keyClick(w.get(), Qt::Key_Escape);
      QVERIFY(!w->isVisible());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 5000);
    QTRY_VERIFY(w->checkButton()->isEnabled());
    QCOMPARE(w->saveCsvButton()->isEnabled(), resultShown);
    QCOMPARE(w->savePictureButton()->isEnabled(), resultShown);
    QVERIFY(!w->stopButton()->isEnabled());
    QVERIFY(w->message().isEmpty());
    if (how == "stop") QVERIFY(w->checkButton()->hasFocus());  // the keyboard's next run
    if (!resultShown) {
      QCOMPARE(w->accuracyTable()->rowCount(), 0);
      QCOMPARE(w->aheadTable()->rowCount(), 0);
      return;
    }
    QVERIFY2(w->progressText().startsWith("Stopped after"), qPrintable(w->progressText()));
    if (kind) {
      QCOMPARE(w->accuracyTable()->rowCount(), 3);
      QTRY_COMPARE(w->plot()->lineNames(),
                   QStringList({"series", "held back", "network", "last value", "drift"}));
      // The stand-in forecasts 1 in the scaled units: 1000 after the factor.
      QCOMPARE(w->accuracyTable()->verticalHeaderItem(0)->text().left(7), QString("network"));
    } else {
      QCOMPARE(w->aheadTable()->rowCount(), 10);
      QCOMPARE(w->aheadTable()->item(0, 0)->text(), QString("101"));
      QCOMPARE(w->aheadTable()->item(0, 1)->text(), QString("1000"));
      QTRY_COMPARE(w->plot()->lineNames(), QStringList({"series", "forecast ahead"}));
    }
  }

  // No turn of the window's event loop waits longer than 50 ms while a run
  // goes on: on the stand-in, which floods it with new lows, and on the
  // reference engine learning the Nile.
  void staysResponsiveWhileRunning_data() {
    QTest::addColumn<QString>("engineDirectory");
    QTest::addColumn<QString>("picture");
    QTest::newRow("stand-in") << VANTIRO_STANDIN_FORECAST_DIR << "";
    QTest::newRow("nnsingle on the Nile") << VANTIRO_BIN_DIR << "forecast-nile-check.png";
  }
  void staysResponsiveWhileRunning() {
    QFETCH(QString, engineDirectory);
    QFETCH(QString, picture);
    auto w = openWindow(engineDirectory.toUtf8().constData(), kNile);
    setField(*w, Field::seconds, "1.5");
    clickButton(w->checkButton());
    QVERIFY(w->running());
    const EventLoopGaps gaps = eventLoopGapsWhile([&w] { return w->running(); });
    qInfo("longest wait of the window's event loop during the run: %lld ms, %lld ms of it "
          "the window thread's own (the rest it waited for a processor)",
          gaps.longestMs, gaps.longestOwnMs);
    QVERIFY2(gaps.longestOwnMs < 50, qPrintable(QString::number(gaps.longestOwnMs)));
    QCOMPARE(w->accuracyTable()->rowCount(), 3);
    QVERIFY(w->curve()->pointCount() > 0);
    QVERIFY2(w->message().isEmpty(), qPrintable(w->message()));
    if (!picture.isEmpty()) {
      QTest::qWait(100);  // the charts lay out what they were given
      w->grab().save(pictureDirectory() + "/" + picture);
    }
  }

  // Each refusal names what to correct, puts the focus there, starts no run
  // and writes nothing.
  void badInputIsRefusedWithAMessage_data() {
    QTest::addColumn<QByteArray>("series");  // written as series.csv; empty: no file
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("holdBack");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focus");
    const QByteArray csv = "year,flow\n1871,1120\n1872,1160\n1873,963\n1874,1210\n1875,1160\n"
                           "1876,1160\n1877,813\n1878,1230\n";
    QTest::newRow("no such file") << QByteArray() << "" << "2" << "3" << "0.01" << "10"
                                  << "cannot open" << int(Field::series);
    QTest::newRow("no such column") << csv << "level" << "2" << "3" << "0.01" << "10"
                                    << "there is no column named \"level\"" << int(Field::column);
    QTest::newRow("a non-number") << QByteArray("flow\n1120\n1160\nabout 900\n1210\n") << ""
                                   << "1" << "2" << "0.01" << "10"
                                   << "line 4: \"about 900\" in column flow is not a number"
                                   << int(Field::series);
    QTest::newRow("too few values") << csv << "flow" << "5" << "3" << "0.01" << "10"
                                    << "need at least 9" << int(Field::holdBack);
    QTest::newRow("hold back 0") << csv << "flow" << "0" << "3" << "0.01" << "10"
                                 << "Hold back must be a whole number of at least 1"
                                 << int(Field::holdBack);
    QTest::newRow("window 0") << csv << "flow" << "2" << "0" << "0.01" << "10"
                              << "Window must be" << int(Field::window);
    QTest::newRow("rate 0") << csv << "flow" << "2" << "3" << "0" << "10"
                            << "Learning rate must be a number above 0" << int(Field::rate);
    QTest::newRow("rate not a number") << csv << "flow" << "2" << "3" << "0,01" << "10"
                                       << "Learning rate must be" << int(Field::rate);
    QTest::newRow("no time budget") << csv << "flow" << "2" << "3" << "0.01" << "0"
                                    << "Seconds must be a number above 0" << int(Field::seconds);
  }
  void badInputIsRefusedWithAMessage() {
    QFETCH(QByteArray, series);
    QFETCH(QString, column);
    QFETCH(QString, holdBack);
    QFETCH(QString, window);
    QFETCH(QString, rate);
    QFETCH(QString, seconds);
    QFETCH(QString, message);
    QFETCH(int, focus);
    QTemporaryDir dir;
    const QString path =
        series.isEmpty() ? dir.filePath("missing.csv") : writeFile(dir, "series.csv", series);
    auto w = openWindow(VANTIRO_STANDIN_FORECAST_DIR, path);
    setField(*w, Field::column, column);
    setField(*w, Field::holdBack, holdBack);
    setField(*w, Field::window, window);
    setField(*w, Field::rate, rate);
    setField(*w, Field::seconds, seconds);
    w->field(Field::seconds)->setFocus();
    QTest::keyClick(w->field(Field::seconds), Qt::Key_Return);  // Enter in a field checks
    QVERIFY2(w->message().contains(message), qPrintable(w->message()));
    QVERIFY(w->field(Field(focus))->hasFocus());
    QVERIFY(!w->running());
    QVERIFY(!w->stopButton()->isEnabled());
    QVERIFY(!w->saveCsvButton()->isEnabled());
    const QStringList left = QDir(dir.path()).entryList(QDir::Files);
    QCOMPARE(left, series.isEmpty() ? QStringList() : QStringList({"series.csv"}));
    QCOMPARE(readFile(path), series);
  }

  // Save CSV writes the held-back values beside the forecasts; Save picture
  // PNG or SVG by the name's ending; a save that fails says why and leaves
  // the file that was there as it was.
  void savesWhatTheRunShowed() {
    QTemporaryDir dir;
    auto w = openWindow(VANTIRO_STANDIN_FORECAST_DIR, kNile);
    setField(*w, Field::holdBack, "4");
    setField(*w, Field::seconds, "0.3");
    clickButton(w->checkButton());
    QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 5000);

    struct Save {
      const char* name;
      bool csv;
      bool saved;
      const char* startsWith;  // of the file, or of the message when refused
    };
    const Save saves[] = {
        {"check.csv", true, true, "index,held back,network,last value,drift\n97,"},
        {"plot.png", false, true, "\x89PNG"},
        {"plot.SVG", false, true, "<?xml"},
        {"plot.gif", false, false, "a picture is saved as PNG or SVG"},
        {"no-such-directory/plot.png", false, false, "cannot write"},
        {"no-such-directory/check.csv", true, false, "cannot write"},
    };
    for (const Save& s : saves) {
      const QString path = dir.filePath(s.name);
      const bool saved = s.csv ? w->saveCsv(path) : w->savePicture(path);
      QVERIFY2(saved == s.saved, s.name);
      if (s.saved) {
        QVERIFY2(readFile(path).startsWith(s.startsWith), s.name);
      } else {
        QVERIFY2(w->message().startsWith(s.startsWith), qPrintable(w->message()));
        QVERIFY2(!QFile::exists(path), s.name);
      }
    }
    QCOMPARE(readFile(dir.filePath("check.csv")).count('\n'), 5);
    // A refused save leaves a file of that name as it was.
    QFile::copy(dir.filePath("check.csv"), dir.filePath("earlier.gif"));
    QVERIFY(!w->savePicture(dir.filePath("earlier.gif")));
    QCOMPARE(readFile(dir.filePath("earlier.gif")), readFile(dir.filePath("check.csv")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 4);  // no temporary left

    // A forecast ahead is labelled by the date column continued, in the series' units.
    const QString csv = writeFile(dir, "nile.csv",
                                  "year,flow\n1871,1120\n1872,1160\n1873,963\n1874,1210\n"
                                  "1875,1160\n1876,1160\n1877,813\n1878,1230\n");
    setField(*w, Field::series, csv);
    setField(*w, Field::column, "flow");
    setField(*w, Field::dateColumn, "year");
    setField(*w, Field::points, "2");
    clickButton(w->forecastButton());
    QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 5000);
    QVERIFY(w->saveCsv(dir.filePath("ahead.csv")));
    QCOMPARE(readFile(dir.filePath("ahead.csv")), QByteArray("year,flow\n1879,1000\n1880,1000\n"));
    QCOMPARE(w->aheadTable()->horizontalHeaderItem(0)->text(), QString("year"));
  }
};

QTEST_MAIN(TestForecastWindow)
#include "tst_forecastwindow.moc"
