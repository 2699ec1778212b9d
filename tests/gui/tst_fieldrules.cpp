// Reading and writing the parameter fields, and the Memory Required text.
#include <QtTest>

#include "gui/rules/field_rules.h"

class FieldRulesTest : public QObject {
  Q_OBJECT

 private slots:
  void unsignedRule_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<quint32>("value");
    QTest::newRow("plain") << QByteArray("384") << true << 384u;
    QTest::newRow("blank-padded 12") << QByteArray(" \t12 \t ") << true << 12u;
    QTest::newRow("zero") << QByteArray("0") << true << 0u;
    QTest::newRow("zeros") << QByteArray("000") << true << 0u;
    QTest::newRow("plus sign") << QByteArray("+12") << true << 12u;
    QTest::newRow("largest") << QByteArray("4294967295") << true << 4294967295u;
    QTest::newRow("one past largest") << QByteArray("4294967296") << true << 4294967295u;
    QTest::newRow("far past largest") << QByteArray("99999999999999999999") << true << 4294967295u;
    QTest::newRow("leading minus") << QByteArray("-1") << false << 0u;
    QTest::newRow("minus after blanks") << QByteArray("  -5") << false << 0u;
    QTest::newRow("trailing letter") << QByteArray("12a") << false << 0u;
    QTest::newRow("blank inside") << QByteArray("1 2") << false << 0u;
    QTest::newRow("empty") << QByteArray("") << false << 0u;
    QTest::newRow("blanks only") << QByteArray("   ") << false << 0u;
    QTest::newRow("letters") << QByteArray("abc") << false << 0u;
    QTest::newRow("plus zero") << QByteArray("+0") << false << 0u;
    QTest::newRow("decimal point") << QByteArray("1.5") << false << 0u;
  }
  void unsignedRule() {
    QFETCH(QByteArray, text);
    QFETCH(bool, passes);
    QFETCH(quint32, value);
    const std::optional<std::uint32_t> read = readUnsignedField(text.constData());
    QCOMPARE(read.has_value(), passes);
    if (passes) QCOMPARE(*read, value);
  }

  void realRule_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<double>("value");
    QTest::newRow("exponent form") << QByteArray("1e-4") << true << 0.0001;
    QTest::newRow("three-digit exponent") << QByteArray("1e-005") << true << 0.00001;
    QTest::newRow("plain") << QByteArray("0.01") << true << 0.01;
    QTest::newRow("blank-padded") << QByteArray("\t 2.5  ") << true << 2.5;
    QTest::newRow("zero") << QByteArray("0") << true << 0.0;
    QTest::newRow("zero point zero") << QByteArray("0.0") << true << 0.0;
    QTest::newRow("negative passes the rule") << QByteArray("-0.5") << true << -0.5;
    QTest::newRow("leading point") << QByteArray(".5") << true << 0.5;
    QTest::newRow("minus zero") << QByteArray("-0") << false << 0.0;
    QTest::newRow("point zero") << QByteArray(".0") << false << 0.0;
    QTest::newRow("decimal comma") << QByteArray("0,5") << false << 0.0;
    QTest::newRow("decimal comma after one") << QByteArray("1,5") << false << 0.0;
    QTest::newRow("trailing letter") << QByteArray("2x") << false << 0.0;
    QTest::newRow("empty") << QByteArray("") << false << 0.0;
    QTest::newRow("words") << QByteArray("inf") << false << 0.0;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << false << 0.0;
  }
  void realRule() {
    QFETCH(QByteArray, text);
    QFETCH(bool, passes);
    QFETCH(double, value);
    const std::optional<double> read = readRealField(text.constData());
    QCOMPARE(read.has_value(), passes);
    if (passes) QCOMPARE(*read, value);
  }

  void displayForms_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.0001") << 0.0001 << "0.0001";
    QTest::newRow("0.00001") << 0.00001 << "1e-005";
    QTest::newRow("0.01") << 0.01 << "0.01";
    QTest::newRow("fifteen digits") << 0.1 << "0.1";
    QTest::newRow("large") << 1.5e300 << "1.5e+300";
    QTest::newRow("zero") << 0.0 << "0";
  }
  void displayForms() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(realFieldText(value)), text);
  }

  void unsignedDisplayAndLimitText() {
    QCOMPARE(unsignedFieldText(4294967295u), std::string("4294967295"));
    QCOMPARE(textLimitMessage(255), std::string("Please enter no more than 255 characters."));
  }

  void memoryRequired_data() {
    QTest::addColumn<quint32>("neurons");
    QTest::addColumn<quint32>("windowSize");
    QTest::addColumn<bool>("doublePrecision");
    QTest::addColumn<QString>("text");
    QTest::newRow("defaults") << 2u << 384u << false << "3,080 bytes";
    QTest::newRow("defaults in double") << 2u << 384u << true << "6,160 bytes";
    QTest::newRow("three digits, no separator") << 7u << 26u << false << "756 bytes";
    QTest::newRow("largest without separator") << 3u << 82u << false << "996 bytes";
    QTest::newRow("first separator") << 2u << 124u << false << "1,000 bytes";
    QTest::newRow("no neurons") << 0u << 384u << false << "0 bytes";
    QTest::newRow("no window") << 3u << 0u << true << "24 bytes";
    QTest::newRow("largest") << 4294967295u << 4294967295u << true
                             << "147,573,952,555,316,674,560 bytes";
  }
  void memoryRequired() {
    QFETCH(quint32, neurons);
    QFETCH(quint32, windowSize);
    QFETCH(bool, doublePrecision);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(memoryRequiredText(neurons, windowSize, doublePrecision)),
             text);
  }
};

QTEST_APPLESS_MAIN(FieldRulesTest)
#include "tst_fieldrules.moc"
