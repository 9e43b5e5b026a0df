#include "analysis/scoregrid.h"
#include "analysis/statistics.h"

#include <QTest>

using analysis::computeStatistics;
using analysis::ScoreGrid;
using analysis::StatisticsFields;
using analysis::StatisticsFigures;

namespace {

ScoreGrid gridWithScores(const QStringList &scores) {
    ScoreGrid grid;
    for (int row = 0; row < scores.size(); ++row) {
        if (!scores[row].isEmpty()) grid.setText(row, 0, QString::number(1000 + row));
        grid.setText(row, ScoreGrid::ScoreColumn, scores[row]);
    }
    return grid;
}

QStringList repeated(const QString &score, int count) {
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(score);
    return list;
}

// total, average, excellent, good, qualified, failing, excellent rate, pass rate, good rate
QStringList figureList(const StatisticsFigures &f) {
    return {f.total,   f.average,       f.excellent, f.good,    f.qualified,
            f.failing, f.excellentRate, f.passRate,  f.goodRate};
}

const QStringList DefaultBands = {"85", "100", "75", "85"};

} // namespace

class TestStatistics : public QObject {
    Q_OBJECT
private slots:
    void figures_data();
    void figures();
    void checks_data();
    void checks();
    void ignoresOtherColumns();
};

void TestStatistics::figures_data() {
    QTest::addColumn<QStringList>("scores");
    QTest::addColumn<QString>("classSize");
    QTest::addColumn<QStringList>("bands");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("default band boundaries")
        << QStringList{"100", "85", "84", "75", "74", "60", "59"} << "7" << DefaultBands
        << QStringList{"537",
                       "76.71429",
                       "2",
                       "2",
                       "2",
                       "1",
                       "28.5714285714286",
                       "85.7142857142857",
                       "28.5714285714286"};
    QTest::newRow("thirty students one failing")
        << repeated("80", 29) + QStringList{"50"} << "30" << DefaultBands
        << QStringList{
               "2370", "79", "0", "29", "0", "1", "0", "96.6666666666667", "96.6666666666667"};
    QTest::newRow("single precision average")
        << repeated("82", 25) + repeated("83", 5) << "30" << DefaultBands
        << QStringList{"2465", "82.16666", "0", "30", "0", "0", "0", "100", "100"};
    QTest::newRow("halves go to the even neighbour")
        << QStringList{"85.5", "84.5"} << "2" << DefaultBands
        << QStringList{"170", "85", "1", "1", "0", "0", "50", "100", "50"};
    QTest::newRow("number followed by letters")
        << QStringList{"85abc"} << "1" << DefaultBands
        << QStringList{"85", "85", "1", "0", "0", "0", "100", "100", "0"};
    QTest::newRow("spaces around the score")
        << QStringList{"  74 "} << "1" << DefaultBands
        << QStringList{"74", "74", "0", "0", "1", "0", "0", "100", "0"};
    QTest::newRow("blank row counts as failing zero")
        << QStringList{"90", "", "70"} << "3" << DefaultBands
        << QStringList{
               "160", "53.33333", "1", "0", "1", "1", "33.3333333333333", "66.6666666666667", "0"};
    QTest::newRow("non-number text counts as zero")
        << QStringList{"缺考", "90"} << "2" << DefaultBands
        << QStringList{"90", "45", "1", "0", "0", "1", "50", "50", "0"};
    QTest::newRow("rows beyond the class size are ignored")
        << QStringList{"60", "100", "100"} << "1" << DefaultBands
        << QStringList{"60", "60", "0", "0", "1", "0", "0", "100", "0"};
    QTest::newRow("equal bounds")
        << QStringList{"90", "80", "91"} << "3" << QStringList{"90", "90", "80", "80"}
        << QStringList{"261", "87", "1", "0", "0", "0", "33.3333333333333", "100", "0"};
    QTest::newRow("overlapping bands count twice")
        << QStringList{"80", "65", "95"} << "3" << QStringList{"70", "100", "60", "90"}
        << QStringList{
               "240", "80", "2", "2", "1", "0", "66.6666666666667", "100", "66.6666666666667"};
    QTest::newRow("good rate follows the good count")
        << QStringList{"80", "78", "65"} << "3" << DefaultBands
        << QStringList{"223", "74.33334", "0", "2", "1", "0", "0", "100", "66.6666666666667"};
    QTest::newRow("negative score") << QStringList{"-5"} << "1" << DefaultBands
                                    << QStringList{"-5", "-5", "0", "0", "0", "1", "0", "0", "0"};
    QTest::newRow("full grid") << repeated("100", 100) << "100" << DefaultBands
                               << QStringList{"10000", "100", "100", "0", "0",
                                              "0",     "100", "100", "0"};
    QTest::newRow("class size read by the number rule")
        << QStringList{"60", "70", "80"} << "2.5" << DefaultBands
        << QStringList{"130", "65", "0", "0", "2", "0", "0", "100", "0"};
    QTest::newRow("band fields read by the number rule")
        << QStringList{"90"} << "1" << QStringList{" 89.5", "1E2", "&H4B", "85"}
        << QStringList{"90", "90", "1", "0", "0", "0", "100", "100", "0"};
}

