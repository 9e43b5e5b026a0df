#include "analysis/fieldnumber.h"

#include <QTest>

#include <cmath>

using analysis::readFieldInteger;
using analysis::readFieldNumber;

class TestFieldNumber : public QObject {
    Q_OBJECT
private slots:
    void readsLeadingNumber_data();
    void readsLeadingNumber();
    void readsInteger_data();
    void readsInteger();
};

void TestFieldNumber::readsLeadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("plain") << "85" << 85.0;
    QTest::newRow("fraction") << "85.5" << 85.5;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("no number") << "缺考" << 0.0;
    QTest::newRow("letters after") << "85abc" << 85.0;
    QTest::newRow("chinese unit after") << "90分" << 90.0;
    QTest::newRow("blanks around") << "  85  " << 85.0;
    QTest::newRow("blanks inside digits") << "1 2 3" << 123.0;
    QTest::newRow("tab and line feed") << "\t8\n5" << 85.0;
    QTest::newRow("carriage return stops") << "8\r5" << 8.0;
    QTest::newRow("ideographic space stops") << QStringLiteral("　85") << 0.0;
    QTest::newRow("plus sign") << "+12" << 12.0;
    QTest::newRow("minus sign") << "-12.25" << -12.25;
    QTest::newRow("sign after blank") << " - 7" << -7.0;
    QTest::newRow("double sign") << "--5" << 0.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("comma stops") << "1,000" << 1.0;
    QTest::newRow("exponent") << "1E3" << 1000.0;
    QTest::newRow("lower exponent") << "2.5e-1" << 0.25;
    QTest::newRow("exponent with plus") << "1E+2" << 100.0;
    QTest::newRow("exponent without digits") << "7E" << 7.0;
    QTest::newRow("exponent sign without digits") << "7E-" << 7.0;
    QTest::newRow("blank inside exponent") << "1 E 2" << 100.0;
    QTest::newRow("hex") << "&HFF" << 255.0;
    QTest::newRow("hex lower") << "&h1a" << 26.0;
    QTest::newRow("hex stops at non-digit") << "&H1G" << 1.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O18" << 1.0;
    QTest::newRow("ampersand alone") << "&" << 0.0;
    QTest::newRow("ampersand other") << "&X1" << 0.0;
    QTest::newRow("many digits") << QString(400, u'9') << HUGE_VAL;
    QTest::newRow("huge exponent") << "1E999999999999" << HUGE_VAL;
    QTest::newRow("tiny exponent") << "1E-999999999999" << 0.0;
    QTest::newRow("zeros then huge exponent") << "0.000E999" << 0.0;
    QTest::newRow("long fraction then tiny exponent") << "123.456E-400" << 0.0;
}

void TestFieldNumber::readsLeadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(readFieldNumber(text), expected);
}

void TestFieldNumber::readsInteger_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("inRange");
    QTest::addColumn<int>("expected");

    QTest::newRow("half down to even") << "84.5" << true << 84;
    QTest::newRow("half up to even") << "85.5" << true << 86;
    QTest::newRow("below half") << "85.49" << true << 85;
    QTest::newRow("above half") << "84.51" << true << 85;
    QTest::newRow("negative half") << "-2.5" << true << -2;
    QTest::newRow("zero half") << "0.5" << true << 0;
    QTest::newRow("upper bound") << "32767" << true << 32767;
    QTest::newRow("upper bound plus fraction") << "32767.4" << true << 32767;
    QTest::newRow("rounds past upper bound") << "32767.5" << false << 0;
    QTest::newRow("lower bound") << "-32768" << true << -32768;
    QTest::newRow("rounds to lower bound") << "-32768.5" << true << -32768;
    QTest::newRow("below lower bound") << "-32769" << false << 0;
    QTest::newRow("far above") << "99999" << false << 0;
    QTest::newRow("hex in range") << "&H7FFF" << true << 32767;
    QTest::newRow("hex out of range") << "&HFFFF" << false << 0;
    QTest::newRow("overflowing literal") << "1E400" << false << 0;
    QTest::newRow("text reads zero") << "abc" << true << 0;
}

void TestFieldNumber::readsInteger() {
    QFETCH(QString, text);
    QFETCH(bool, inRange);
    QFETCH(int, expected);
    const std::optional<std::int16_t> value = readFieldInteger(text);
    QCOMPARE(value.has_value(), inRange);
    if (inRange) QCOMPARE(int(*value), expected);
}

QTEST_APPLESS_MAIN(TestFieldNumber)
#include "tst_fieldnumber.moc"
