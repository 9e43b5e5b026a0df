#include "report/reportcommand.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Sample = QStringLiteral(SCORE_FIXTURES_DIR "/../../samples/class.xls");

QJsonObject jsonOf(const QString &text) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        qWarning("not a JSON object: %s", qPrintable(text));
    return document.object();
}

} // namespace

class TestScoreReport : public QObject {
    Q_OBJECT
private slots:
    void usageErrors_data();
    void usageErrors();
    void importOnly();
    void statistics();
    void sortBeforeStatistics();
    void failures_data();
    void failures();
    void plainOutput();
    void plainOutputKeepsOneLinePerRow();
    void analysisJson();
    void analysisAlignedByDisplayWidth();
    void executable_data();
    void executable();
};

void TestScoreReport::usageErrors_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("why");
    QTest::newRow("nothing") << QStringList{} << "没有给出工作簿";
    QTest::newRow("unknown option")
        << QStringList{Sample, "--colour", "red"} << "无法识别的选项：--colour";
    QTest::newRow("missing value") << QStringList{Sample, "--sheet"} << "选项--sheet需要一个值";
    QTest::newRow("band without colon")
        << QStringList{Sample, "--excellent", "85"} << "--excellent的值须为“下限:上限”";
    QTest::newRow("sort column out of range")
        << QStringList{Sample, "--sort-column", "3"} << "--sort-column的值须为0、1或2";
    QTest::newRow("sort column not a digit")
        << QStringList{Sample, "--sort-column", "x"} << "--sort-column的值须为0、1或2";
    QTest::newRow("two workbooks") << QStringList{Sample, Sample} << "只能给出一个工作簿";
}

void TestScoreReport::usageErrors() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, why);
    const report::Output output = report::run(arguments);
    QCOMPARE(output.status, report::ExitUsage);
    QVERIFY(output.out.isEmpty());
    QCOMPARE(output.err, "score-report：" + why +
                             "\n用法：score-report 工作簿 [选项…]；score-report --help "
                             "列出全部选项。\n");
}

void TestScoreReport::importOnly() {
    const report::Output output = report::run({Sample, "--json"});
    QCOMPARE(output.status, report::ExitOk);
    const QJsonObject root = jsonOf(output.out);
    QVERIFY(!root.contains("statistics"));
    const QJsonArray grid = root["grid"].toArray();
    QCOMPARE(grid.size(), 100);
    QCOMPARE(grid[0].toArray(), (QJsonArray{"20240101", "张伟", "85"}));
    QCOMPARE(grid[29].toArray(), (QJsonArray{"20240130", "曹阳", "82"}));
    for (int r = 30; r < 100; ++r)
        QCOMPARE(grid[r].toArray(), (QJsonArray{"", "", ""}));
}

void TestScoreReport::statistics() {
    const report::Output output = report::run({Sample, "--class-size", "30", "--json"});
    QCOMPARE(output.status, report::ExitOk);
    const QJsonObject figures = jsonOf(output.out)["statistics"].toObject();
    const QJsonObject expected{
        {"total", "2337"},       {"average", "77.9"}, {"excellent", "9"},
        {"good", "10"},          {"qualified", "8"},  {"failing", "3"},
        {"excellentRate", "30"}, {"passRate", "90"},  {"goodRate", "33.3333333333333"}};
    QCOMPARE(figures, expected);
}

void TestScoreReport::sortBeforeStatistics() {
    // The three best scores are 100, 96 and 95.
    const report::Output output = report::run({Sample, "--sort-column=2", "--class-size=3",
                                               "--excellent=96:100", "--good", "90:96", "--json"});
    QCOMPARE(output.status, report::ExitOk);
    const QJsonObject root = jsonOf(output.out);
    QCOMPARE(root["grid"].toArray()[0].toArray(), (QJsonArray{"20240113", "马超", "100"}));
    const QJsonObject figures = root["statistics"].toObject();
    QCOMPARE(figures["total"].toString(), QString("291"));
    QCOMPARE(figures["excellent"].toString(), QString("2"));
    QCOMPARE(figures["good"].toString(), QString("1"));
    QCOMPARE(figures["goodRate"].toString(), QString("33.3333333333333"));
}

