#include "analysis/classanalysis/decimal.h"
#include "analysis/export/jsontext.h"
#include "analysis/figures/figures.h"
#include "analysis/figures/statistics.h"
#include "analysis/grid/fieldnumber.h"
#include "analysis/grid/scoregrid.h"
#include "analysis/grid/sortorder.h"
#include "workbook/numbertext.h"

#include <QRegularExpression>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;
using analysis::ScoreGrid;

namespace {

// Rows "number|name|score" separated by ";"; rows not given are blank.
ScoreGrid gridOf(const QString &rows) {
    ScoreGrid grid;
    for (int r = 0; const QString &row : rows.split(u';')) {
        for (int c = 0; const QString &cell : row.split(u'|'))
            grid.setText(r, c++, cell);
        ++r;
    }
    return grid;
}

// The grid as gridOf reads it, up to its last filled row.
QString textOf(const ScoreGrid &grid) {
    QStringList rows;
    for (int r = 0; r < ScoreGrid::Rows; ++r)
        rows.append(grid.text(r, 0) + u'|' + grid.text(r, 1) + u'|' + grid.text(r, 2));
    return rows.join(u';').remove(QRegularExpression(u"(;\\|\\|)+$"_s));
}

} // namespace

class TestRules : public QObject {
    Q_OBJECT
private slots:
    void fieldNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("integer"); // "-" outside the 16-bit range
        QTest::newRow("digits 9 0, letters and unit after") << "90abc分" << 90.0 << u"90"_s;
        QTest::newRow("spaces, tab and LF skipped anywhere") << " 1 2\t3\n " << 123.0 << u"123"_s;
        QTest::newRow("CR stops") << "8\r5" << 8.0 << u"8"_s;
        QTest::newRow("minus sign after blank") << " - 12.25" << -12.25 << u"-12"_s;
        QTest::newRow("leading point, half to even 0") << ".5" << 0.5 << u"0"_s;
        QTest::newRow("second point stops, half to even 2") << "2.5.3" << 2.5 << u"2"_s;
        QTest::newRow("half up to even") << "85.5" << 85.5 << u"86"_s;
        QTest::newRow("negative half to even") << "-2.5" << -2.5 << u"-2"_s;
        QTest::newRow("lower exponent, minus") << "2.5e-1" << 0.25 << u"0"_s;
        QTest::newRow("exponent with plus and blanks") << "1 E +2" << 100.0 << u"100"_s;
        QTest::newRow("exponent without digits") << "7E-" << 7.0 << u"7"_s;
        QTest::newRow("hex digits 7 0 A F") << "&H70AF" << 28847.0 << u"28847"_s;
        QTest::newRow("hex lower f a, digit 9") << "&hfa9" << 4009.0 << u"4009"_s;
        QTest::newRow("octal, stops at 8") << "&o178" << 15.0 << u"15"_s;
        QTest::newRow("upper bound") << "32767.4" << 32767.4 << u"32767"_s;
        QTest::newRow("rounds to lower bound") << "-32768.5" << -32768.5 << u"-32768"_s;
        QTest::newRow("below lower bound") << "-32769" << -32769.0 << u"-"_s;
        QTest::newRow("many digits") << QString(400, u'9') << HUGE_VAL << u"-"_s;
        QTest::newRow("huge exponent") << "-1E999999999999" << -HUGE_VAL << u"-"_s;
        QTest::newRow("tiny exponent") << "1E-999999999999" << 0.0 << u"0"_s;
    }

    void fieldNumber() {
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(QString, integer);
        QCOMPARE(analysis::readFieldNumber(text), number);
        const std::optional<std::int16_t> value = analysis::readFieldInteger(text);
        QCOMPARE(value ? QString::number(*value) : u"-"_s, integer);
    }

    void numberText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("single");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << false << u"0.3"_s;
        QTest::newRow("first scientific below") << -0.00001 << false << u"-1E-05"_s;
        QTest::newRow("sixteen digits") << 1234567890123456.0 << false << u"1.23456789012346E+15"_s;
        QTest::newRow("single average") << 2465.0 / 30.0 << true << u"82.16666"_s;
        QTest::newRow("single eight digits") << 12345678.0 << true << u"1.234568E+07"_s;
        QTest::newRow("sixteen digits below one")
            << 0.1234567890123456 << false << u"0.123456789012346"_s;
        QTest::newRow("whole score") << 87.0 << false << u"87"_s;
        QTest::newRow("half mark below zero") << -92.5 << false << u"-92.5"_s;
        QTest::newRow("last fixed below one") << 0.0001 << false << u"0.0001"_s;
        QTest::newRow("fifteen digits") << 999999999999999.0 << false << u"999999999999999"_s;
        QTest::newRow("first scientific above") << 1e15 << false << u"1E+15"_s;
        QTest::newRow("single whole") << 85.0 << true << u"85"_s;
    }

    void numberText() {
        QFETCH(double, value);
        QFETCH(bool, single);
        QFETCH(QString, expected);
        QCOMPARE(single ? analysis::singleText(float(value)) : analysis::doubleText(value),
                 expected);
    }

    // A score's digits as a double: the nearest one, as its literal reads,
    // on the short path and the long one alike.
    void decimalValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("half mark") << u"85.5"_s << 85.5;
        QTest::newRow("tenth") << u"0.1"_s << 0.1;
        QTest::newRow("full-width, thousandths") << u"２.６７５"_s << 2.675;
        QTest::newRow("zeros around") << u"00012.50"_s << 12.5;
        QTest::newRow("many fraction digits") << u"83.33333333333333"_s << 83.33333333333333;
        QTest::newRow("beyond 2^53 as digits") << u"9007199254740.993"_s << 9007199254740.993;
        QTest::newRow("sixteen fraction digits") << u"0.1234567890123456"_s << 0.1234567890123456;
        QTest::newRow("fifteen whole digits") << u"999999999999999.9"_s << 999999999999999.9;
    }
    void decimalValue() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        const std::optional<analysis::SignedDecimal> read = analysis::readPlainDecimal(text);
        QVERIFY(read && !read->negative);
        const double value = read->magnitude.toDouble();
        QVERIFY2(value == expected, qPrintable(QString::number(value, 'g', 17)));
    }

    // A text in a JSON list: what a JSON reader needs escaped, and what a
    // terminal must not obey (DEL, C1), escaped too; a lone surrogate
    // becomes U+FFFD; everything else stays as its UTF-8.
    void jsonString_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain name") << u"张三"_s << QByteArray("\"\xE5\xBC\xA0\xE4\xB8\x89\"");
        QTest::newRow("quote, backslash") << u"a\"b\\c"_s << QByteArray("\"a\\\"b\\\\c\"");
        QTest::newRow("tab, line feed, bell") << u"\t\n\a"_s << QByteArray("\"\\t\\n\\u0007\"");
        QTest::newRow("NUL") << QString(QChar(0)) << QByteArray("\"\\u0000\"");
        QTest::newRow("DEL") << u"x\x7f"_s << QByteArray("\"x\\u007f\"");
        QTest::newRow("C1 after text")
            << u"李\u0085四"_s << QByteArray("\"\xE6\x9D\x8E\\u0085\xE5\x9B\x9B\"");
        QTest::newRow("no-break space stays") << u"\u00a0"_s << QByteArray("\"\xC2\xA0\"");
        QTest::newRow("lone surrogate")
            << QString(QChar(0xD800)) + u"x"_s << QByteArray("\"\xEF\xBF\xBDx\"");
        QTest::newRow("pair kept") << u"\U0001F600"_s << QByteArray("\"\xF0\x9F\x98\x80\"");
    }
    void jsonString() {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        analysis::JsonText out;
        analysis::appendJsonString(out, text);
        QCOMPARE(QByteArray(out.bytes()), expected);
    }

    void statistics_data() {
        QTest::addColumn<QString>("fields"); // class size | excellent band | good band
        QTest::addColumn<QString>("scores");
        // The nine figures in the results frame's order, or the first failed check's message.
        QTest::addColumn<QString>("expected");
        const QString excellentBeyond =
            u"优秀分数段数值超界，请输入-32768到32767之间的数值！！！"_s;
        const QString goodBeyond = u"良好分数段数值超界，请输入-32768到32767之间的数值！！！"_s;
        const QString classSizeWrong = u"班级人数输入有误，请输入1到100之间的人数！"_s;
        QTest::newRow("band edges") << "7|85|100|75|85" << u"100|85|84|75|74|60|59"_s
                                    << u"537 76.71429 2 2 2 1 28.5714285714286 85.7142857142857 "
                                       u"28.5714285714286"_s;
        QTest::newRow("halves to even, blank and text count 0, spaces trimmed")
            << "6|85|100|75|85" << u"85.5|84.5||缺考|  74 |85abc"_s
            << u"329 54.83333 2 1 1 2 33.3333333333333 66.6666666666667 16.6666666666667"_s;
        QTest::newRow("class size halves to even, rows beyond it unread")
            << "2.5|85|100|75|85" << u"60|100|100"_s << u"160 80 1 0 1 0 50 100 0"_s;
        QTest::newRow("whole grid") << "100|85|100|75|85" << u"100|"_s.repeated(99) + u"84"_s
                                    << u"9984 99.84 99 1 0 0 99 100 1"_s;
        QTest::newRow("class size empty first") << "||||" << u"90"_s << u"您还没有输入班级人数"_s;
        QTest::newRow("excellent high empty")
            << "2|8||7|8" << u"90"_s << u"您还没有输入优秀分数段"_s;
        QTest::newRow("good high empty, before a reversed excellent band")
            << "2|9|8|7|" << u"90"_s << u"您还没有输入良好秀分数段"_s;
        QTest::newRow("excellent low beyond, before the class size")
            << "0|40000|1|7|8" << u"90"_s << excellentBeyond;
        QTest::newRow("excellent reversed by the number rule, before good reversed")
            << "2|85|84.5|85|75" << u"90"_s << u"优秀分数段数值输入错误，请正确输入数值！！！"_s;
        QTest::newRow("good high beyond") << "2|8|9|7|32768" << u"90"_s << goodBeyond;
        QTest::newRow("good reversed, before the class size")
            << "0|8|9|8|7" << u"90"_s << u"良好分数段数值输入错误，请正确输入数值！！！"_s;
        QTest::newRow("class size blank is not empty") << " |8|9|7|8" << u"90"_s << classSizeWrong;
        QTest::newRow("class size 100.6") << "100.6|8|9|7|8" << u"90"_s << classSizeWrong;
        QTest::newRow("class size beyond 16 bits") << "40000|8|9|7|8" << u"90"_s << classSizeWrong;
        QTest::newRow("score beyond 16 bits")
            << "3|85|100|75|85" << u"90|99999|70"_s
            << u"第2行的成绩数值超界，请修改为-32768到32767之间的数值！"_s;
        QTest::newRow("class size 1, equal bounds, a score beyond it unread")
            << "1|85|85|75|75" << u"85|99999"_s << u"85 85 1 0 0 0 100 100 0"_s;
    }

    void statistics() {
        QFETCH(QString, fields);
        QFETCH(QString, scores);
        QFETCH(QString, expected);
        const QStringList f = fields.split(u'|');
        ScoreGrid grid;
        for (int row = 0; const QString &score : scores.split(u'|'))
            grid.setText(row++, ScoreGrid::ScoreColumn, score);
        const analysis::StatisticsOutcome outcome =
            analysis::computeStatistics({f[0], f[1], f[2], f[3], f[4]}, grid);
        QStringList figures;
        for (const analysis::FigureInfo &figure : analysis::Figures)
            figures.append(outcome.figures.*figure.text);
        // A failed check leaves every figure empty.
        QCOMPARE(outcome.ok ? figures.join(u' ') : outcome.message + figures.join(QString()),
                 expected);
    }

    void sortOrder_data() {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QRect>("keys"); // key columns × sorted rows
        QTest::addColumn<QString>("expected");
        const QRect score(2, 0, 1, ScoreGrid::Rows);
        QTest::newRow("fractions, negatives, exponents, blanks around")
            << "1|a|-3;2|b|85.5;3|c|1e+2;4|d| 86 " << score
            << u"3|c|1e+2;4|d| 86 ;2|b|85.5;1|a|-3"_s;
        QTest::newRow("equal keys keep their order")
            << "1|a|80;2|b|90;3|c|80;4|d|80.0" << score << u"2|b|90;1|a|80;3|c|80;4|d|80.0"_s;
        QTest::newRow("text after numbers, empty cell after text")
            << "1|a|;2|b|缺考;3|c|60;4|d|85分" << score << u"3|c|60;2|b|缺考;4|d|85分;1|a|"_s;
        QTest::newRow("blank rows end below filled ones")
            << "1|a|70;||;2|b|90;||;3|c|" << score << u"2|b|90;1|a|70;3|c|"_s;
        QTest::newRow("student numbers, selected rows only")
            << "1001;1010;1002;1020;1030" << QRect(0, 1, 1, 3)
            << u"1001||;1020||;1010||;1002||;1030||"_s;
        QTest::newRow("further key columns")
            << "1|a|10;2|b|20;3|a|30" << QRect(1, 0, 2, 100) << u"2|b|20;3|a|30;1|a|10"_s;
    }

    void sortOrder() {
        QFETCH(QString, rows);
        QFETCH(QRect, keys);
        QFETCH(QString, expected);
        ScoreGrid grid = gridOf(rows);
        analysis::sortDescending(grid, keys.top(), keys.bottom(), keys.left(), keys.right());
        QCOMPARE(textOf(grid), expected);
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
