#include "analysis/fieldnumber.h"
#include "analysis/numbertext.h"
#include "analysis/scoregrid.h"
#include "analysis/sortorder.h"
#include "analysis/statistics.h"

#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;
using analysis::ScoreGrid;

namespace {

// Rows "number|name|score" separated by ";"; rows not given are blank.
ScoreGrid gridOf(const QString &rows) {
    ScoreGrid grid;
    const QStringList list = rows.split(u';');
    for (int r = 0; r < list.size(); ++r) {
        const QStringList cells = list[r].split(u'|');
        for (int c = 0; c < cells.size(); ++c)
            grid.setText(r, c, cells[c]);
    }
    return grid;
}

// The grid as gridOf reads it, up to its last filled row.
QString textOf(const ScoreGrid &grid) {
    QStringList rows;
    for (int r = 0; r < ScoreGrid::Rows; ++r)
        rows.append(grid.text(r, 0) + u'|' + grid.text(r, 1) + u'|' + grid.text(r, 2));
    while (!rows.isEmpty() && rows.last() == "||"_L1)
        rows.removeLast();
    return rows.join(u';');
}

} // namespace

class TestRules : public QObject {
    Q_OBJECT
private slots:
    void fieldNumber_data();
    void fieldNumber();
    void numberText_data();
    void numberText();
    void statistics_data();
    void statistics();
    void sortOrder_data();
    void sortOrder();
};

void TestRules::fieldNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("integer"); // "-" outside the 16-bit range
    QTest::newRow("plain") << "85" << 85.0 << u"85"_s;
    QTest::newRow("empty") << "" << 0.0 << u"0"_s;
    QTest::newRow("no number") << "缺考" << 0.0 << u"0"_s;
    QTest::newRow("letters and unit after") << "85abc分" << 85.0 << u"85"_s;
    QTest::newRow("spaces, tab and LF skipped anywhere") << " 1 2\t3\n " << 123.0 << u"123"_s;
    QTest::newRow("CR stops") << "8\r5" << 8.0 << u"8"_s;
    QTest::newRow("ideographic space stops") << "　85" << 0.0 << u"0"_s;
    QTest::newRow("plus sign") << "+12" << 12.0 << u"12"_s;
    QTest::newRow("minus sign after blank") << " - 12.25" << -12.25 << u"-12"_s;
    QTest::newRow("double sign") << "--5" << 0.0 << u"0"_s;
    QTest::newRow("leading point, half to even 0") << ".5" << 0.5 << u"0"_s;
    QTest::newRow("trailing point") << "5." << 5.0 << u"5"_s;
    QTest::newRow("lone point") << "." << 0.0 << u"0"_s;
    QTest::newRow("second point stops, half to even 2") << "2.5.3" << 2.5 << u"2"_s;
    QTest::newRow("half up to even") << "85.5" << 85.5 << u"86"_s;
    QTest::newRow("negative half to even") << "-2.5" << -2.5 << u"-2"_s;
    QTest::newRow("exponent") << "1E3" << 1000.0 << u"1000"_s;
    QTest::newRow("lower exponent, minus") << "2.5e-1" << 0.25 << u"0"_s;
    QTest::newRow("exponent with plus and blanks") << "1 E +2" << 100.0 << u"100"_s;
    QTest::newRow("exponent without digits") << "7E-" << 7.0 << u"7"_s;
    QTest::newRow("hex digits 7 0 A F") << "&H70AF" << 28847.0 << u"28847"_s;
    QTest::newRow("hex lower f a, digit 9") << "&hfa9" << 4009.0 << u"4009"_s;
    QTest::newRow("hex stops at G") << "&H1G" << 1.0 << u"1"_s;
    QTest::newRow("hex beyond 16 bits") << "&HFFFF" << 65535.0 << u"-"_s;
    QTest::newRow("octal") << "&o17" << 15.0 << u"15"_s;
    QTest::newRow("octal stops at 8") << "&O18" << 1.0 << u"1"_s;
    QTest::newRow("ampersand other") << "&X1" << 0.0 << u"0"_s;
    QTest::newRow("upper bound") << "32767.4" << 32767.4 << u"32767"_s;
    QTest::newRow("rounds past upper bound") << "32767.5" << 32767.5 << u"-"_s;
    QTest::newRow("rounds to lower bound") << "-32768.5" << -32768.5 << u"-32768"_s;
    QTest::newRow("below lower bound") << "-32769" << -32769.0 << u"-"_s;
    QTest::newRow("many digits") << QString(400, u'9') << HUGE_VAL << u"-"_s;
    QTest::newRow("huge exponent") << "-1E999999999999" << -HUGE_VAL << u"-"_s;
    QTest::newRow("tiny exponent") << "1E-999999999999" << 0.0 << u"0"_s;
    QTest::newRow("long fraction then tiny exponent") << "123.456E-400" << 0.0 << u"0"_s;
    QTest::newRow("zeros then huge exponent") << "0.000E999" << 0.0 << u"0"_s;
}