void TestScoreReport::failures_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("number"); // -1: a failure without a number
    QTest::addColumn<QString>("message");

    QTest::newRow("missing file") << QStringList{"/nonexistent/class.xls"} << 5
                                  << "无法打开Excel文件，请检查后重新输入文件名及路径！";
    QTest::newRow("directory") << QStringList{QDir::tempPath()} << 5
                               << "无法打开Excel文件，请检查后重新输入文件名及路径！";
    QTest::newRow("sheet missing") << QStringList{Sample, "--sheet", "Sheet2"} << 9
                                   << "输入表格名称有误，无法打开表格，请重新输入！";
    QTest::newRow("column zero") << QStringList{Sample, "--score-column", "0"} << 1004
                                 << "输入表格列号超界，请重新输入！";
    QTest::newRow("rows past 32767") << QStringList{Sample, "--first-row", "32700"} << 6
                                     << "未知错误，错误号： 6　请检查输入值！";
    QTest::newRow("first row zero") << QStringList{Sample, "--first-row", "0"} << -1
                                    << "数据起始行输入有误，请输入1到32668之间的行号！";
    QTest::newRow("column beyond 16 bits")
        << QStringList{Sample, "--name-column", "70000"} << -1 << "输入表格列号超界，请重新输入！";
    QTest::newRow("class size zero") << QStringList{Sample, "--class-size", "0"} << -1
                                     << "班级人数输入有误，请输入1到100之间的人数！";
    QTest::newRow("class size empty")
        << QStringList{Sample, "--class-size", ""} << -1 << "您还没有输入班级人数";
    QTest::newRow("reversed band")
        << QStringList{Sample, "--class-size", "30", "--excellent", "90:80"} << -1
        << "优秀分数段数值输入错误，请正确输入数值！！！";
    QTest::newRow("analysis: full marks 0")
        << QStringList{Sample, "--analysis", "--full-marks=0"} << -1
        << "满分输入有误，请输入1到1000之间的分数（最多两位小数）！";
    QTest::newRow("analysis: settings checked before the workbook is read")
        << QStringList{"/nonexistent/class.xls", "--analysis", "--pass-line", "90"} << -1
        << "分数线输入有误，须满足：低分线 ≤ 及格线 ≤ 良好线 ≤ 优秀线！";
    QTest::newRow("export: not .xlsx or .csv")
        << QStringList{Sample, "--export", "/tmp/report.txt"} << -1
        << "导出文件名须以.xlsx或.csv结尾：/tmp/report.txt";
}

void TestScoreReport::failures() {
    QFETCH(QStringList, arguments);
    QFETCH(int, number);
    QFETCH(QString, message);
    const report::Output output = report::run(arguments + QStringList{"--json"});
    QCOMPARE(output.status, report::ExitFailure);
    const QJsonObject error = jsonOf(output.out)["error"].toObject();
    QCOMPARE(error["message"].toString(), message);
    QCOMPARE(error.contains("number"), number >= 0);
    if (number >= 0) QCOMPARE(error["number"].toInt(), number);

    const report::Output plain = report::run(arguments);
    QCOMPARE(plain.status, report::ExitFailure);
    QVERIFY(plain.out.isEmpty());
    QVERIFY(plain.err.contains(message));
}

void TestScoreReport::plainOutput() {
    const report::Output output = report::run({Sample, "--class-size", "30"});
    QCOMPARE(output.status, report::ExitOk);
    const QStringList lines = output.out.split(u'\n');
    QCOMPARE(lines[1], QString("1\t20240101\t张伟\t85"));
    QVERIFY(lines.contains("总成绩：2337"));
    QVERIFY(lines.contains("良好率：33.3333333333333 %"));
}

void TestScoreReport::executable_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stdoutHas");

    QTest::newRow("figures") << QStringList{Sample, "--class-size", "30", "--json"} << 0
                             << "\"average\":\"77.9\"";
    QTest::newRow("import failure")
        << QStringList{Sample, "--sheet", "成绩", "--json"} << 2 << "\"number\":9";
    QTest::newRow("usage") << QStringList{"--bogus"} << 64 << "";
    QTest::newRow("plain text in UTF-8") << QStringList{Sample} << 0 << "20240102\t王芳\t92";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "--excellent-line 线";
    QTest::newRow("short help") << QStringList{Sample, "-h"} << 0 << "64  命令行无法理解";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "score-report 1.0.0\n";
    QTest::newRow("bad analysis setting")
        << QStringList{Sample, "--ranking", "olympic", "--analysis", "--json"} << 2
        << "名次方式输入有误";
}

void TestScoreReport::executable() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, stdoutHas);
    QProcess process;
    process.start(QStringLiteral(SCORE_REPORT_EXECUTABLE), arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), status);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    if (stdoutHas.isEmpty())
        QVERIFY(out.isEmpty());
    else
        QVERIFY2(out.contains(stdoutHas), qPrintable(out.left(300)));
}

