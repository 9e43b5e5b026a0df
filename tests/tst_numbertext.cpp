#include "analysis/numbertext.h"

#include <QTest>

#include <limits>

using analysis::doubleText;
using analysis::singleText;

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void doublePrecision_data();
    void doublePrecision();
    void singlePrecision_data();
    void singlePrecision();
};

void TestNumberText::doublePrecision_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("whole") << 85.0 << "85";
    QTest::newRow("fraction") << 85.5 << "85.5";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("negative") << -3.25 << "-3.25";
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << "0.3";
    QTest::newRow("a third") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("two thirds rate") << 2.0 / 3.0 * 100.0 << "66.6666666666667";
    QTest::newRow("pass rate 29 of 30") << (1.0 - 1.0 / 30.0) * 100.0 << "96.6666666666667";
    QTest::newRow("hundred") << 100.0 << "100";
    QTest::newRow("small") << 1e-7 << "1E-07";
    QTest::newRow("smallest fixed") << 0.0001 << "0.0001";
    QTest::newRow("first scientific below") << 0.00001 << "1E-05";
    QTest::newRow("fifteen digits") << 123456789012345.0 << "123456789012345";
    QTest::newRow("sixteen digits") << 1234567890123456.0 << "1.23456789012346E+15";
    QTest::newRow("large") << 12345678901234567.0 << "1.23456789012346E+16";
    QTest::newRow("three digit exponent") << 1e100 << "1E+100";
    QTest::newRow("negative scientific") << -2.5e-10 << "-2.5E-10";
    QTest::newRow("largest") << std::numeric_limits<double>::max() << "1.79769313486232E+308";
}

void TestNumberText::doublePrecision() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(doubleText(value), expected);
}

void TestNumberText::singlePrecision_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("total") << 2465.0f << "2465";
    QTest::newRow("average") << 2465.0f / 30.0f << "82.16666";
    QTest::newRow("half") << 85.5f << "85.5";
    QTest::newRow("seven digits") << 1234567.0f << "1234567";
    QTest::newRow("eight digits") << 12345678.0f << "1.234568E+07";
    QTest::newRow("float noise hidden") << 0.1f << "0.1";
    QTest::newRow("negative") << -59.25f << "-59.25";
}

void TestNumberText::singlePrecision() {
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(singleText(value), expected);
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