void TestStatistics::figures() {
    QFETCH(QStringList, scores);
    QFETCH(QString, classSize);
    QFETCH(QStringList, bands);
    QFETCH(QStringList, expected);
    const StatisticsFields fields{classSize, bands[0], bands[1], bands[2], bands[3]};
    const auto outcome = computeStatistics(fields, gridWithScores(scores));
    QVERIFY2(outcome.ok, qPrintable(outcome.message));
    QCOMPARE(figureList(outcome.figures), expected);
}

void TestStatistics::checks_data() {
    QTest::addColumn<QString>("classSize");
    QTest::addColumn<QStringList>("bands");
    QTest::addColumn<QStringList>("scores");
    QTest::addColumn<QString>("message");

    const QStringList scores{"90", "80"};
    QTest::newRow("class size empty") << "" << DefaultBands << scores << "您还没有输入班级人数";
    QTest::newRow("class size empty comes first")
        << "" << QStringList{"", "", "", ""} << scores << "您还没有输入班级人数";
    QTest::newRow("excellent low empty")
        << "2" << QStringList{"", "100", "75", "85"} << scores << "您还没有输入优秀分数段";
    QTest::newRow("excellent high empty")
        << "2" << QStringList{"85", "", "75", "85"} << scores << "您还没有输入优秀分数段";
    QTest::newRow("good low empty")
        << "2" << QStringList{"85", "100", "", "85"} << scores << "您还没有输入良好秀分数段";
    QTest::newRow("good high empty before a reversed excellent band")
        << "2" << QStringList{"100", "85", "75", ""} << scores << "您还没有输入良好秀分数段";
    QTest::newRow("excellent reversed") << "2" << QStringList{"100", "85", "75", "85"} << scores
                                        << "优秀分数段数值输入错误，请正确输入数值！！！";
    QTest::newRow("excellent reversed before good reversed")
        << "2" << QStringList{"100", "85", "85", "75"} << scores
        << "优秀分数段数值输入错误，请正确输入数值！！！";
    QTest::newRow("good reversed") << "2" << QStringList{"85", "100", "85", "75"} << scores
                                   << "良好分数段数值输入错误，请正确输入数值！！！";
    QTest::newRow("reversed by the number rule")
        << "2" << QStringList{"85", "84.5", "75", "85"} << scores
        << "优秀分数段数值输入错误，请正确输入数值！！！";

    // Input the commands would otherwise divide by zero or overflow on.
    const QString classSizeWrong = "班级人数输入有误，请输入1到100之间的人数！";
    QTest::newRow("class size blank is not empty")
        << " " << DefaultBands << scores << classSizeWrong;
    QTest::newRow("class size zero") << "0" << DefaultBands << scores << classSizeWrong;
    QTest::newRow("class size text") << "abc" << DefaultBands << scores << classSizeWrong;
    QTest::newRow("class size negative") << "-3" << DefaultBands << scores << classSizeWrong;
    QTest::newRow("class size above the grid") << "101" << DefaultBands << scores << classSizeWrong;
    QTest::newRow("class size rounds above the grid")
        << "100.6" << DefaultBands << scores << classSizeWrong;
    QTest::newRow("class size beyond 16 bits")
        << "40000" << DefaultBands << scores << classSizeWrong;
    QTest::newRow("excellent band beyond 16 bits")
        << "2" << QStringList{"85", "40000", "75", "85"} << scores
        << "优秀分数段数值超界，请输入-32768到32767之间的数值！！！";
    QTest::newRow("good band beyond 16 bits")
        << "2" << QStringList{"85", "100", "-32769", "85"} << scores
        << "良好分数段数值超界，请输入-32768到32767之间的数值！！！";
    QTest::newRow("score beyond 16 bits")
        << "3" << DefaultBands << QStringList{"90", "99999", "70"}
        << "第2行的成绩数值超界，请修改为-32768到32767之间的数值！";
    QTest::newRow("score beyond the class size is not read")
        << "1" << DefaultBands << QStringList{"90", "99999"} << QString();
}

void TestStatistics::checks() {
    QFETCH(QString, classSize);
    QFETCH(QStringList, bands);
    QFETCH(QStringList, scores);
    QFETCH(QString, message);
    const StatisticsFields fields{classSize, bands[0], bands[1], bands[2], bands[3]};
    const auto outcome = computeStatistics(fields, gridWithScores(scores));
    QCOMPARE(outcome.ok, message.isEmpty());
    QCOMPARE(outcome.message, message);
    if (!outcome.ok) QCOMPARE(outcome.figures, StatisticsFigures{});
}

void TestStatistics::ignoresOtherColumns() {
    ScoreGrid grid;
    grid.setText(0, 0, "95");
    grid.setText(0, 1, "95");
    grid.setText(0, 2, "61");
    const auto outcome = computeStatistics({"1", "85", "100", "75", "85"}, grid);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.figures.total, QString("61"));
    QCOMPARE(outcome.figures.qualified, QString("1"));
}

QTEST_APPLESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