void TestScoreReport::plainOutputKeepsOneLinePerRow() {
    // A cell holding a line break and a tab stays on its row's line.
    const QString workbook = QStringLiteral(SCORE_FIXTURES_DIR "/modern_libreoffice.xlsx");
    const report::Output plain = report::run({workbook});
    QCOMPARE(plain.status, report::ExitOk);
    const report::Output json = report::run({workbook, "--json"});
    const QJsonArray grid = jsonOf(json.out)["grid"].toArray();
    int filled = 0;
    bool hasLineBreak = false;
    for (const QJsonValue &row : grid) {
        const QJsonArray cells = row.toArray();
        if (cells[0].toString().isEmpty() && cells[1].toString().isEmpty() &&
            cells[2].toString().isEmpty())
            continue;
        ++filled;
        for (const QJsonValue &cell : cells)
            hasLineBreak = hasLineBreak || cell.toString().contains(u'\n');
    }
    QVERIFY(hasLineBreak);
    QCOMPARE(plain.out.count(u'\n'), 1 + filled); // the heading and one line a row
}

void TestScoreReport::analysisJson() {
    const report::Output output = report::run({Sample, "--analysis", "--json"});
    QCOMPARE(output.status, report::ExitOk);
    const QJsonObject root = jsonOf(output.out);
    QVERIFY(!root.contains("statistics"));
    const QJsonObject analysis = root["analysis"].toObject();
    QCOMPARE(analysis.keys(), (QStringList{"absent",
                                           "bands",
                                           "difficulty",
                                           "discrimination",
                                           "discriminationGroup",
                                           "excellent",
                                           "excellentOrGood",
                                           "exempt",
                                           "expected",
                                           "fail",
                                           "good",
                                           "highest",
                                           "highestStudents",
                                           "invalid",
                                           "low",
                                           "lowest",
                                           "lowestStudents",
                                           "mean",
                                           "median",
                                           "notes",
                                           "pass",
                                           "ranking",
                                           "rules",
                                           "sat",
                                           "settings",
                                           "standardDeviation",
                                           "total"}));
    QCOMPARE(analysis["settings"].toObject(), (QJsonObject{{"fullMarks", 100},
                                                           {"excellentLine", 85},
                                                           {"goodLine", 75},
                                                           {"passLine", 60},
                                                           {"lowLine", 40},
                                                           {"bandWidth", 10},
                                                           {"ranking", "competition"}}));
    QCOMPARE(analysis["expected"].toInt(), 30);
    QCOMPARE(analysis["total"].toDouble(), 2337.0);
    QCOMPARE(analysis["mean"].toDouble(), 77.9);
    QCOMPARE(analysis["median"].toDouble(), 78.5);
    QCOMPARE(analysis["excellent"].toObject(), (QJsonObject{{"count", 9}, {"rate", 30}}));
    QCOMPARE(analysis["bands"].toArray()[0].toObject(),
             (QJsonObject{{"from", 90}, {"to", 100}, {"count", 6}, {"percent", 20}}));
    QCOMPARE(
        analysis["ranking"].toArray()[0].toObject(),
        (QJsonObject{
            {"row", 13}, {"number", "20240113"}, {"name", "马超"}, {"score", 100}, {"rank", 1}}));
    QCOMPARE(analysis["notes"].toArray(),
             QJsonArray{"班级人数为空：分析了表格中有内容的全部30行。"});
    QVERIFY(analysis["rules"].toString().startsWith("满分100分；优秀线85分（满分的85%），"));

    // With a class size, rows 1..N after the sort, and the nine figures too.
    const QJsonObject sized = jsonOf(
        report::run({Sample, "--sort-column=2", "--class-size=3", "--analysis", "--json"}).out);
    QCOMPARE(sized["statistics"].toObject()["total"].toString(), QString("291"));
    QCOMPARE(sized["analysis"].toObject()["total"].toDouble(), 291.0);
    QCOMPARE(sized["analysis"].toObject()["notes"].toArray(),
             QJsonArray{"实考人数少于4人，不计算区分度。"});
}

void TestScoreReport::analysisAlignedByDisplayWidth() {
    const report::Output output = report::run({Sample, "--analysis"});
    QCOMPARE(output.status, report::ExitOk);
    const QStringList lines = output.out.split(u'\n');
    QVERIFY(lines.contains("等级    条件        人数  比率（%）"));
    QVERIFY(lines.contains("不及格  成绩<60        3      10.00"));
    QVERIFY(lines.contains("名次  行  学号      姓名  成绩"));
    QVERIFY(lines.contains("   1  13  20240113  马超   100"));
    QVERIFY(lines.contains("平均分    77.90"));
}

QTEST_GUILESS_MAIN(TestScoreReport)
#include "tst_scorereport.moc"