void TestRules::fieldNumber() {
    QFETCH(QString, text);
    QFETCH(double, number);
    QFETCH(QString, integer);
    QCOMPARE(analysis::readFieldNumber(text), number);
    const std::optional<std::int16_t> value = analysis::readFieldInteger(text);
    QCOMPARE(value ? QString::number(*value) : u"-"_s, integer);
}

void TestRules::numberText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("expected");
    QTest::newRow("negative zero") << -0.0 << false << u"0"_s;
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << false << u"0.3"_s;
    QTest::newRow("two thirds rate") << 2.0 / 3.0 * 100.0 << false << u"66.6666666666667"_s;
    QTest::newRow("smallest fixed") << 0.0001 << false << u"0.0001"_s;
    QTest::newRow("first scientific below") << -0.00001 << false << u"-1E-05"_s;
    QTest::newRow("fifteen digits") << 123456789012345.0 << false << u"123456789012345"_s;
    QTest::newRow("sixteen digits") << 1234567890123456.0 << false << u"1.23456789012346E+15"_s;
    QTest::newRow("three digit exponent") << 1e100 << false << u"1E+100"_s;
    QTest::newRow("single average") << 2465.0 / 30.0 << true << u"82.16666"_s;
    QTest::newRow("single seven digits") << 1234567.0 << true << u"1234567"_s;
    QTest::newRow("single eight digits") << 12345678.0 << true << u"1.234568E+07"_s;
    QTest::newRow("single noise hidden") << 0.1 << true << u"0.1"_s;
}

void TestRules::numberText() {
    QFETCH(double, value);
    QFETCH(bool, single);
    QFETCH(QString, expected);
    QCOMPARE(single ? analysis::singleText(float(value)) : analysis::doubleText(value), expected);
}

void TestRules::statistics_data() {
    QTest::addColumn<QString>("fields"); // class size | excellent band | good band
    QTest::addColumn<QString>("scores");
    // The nine figures in the results frame's order, or the first failed check's message.
    QTest::addColumn<QString>("expected");
    const QString excellentBeyond = u"优秀分数段数值超界，请输入-32768到32767之间的数值！！！"_s;
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
    QTest::newRow("equal bounds, band fields by the number rule")
        << "3| 9 0|&H5A|8e1|80" << u"90|80|91"_s << u"261 87 1 0 0 0 33.3333333333333 100 0"_s;
    QTest::newRow("overlapping bands count twice")
        << "3|70|100|60|90" << u"80|65|-5"_s
        << u"140 46.66667 1 2 1 1 33.3333333333333 66.6666666666667 66.6666666666667"_s;
    QTest::newRow("whole grid") << "100|85|100|75|85" << u"100|"_s.repeated(99) + u"84"_s
                                << u"9984 99.84 99 1 0 0 99 100 1"_s;
    QTest::newRow("class size empty first") << "||||" << u"90"_s << u"您还没有输入班级人数"_s;
    QTest::newRow("excellent low empty") << "2||1|7|8" << u"90"_s << u"您还没有输入优秀分数段"_s;
    QTest::newRow("excellent high empty") << "2|8||7|8" << u"90"_s << u"您还没有输入优秀分数段"_s;
    QTest::newRow("good low empty") << "2|8|9||8" << u"90"_s << u"您还没有输入良好秀分数段"_s;
    QTest::newRow("good high empty, before a reversed excellent band")
        << "2|9|8|7|" << u"90"_s << u"您还没有输入良好秀分数段"_s;
    QTest::newRow("excellent low beyond, before the class size")
        << "0|40000|1|7|8" << u"90"_s << excellentBeyond;
    QTest::newRow("excellent high beyond") << "2|8|40000|7|8" << u"90"_s << excellentBeyond;
    QTest::newRow("excellent reversed by the number rule, before good reversed")
        << "2|85|84.5|85|75" << u"90"_s << u"优秀分数段数值输入错误，请正确输入数值！！！"_s;
    QTest::newRow("good low beyond") << "2|8|9|-32769|8" << u"90"_s << goodBeyond;
    QTest::newRow("good high beyond") << "2|8|9|7|32768" << u"90"_s << goodBeyond;
    QTest::newRow("good reversed, before the class size")
        << "0|8|9|8|7" << u"90"_s << u"良好分数段数值输入错误，请正确输入数值！！！"_s;
    QTest::newRow("class size blank is not empty") << " |8|9|7|8" << u"90"_s << classSizeWrong;
    QTest::newRow("class size 0") << "0|8|9|7|8" << u"90"_s << classSizeWrong;
    QTest::newRow("class size 100.6") << "100.6|8|9|7|8" << u"90"_s << classSizeWrong;
    QTest::newRow("class size beyond 16 bits") << "40000|8|9|7|8" << u"90"_s << classSizeWrong;
    QTest::newRow("score beyond 16 bits")
        << "3|85|100|75|85" << u"90|99999|70"_s
        << u"第2行的成绩数值超界，请修改为-32768到32767之间的数值！"_s;
    QTest::newRow("class size 1, score beyond it unread")
        << "1|85|85|75|75" << u"85|99999"_s << u"85 85 1 0 0 0 100 100 0"_s;
}

