// The remembered settings: defaults, accepted values, the coded real, the
// stored bytes and the log lines.
#include <QtTest>
#include <cstdio>
#include <cstring>

#include "gui/rules/settings_store.h"
#include "gui_test_support.h"

namespace {

// A log file in memory-backed temporary storage, read back as text.
class CapturedLog {
 public:
  CapturedLog() : file_(std::tmpfile()) {}
  ~CapturedLog() { std::fclose(file_); }
  std::FILE* file() const { return file_; }
  QByteArray text() const {
    std::fflush(file_);
    std::rewind(file_);
    QByteArray text;
    char chunk[512];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file_)) > 0)
      text.append(chunk, static_cast<qsizetype>(n));
    return text;
  }

 private:
  std::FILE* file_;
};

QByteArray queryLine(const char* value, int errorCode) {
  return QByteArray(
             "RegQueryValueEx() failed to get the value HKEY_CURRENT_USER\\Software\\Brennix "
             "Software\\Vantiro\\") +
         value + ", EC = " + QByteArray::number(errorCode) + "\n";
}

}  // namespace

class SettingsStoreTest : public QObject {
  Q_OBJECT

 private slots:
  void codedRealInvertsEveryByte() {
    const std::array<std::uint8_t, 8> coded = encodeStoredReal(0.5);
    // 0.5 is 3FE0000000000000, little-endian 00 00 00 00 00 00 E0 3F.
    const std::array<std::uint8_t, 8> expected = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x1F, 0xC0};
    QCOMPARE(coded, expected);
    QCOMPARE(decodeStoredReal(coded), 0.5);
    for (double value : {0.0001, 1e-5, 0.01, -3.25, 1e300})
      QCOMPARE(decodeStoredReal(encodeStoredReal(value)), value);
  }

  void missingKeyGivesDefaultsAndOneLine() {
    TemporaryConfigHome home;
    CapturedLog log;
    const StoredSettings s = readStoredSettings(log.file());
    QCOMPARE(s.mode, 0u);
    QCOMPARE(s.precision, 0u);
    QCOMPARE(s.numberOfNeurons, 2u);
    QCOMPARE(s.inputWindowSize, 384u);
    QCOMPARE(s.pointsToGenerate, 10u);
    QCOMPARE(s.benchmarkingIterations, 10000u);
    QCOMPARE(s.benchmarkingDataPoints, 500u);
    QCOMPARE(s.learningRate, 0.0001);
    QCOMPARE(s.toleranceUnit, 0.00001);
    QCOMPARE(s.trainToTolerance, 0.01);
    QVERIFY(!s.inputFile && !s.outputFile && !s.loadStateFile && !s.saveStateFile);
    QCOMPARE(
        log.text(),
        QByteArray("RegOpenKeyEx() failed to open the key HKEY_CURRENT_USER\\Software\\Brennix "
                   "Software\\Vantiro, EC = 2\n"));
  }

  void valuesOutsideTheirRangeAreIgnored_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<quint32>("mode");
    QTest::addColumn<quint32>("precision");
    QTest::addColumn<quint32>("instructionSet");
    QTest::addColumn<quint32>("priority");
    QTest::addColumn<quint32>("loadConversion");
    QTest::newRow("Mode 7 is kept for the list to refuse")
        << QByteArray("\"Mode\"=dword:00000007") << 7u << 0u << 0u << 0u << 0u;
    QTest::newRow("Precision 5") << QByteArray("\"Precision\"=dword:00000005") << 0u << 0u << 0u
                                 << 0u << 0u;
    QTest::newRow("Precision 1") << QByteArray("\"Precision\"=dword:00000001") << 0u << 1u << 0u
                                 << 0u << 0u;
    QTest::newRow("InstructionSet 3")
        << QByteArray("\"InstructionSet\"=dword:00000003") << 0u << 0u << 0u << 0u << 0u;
    QTest::newRow("InstructionSet 2")
        << QByteArray("\"InstructionSet\"=dword:00000002") << 0u << 0u << 2u << 0u << 0u;
    QTest::newRow("Priority 3") << QByteArray("\"Priority\"=dword:00000003") << 0u << 0u << 0u << 0u
                                << 0u;
    QTest::newRow("Priority 2") << QByteArray("\"Priority\"=dword:00000002") << 0u << 0u << 0u << 2u
                                << 0u;
    QTest::newRow("check box 2") << QByteArray("\"LoadConversionState\"=dword:00000002") << 0u << 0u
                                 << 0u << 0u << 0u;
    QTest::newRow("check box 1") << QByteArray("\"LoadConversionState\"=dword:00000001") << 0u << 0u
                                 << 0u << 0u << 1u;
  }
  void valuesOutsideTheirRangeAreIgnored() {
    QFETCH(QByteArray, line);
    QFETCH(quint32, mode);
    QFETCH(quint32, precision);
    QFETCH(quint32, instructionSet);
    QFETCH(quint32, priority);
    QFETCH(quint32, loadConversion);
    TemporaryConfigHome home;
    home.writeStore(settingsStore(line + "\n"));
    const StoredSettings s = readStoredSettings(nullptr);
    QCOMPARE(s.mode, mode);
    QCOMPARE(s.precision, precision);
    QCOMPARE(s.instructionSet, instructionSet);
    QCOMPARE(s.priority, priority);
    QCOMPARE(s.loadConversionState, loadConversion);
  }

  void unreadableValuesKeepDefaultsWithALine_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("logLine");
    QTest::newRow("missing") << QByteArray("\"Other\"=dword:00000001")
                             << queryLine("NumHiddenUnits", 2);
    QTest::newRow("dword too long") << QByteArray("\"NumHiddenUnits\"=hex(4):01,00,00,00,00")
                                    << queryLine("NumHiddenUnits", 234);
    QTest::newRow("dword too short")
        << QByteArray("\"NumHiddenUnits\"=hex(4):01,00") << queryLine("NumHiddenUnits", 13);
    QTest::newRow("wrong type") << QByteArray("\"NumHiddenUnits\"=hex:05,00,00,00")
                                << queryLine("NumHiddenUnits", 13);
    QTest::newRow("real too long") << QByteArray("\"LearningRate\"=hex:00,00,00,00,00,00,00,00,00")
                                   << queryLine("LearningRate", 234);
    QTest::newRow("text without NUL")
        << QByteArray("\"InputFile\"=hex(1):61,62") << queryLine("InputFile", 13);
  }
  void unreadableValuesKeepDefaultsWithALine() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, logLine);
    TemporaryConfigHome home;
    home.writeStore(settingsStore(line + "\n"));
    CapturedLog log;
    const StoredSettings s = readStoredSettings(log.file());
    QCOMPARE(s.numberOfNeurons, 2u);
    QCOMPARE(s.learningRate, 0.0001);
    QVERIFY(!s.inputFile);
    QVERIFY2(log.text().contains(logLine), log.text().constData());
  }

  void damagedStoreIsNeverACrash() {
    TemporaryConfigHome home;
    QByteArray damaged =
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Brennix Software\\Vantiro]\n"
        "\"Mode\"=dword:0000";
    damaged.append('\0');
    damaged.append("\x01zz\n\"NumHiddenUnits\"=dword:00000009\n\"");
    home.writeStore(damaged);
    CapturedLog log;
    const StoredSettings s = readStoredSettings(log.file());
    QCOMPARE(s.mode, 0u);
    QCOMPARE(s.numberOfNeurons, 9u);
    QVERIFY(log.text().contains(queryLine("Mode", 2)));
  }

  void roundTripStoresExactBytes() {
    TemporaryConfigHome home;
    StoredSettings out;
    out.mode = 1;
    out.precision = 1;
    out.instructionSet = 2;
    out.priority = 1;
    out.loadConversionState = 1;
    out.numberOfNeurons = 0;
    out.inputWindowSize = 4294967295u;
    out.learningRate = 0.5;
    out.inputFile = "/data/series \"one\".txt";
    out.outputFile = "";
    bool collected = false;
    writeStoredSettings(nullptr, [&] {
      collected = true;
      return out;
    });
    QVERIFY(collected);
    const QByteArray text = home.storeText();
    QVERIFY2(text.contains("\"LearningRate\"=hex:ff,ff,ff,ff,ff,ff,1f,c0\n"), text.constData());
    QVERIFY(
        text.contains("\"Mode\"=dword:00000001\n\"Precision\"=dword:00000001\n"
                      "\"InstructionSet\"=dword:00000002\n\"Priority\"=dword:00000001\n"));
    QVERIFY(text.contains("\"InputsPerHiddenUnit\"=dword:ffffffff\n"));
    QVERIFY(text.contains("\"InputFile\"=\"/data/series \\\"one\\\".txt\"\n"));
    QVERIFY(text.contains("\"LoadStateFile\"=\"\"\n"));
    // The order of the values is the order of the table.
    QVERIFY(text.indexOf("\"BenchmarkingDataPoints\"") < text.indexOf("\"LearningRate\""));
    QVERIFY(text.indexOf("\"TrainToTolerance\"") < text.indexOf("\"InputFile\""));
    QVERIFY(text.indexOf("\"LoadStateFile\"") < text.indexOf("\"SaveStateFile\""));

    const StoredSettings in = readStoredSettings(nullptr);
    QCOMPARE(in.mode, 1u);
    QCOMPARE(in.precision, 1u);
    QCOMPARE(in.instructionSet, 2u);
    QCOMPARE(in.priority, 1u);
    QCOMPARE(in.loadConversionState, 1u);
    QCOMPARE(in.numberOfNeurons, 0u);
    QCOMPARE(in.inputWindowSize, 4294967295u);
    QCOMPARE(in.learningRate, 0.5);
    QCOMPARE(in.inputFile, std::optional<std::string>("/data/series \"one\".txt"));
    QCOMPARE(in.outputFile, std::optional<std::string>(""));
  }

  void keyThatCannotBeCreatedStoresNothing() {
    TemporaryConfigHome home;
    QTemporaryFile blocker;
    QVERIFY(blocker.open());
    qputenv("XDG_CONFIG_HOME", blocker.fileName().toUtf8());  // a file, not a directory
    CapturedLog log;
    bool collected = false;
    writeStoredSettings(log.file(), [&] {
      collected = true;
      return StoredSettings{};
    });
    QVERIFY(!collected);
    QCOMPARE(log.text(),
             QByteArray("RegCreateKeyEx() failed to open the key HKEY_CURRENT_USER\\Software\\"
                        "Brennix Software\\Vantiro, EC = 5\n"));
  }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settingsstore.moc"
