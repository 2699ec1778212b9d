// The rules of the main window that need no window: enabling per mode, the
// precision rule, processor features, dialog units, the control table and
// the tip wrapping.
#include <QFont>
#include <QFontMetrics>
#include <QSet>
#include <QtTest>

#include "gui/rules/control_table.h"
#include "gui/rules/mode_rules.h"
#include "gui/window/dialog_units.h"
#include "gui/window/tool_tip_ctrl.h"

namespace {

using IdSet = QSet<int>;

IdSet enabledIn(int mode, bool enabled) {
  IdSet ids;
  for (const ControlEnabling& c : modeEnabling(mode)) {
    if (c.enabled == enabled) ids.insert(c.id);
  }
  return ids;
}

}  // namespace

class ModeRulesTest : public QObject {
  Q_OBJECT

 private slots:
  void enablingPerMode_data() {
    using namespace ctl;
    QTest::addColumn<int>("mode");
    QTest::addColumn<IdSet>("enabled");
    QTest::newRow("Benchmark") << kModeBenchmark
                               << IdSet{IterationsLabel, Iterations, DataPointsLabel, DataPoints};
    QTest::newRow("Train") << kModeTrain << IdSet{RateLabel,      LearningRate,  ToleranceLabel,
                                                  ToleranceUnit,  TargetLabel,   TrainToTolerance,
                                                  InputFileLabel, InputFile,     OpenInput,
                                                  LoadStateLabel, LoadStateFile, OpenState,
                                                  SaveStateLabel, SaveStateFile, SaveState,
                                                  LoadConversion, SaveConversion};
    QTest::newRow("Generate") << kModeGenerate
                              << IdSet{PointsLabel,   PointsToGenerate, InputFileLabel,
                                       InputFile,     OpenInput,        LoadStateLabel,
                                       LoadStateFile, OpenState,        OutputFileLabel,
                                       OutputFile,    SaveOutput,       LoadConversion};
  }
  void enablingPerMode() {
    QFETCH(int, mode);
    QFETCH(IdSet, enabled);
    QCOMPARE(enabledIn(mode, true), enabled);
    // Every other mode-dependent control is disabled, and nothing else is touched.
    const std::vector<int> all = modeDependentControls();
    const IdSet dependent(all.begin(), all.end());
    QCOMPARE(dependent.size(), 26);
    QCOMPARE(enabledIn(mode, false), dependent - enabled);
  }

  void precisionRule_data() {
    QTest::addColumn<bool>("doubleSelected");
    QTest::addColumn<quint32>("features");
    QTest::addColumn<bool>("selectX87");
    QTest::addColumn<bool>("nnvec2");
    QTest::addColumn<bool>("sse");
    QTest::newRow("double, everything") << true << 0x1Fu << true << false << false;
    QTest::newRow("double, nothing") << true << 0u << true << false << false;
    QTest::newRow("single, SSE") << false << (kCpuSse | kCpuSse2) << false << true << true;
    // The pair build runs everywhere: offered whatever CPUID says.
    QTest::newRow("single, no SSE, no pairs") << false << 0u << false << true << false;
    QTest::newRow("single, pairs only") << false << kCpuNnvec2 << false << true << false;
  }
  void precisionRule() {
    QFETCH(bool, doubleSelected);
    QFETCH(quint32, features);
    QFETCH(bool, selectX87);
    QFETCH(bool, nnvec2);
    QFETCH(bool, sse);
    const PrecisionRuleOutcome outcome = ::precisionRule(doubleSelected, features);
    QCOMPARE(outcome.selectX87, selectX87);
    QCOMPARE(outcome.nnvec2Enabled, nnvec2);
    QCOMPARE(outcome.sseEnabled, sse);
  }

  void cpuFeatureBits_data() {
    QTest::addColumn<quint32>("standardEdx");
    QTest::addColumn<quint32>("extendedEdx");
    QTest::addColumn<quint32>("features");
    QTest::newRow("none") << 0u << 0u << 0u;
    QTest::newRow("MMX") << (1u << 23) << 0u << kCpuMmx;
    QTest::newRow("SSE") << (1u << 25) << 0u << kCpuSse;
    QTest::newRow("SSE2") << (1u << 26) << 0u << kCpuSse2;
    QTest::newRow("pairs") << 0u << (1u << 31) << kCpuNnvec2;
    QTest::newRow("MMX extensions") << 0u << (1u << 22) << kCpuMmxExtensions;
    QTest::newRow("other bits ignored")
        << ~((1u << 23) | (1u << 25) | (1u << 26)) << ~((1u << 31) | (1u << 22)) << 0u;
  }
  void cpuFeatureBits() {
    QFETCH(quint32, standardEdx);
    QFETCH(quint32, extendedEdx);
    QFETCH(quint32, features);
    QCOMPARE(composeCpuFeatures(standardEdx, extendedEdx), features);
  }

  void detectionReportsWhatCpuidSays() {
    // Every x86-64 processor has SSE and SSE2; the pair bit is CPUID's own.
    const std::uint32_t features = detectCpuFeatures();
    QCOMPARE(features & (kCpuSse | kCpuSse2), kCpuSse | kCpuSse2);
  }

  void baseUnitsFollowTheFont() {
    QFont small = QFont();
    small.setPixelSize(10);
    QFont large = small;
    large.setPixelSize(20);
    const DialogBaseUnits a = dialogBaseUnits(small);
    const DialogBaseUnits b = dialogBaseUnits(large);
    QVERIFY(a.width > 0 && a.height > 0);
    QVERIFY(b.width > a.width);
    QCOMPARE(b.height, QFontMetrics(large).height());
  }

  void controlTableIsComplete() {
    QSet<int> ids;
    int tabStops = 0;
    for (const ControlTemplate& t : mainDialogControls()) {
      QVERIFY2(!ids.contains(t.id), qPrintable(QString::number(t.id)));
      ids.insert(t.id);
      if (t.style & kTabStop) ++tabStops;
      // Every control lies inside the window.
      QVERIFY(t.rect.x >= 0 && t.rect.x + t.rect.width <= kMainDialogWidth);
      QVERIFY(t.rect.y >= 0 && t.rect.y + t.rect.height <= kMainDialogHeight);
      if (t.labelId != 0) QCOMPARE(findControlTemplate(t.labelId)->kind, ControlKind::Label);
    }
    QCOMPARE(ids.size(), 52);
    // The Mode list, thirteen edits, five icon buttons and two check boxes.
    QCOMPARE(tabStops, 21);
    QCOMPARE(findControlTemplate(ctl::Begin)->style & kDefaultButton, unsigned(kDefaultButton));
    QVERIFY(findControlTemplate(ctl::Stop)->style & kStartsDisabled);
    QCOMPARE(findControlTemplate(4242), nullptr);
  }

  void tipWrapping_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxWidth");
    QTest::addColumn<QString>("wrapped");
    QTest::newRow("fits") << "short tip" << 400 << "short tip";
    QTest::newRow("no limit") << "a b c" << -1 << "a b c";
    QTest::newRow("long word stays whole") << "abcdefghij xy" << 1 << "abcdefghij\nxy";
  }
  void tipWrapping() {
    QFETCH(QString, text);
    QFETCH(int, maxWidth);
    QFETCH(QString, wrapped);
    QCOMPARE(wrapTipText(text, QFontMetrics(QFont()), maxWidth), wrapped);
  }
};

QTEST_MAIN(ModeRulesTest)
#include "tst_moderules.moc"