void TestRules::statistics() {
    QFETCH(QString, fields);
    QFETCH(QString, scores);
    QFETCH(QString, expected);
    const QStringList f = fields.split(u'|');
    ScoreGrid grid;
    for (int row = 0; const QString &score : scores.split(u'|'))
        grid.setText(row++, ScoreGrid::ScoreColumn, score);
    const analysis::StatisticsOutcome outcome =
        analysis::computeStatistics({f[0], f[1], f[2], f[3], f[4]}, grid);
    const analysis::StatisticsFigures &s = outcome.figures;
    const QString figures =
        QStringList{s.total,   s.average,       s.excellent, s.good,    s.qualified,
                    s.failing, s.excellentRate, s.passRate,  s.goodRate}
            .join(u' ');
    // A failed check leaves every figure empty.
    QCOMPARE(outcome.ok ? figures : outcome.message + figures.trimmed(), expected);
}

void TestRules::sortOrder_data() {
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QRect>("keys"); // key columns × sorted rows
    QTest::addColumn<QString>("expected");
    const QRect score(2, 0, 1, ScoreGrid::Rows);
    QTest::newRow("numbers by value")
        << "1|a|9;2|b|100;3|c|95" << score << u"2|b|100;3|c|95;1|a|9"_s;
    QTest::newRow("fractions, negatives, exponents, blanks around")
        << "1|a|-3;2|b|85.5;3|c|1E2;4|d| 86 " << score << u"3|c|1E2;4|d| 86 ;2|b|85.5;1|a|-3"_s;
    QTest::newRow("equal keys keep their order")
        << "1|a|80;2|b|90;3|c|80;4|d|80.0" << score << u"2|b|90;1|a|80;3|c|80;4|d|80.0"_s;
    QTest::newRow("text after numbers, empty cell after text")
        << "1|a|;2|b|缺考;3|c|60;4|d|85分" << score << u"3|c|60;2|b|缺考;4|d|85分;1|a|"_s;
    QTest::newRow("names in descending pinyin order")
        << "1|李四;2|张三;3|王五" << QRect(1, 0, 1, 100) << u"2|张三|;3|王五|;1|李四|"_s;
    QTest::newRow("blank rows end below filled ones")
        << "1|a|70;||;2|b|90;||;3|c|" << score << u"2|b|90;1|a|70;3|c|"_s;
    QTest::newRow("student numbers, selected rows only")
        << "1001;1010;1002;1020;1030" << QRect(0, 1, 1, 3)
        << u"1001||;1020||;1010||;1002||;1030||"_s;
    QTest::newRow("further key columns")
        << "1|a|10;2|b|20;3|a|30" << QRect(1, 0, 2, 100) << u"2|b|20;3|a|30;1|a|10"_s;
}

void TestRules::sortOrder() {
    QFETCH(QString, rows);
    QFETCH(QRect, keys);
    QFETCH(QString, expected);
    ScoreGrid grid = gridOf(rows);
    analysis::sortDescending(grid, keys.top(), keys.bottom(), keys.left(), keys.right());
    QCOMPARE(textOf(grid), expected);
}

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
