#include "cli/reportcommand.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Sample = QStringLiteral(SCORE_SAMPLES_DIR "/class.xls");
} // namespace

class TestScoreReport : public QObject {
    Q_OBJECT
private slots:
    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("why");
        QTest::newRow("unknown option")
            << QStringList{Sample, "--colour", "red"} << u"无法识别的选项：--colour"_s;
        QTest::newRow("missing value")
            << QStringList{Sample, "--sheet"} << u"选项--sheet需要一个值"_s;
        QTest::newRow("band without colon")
            << QStringList{Sample, "--good", "85"} << u"--good的值须为“下限:上限”"_s;
        QTest::newRow("sort column out of range")
            << QStringList{Sample, "--sort-column", "3"} << u"--sort-column的值须为0、1或2"_s;
        QTest::newRow("two workbooks")
            << QStringList{Sample, "--", Sample} << u"只能给出一个工作簿"_s;
    }

    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, why);
        const report::Output output = report::run(arguments);
        QCOMPARE(output.status, 64);
        QCOMPARE(output.err, u"score-report："_s + why +
                                 u"\n用法：score-report 工作簿 [选项…]；score-report --help "
                                 u"列出全部选项。\n"_s);
    }

    // The manual page is the full reference of the command line and the two
    // --help texts its short form: they name the same options. The help the
    // windows show names none.
    void manualAndHelpNameTheSameOptions() {
        const auto options = [](QString text) {
            text.replace(u"\\-"_s, u"-"_s); // the manual's escaped hyphens
            QStringList found;
            for (const QRegularExpressionMatch &match :
                 QRegularExpression(u"--[a-z][a-z-]*"_s).globalMatch(text))
                found << match.captured();
            found.removeDuplicates();
            found.sort();
            return found;
        };
        QFile manual(QStringLiteral(SCORE_FIXTURES_DIR "/../../packaging/man/score-report.1"));
        QFile windows(QStringLiteral(SCORE_FIXTURES_DIR "/../../windows/help/Help.txt"));
        QVERIFY(manual.open(QIODevice::ReadOnly) && windows.open(QIODevice::ReadOnly));
        const QStringList help =
            options(report::run({"--help"}).out + u' ' + report::run({"--compare", "--help"}).out +
                    u' ' + report::run({"--subjects", "--help"}).out);
        QVERIFY(help.contains(u"--compare"_s) && help.contains(u"--sort-column"_s));
        QCOMPARE(options(QString::fromUtf8(manual.readAll())), help);
        QCOMPARE(options(QString::fromUtf8(windows.readAll())), QStringList());
    }

    // A title row above the header: what --detect finds, in both forms.
    void detect_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("found"); // a line of the table, or a JSON member
        const QString title = QStringLiteral(SCORE_FIXTURES_DIR "/layout_title_xlwt.xls");
        QTest::newRow("sheet") << QStringList{"--detect", title} << u"工作表\t初二3班"_s;
        QTest::newRow("header row") << QStringList{"--detect", title} << u"表头行\t第2行"_s;
        QTest::newRow("rows") << QStringList{"--detect", title} << u"数据行\t第3行至第12行"_s;
        QTest::newRow("second subject")
            << QStringList{"--detect", title} << u"成绩列\t第5列\t数学"_s;
        QTest::newRow("total") << QStringList{"--detect", title} << u"总分列\t第7列\t总分"_s;
        QTest::newRow("json rows")
            << QStringList{"--detect", "--json", title}
            << u"\"firstRow\":3,\"headerRow\":2,\"lastRow\":12,\"nameColumn\":2"_s;
        QTest::newRow("json scores")
            << QStringList{"--detect", title, "--json"}
            << u"\"scores\":[{\"column\":4,\"header\":\"语文\"},{\"column\":5,\"header\":"
               u"\"数学\"},{\"column\":6,\"header\":\"英语\"}]"_s;
        QTest::newRow("json total and rank") << QStringList{"--detect", "--json", title}
                                             << u"\"rank\":{\"column\":8,\"header\":\"名次\"}"_s;
        QTest::newRow("json columns")
            << QStringList{"--json", "--detect", title} << u"{\"classColumn\":3,\"firstRow\":3"_s;
        QTest::newRow("json note")
            << QStringList{"--detect", "--json", title}
            << u"\"notes\":[\"在工作表“初二3班”第2行找到表头\"],\"numberColumn\":1"_s;
    }

    void detect() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, found);
        const report::Output output = report::run(arguments);
        QCOMPARE(output.status, 0);
        QVERIFY2(output.out.contains(found), qPrintable(output.out));
    }

    // --columns auto in the analysis takes the ten students between the
    // header and the 平均分 row: 60+67+74+81+88+95+62+69+76+83 = 755.
    void columnsAutoAnalysis() {
        const report::Output output =
            report::run({QStringLiteral(SCORE_FIXTURES_DIR "/layout_title_xlwt.xls"), "--columns",
                         "auto", "--analysis", "--json"});
        QCOMPARE(output.status, 0);
        const QJsonObject analysis =
            QJsonDocument::fromJson(output.out.toUtf8()).object()["analysis"_L1].toObject();
        QCOMPARE(analysis["expected"_L1].toInt(), 10);
        QCOMPARE(analysis["absent"_L1].toInt(), 0);
        QCOMPARE(analysis["total"_L1].toDouble(), 755.0);
        QCOMPARE(analysis["ranking"_L1].toArray()[0].toObject()["name"_L1].toString(), u"孙八"_s);
        QCOMPARE(output.err, u"自动识别：工作表“初二3班”，数据起始行3，学号第1列，姓名第2列，"
                             u"成绩第4列\n"_s);
    }

    void columnsAutoRows_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("students");
        const QString title = QStringLiteral(SCORE_FIXTURES_DIR "/layout_title_xlwt.xls");
        const QString emptyRow = QStringLiteral(SCORE_FIXTURES_DIR "/grade/三班.xls");
        // Ten students above 平均分 and 制表人.
        QTest::newRow("compare, one sheet") << QStringList{"--compare", title} << 10;
        QTest::newRow("compare, every sheet") << QStringList{"--compare", title + u":*"_s} << 10;
        QTest::newRow("exam") << QStringList{"--subjects", title} << 10;
        // 100, 50, an empty row, 60, 30: the empty row ends nothing.
        QTest::newRow("compare, an empty row") << QStringList{"--compare", emptyRow} << 4;
        QTest::newRow("exam, an empty row") << QStringList{"--subjects", emptyRow} << 4;
    }

    // The class found by the header ends above its footer, not at an empty row.
    void columnsAutoRows() {
        QFETCH(QStringList, arguments);
        QFETCH(int, students);
        const report::Output output =
            report::run(arguments + QStringList{"--columns", "auto", "--json"});
        QCOMPARE(output.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(output.out.toUtf8()).object();
        const int read = arguments[0] == "--compare"_L1
                             ? json["classes"_L1][0]["expected"_L1].toInt()
                             : int(json["students"_L1].toArray().size());
        QCOMPARE(read, students);
    }

    void analysisJson() {
        const QJsonObject analysis =
            QJsonDocument::fromJson(report::run({Sample, "--analysis", "--json"}).out.toUtf8())
                .object()["analysis"_L1]
                .toObject();
        QCOMPARE(analysis["expected"_L1].toInt(), 30);
        QCOMPARE(analysis["total"_L1].toDouble(), 2337.0);
        QCOMPARE(analysis["mean"_L1].toDouble(), 77.9);
        QCOMPARE(analysis["median"_L1].toDouble(), 78.5);
        QCOMPARE(analysis["excellent"_L1].toObject(), (QJsonObject{{"count", 9}, {"rate", 30}}));
        QCOMPARE(analysis["bands"_L1].toArray()[0].toObject(),
                 (QJsonObject{{"from", 90}, {"to", 100}, {"count", 6}, {"percent", 20}}));
        QCOMPARE(analysis["ranking"_L1].toArray()[0].toObject(),
                 (QJsonObject{{"row", 13},
                              {"number", "20240113"},
                              {"name", u"马超"_s},
                              {"score", 100},
                              {"rank", 1}}));
        QCOMPARE(analysis["notes"_L1].toArray(),
                 QJsonArray{u"班级人数为空：分析了表格中有内容的全部30行。"_s});
    }

    void analysisAlignedByDisplayWidth() {
        const QStringList lines = report::run({Sample, "--analysis"}).out.split(u'\n');
        QVERIFY(lines.contains(u"不及格  成绩<60        3      10.00"_s));
        QVERIFY(lines.contains(u"   1  13  20240113  马超   100"_s));
        QVERIFY(lines.contains(u"平均分    77.90"_s));
    }

    void sortedFiguresInJson() {
        // Sorted by score, the first three are 马超 100, 宋涛 96 and 黄勇 95.
        const report::Output output =
            report::run({"--sheet=sheet1", Sample, "--sort-column=2", "--class-size=3",
                         "--excellent=96:100", "--good", "90:96", "--json"});
        QCOMPARE(output.status, 0);
        QVERIFY(output.out.startsWith(
            R"({"grid":[["20240113","马超","100"],["20240124","宋涛","96"],)"));
        QCOMPARE(output.out.section(R"("statistics":)", 1),
                 R"({"average":"97","excellent":"2","excellentRate":"66.6666666666667",)"
                 R"("failing":"0","good":"1","goodRate":"33.3333333333333","passRate":"100",)"
                 R"("qualified":"0","total":"291"}})"
                 "\n");
    }

    void plainTable() {
        // Columns picked apart: the name from column 3, the score from column 2.
        const report::Output output =
            report::run({Sample, "--first-row", "30", "--number-column", "1", "--name-column", "3",
                         "--score-column", "2", "--class-size", "2"});
        QCOMPARE(output.out,
                 QString("行\t学号\t姓名\t成绩\n"
                         "1\t20240129\t76\t邓洁\n"
                         "2\t20240130\t82\t曹阳\n\n"
                         "总成绩：0\n平均成绩：0\n优秀人数：0\n良好人数：0\n合格人数：0\n"
                         "不及格人数：2\n优秀率：0 %\n及格率：0 %\n良好率：0 %\n"));
        // A line break or a tab inside a cell stays on its row's line.
        const QString cells = QStringLiteral(SCORE_FIXTURES_DIR "/modern_libreoffice.xlsx");
        QCOMPARE(report::run({cells, "--first-row", "27"}).out.section(u'\n', 1, 2),
                 QString("1\t2024026\t第一行 第二行\t80\n2\t2024027\t甲 乙\t90"));
    }

    void executable_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        QTest::newRow("import failure, with its number")
            << QStringList{Sample, "--sheet", "成绩", "--json"} << 2
            << u"{\"error\":{\"message\":\"输入表格名称有误，无法打开表格，请重新输入！\",\"number\":9}}\n"_s;
        QTest::newRow("refused field, without a number")
            << QStringList{Sample, "--first-row", "0", "--json"} << 2
            << u"{\"error\":{\"message\":\"数据起始行输入有误，请输入1到32668之间的行号！\"}}\n"_s;
        QTest::newRow("usage") << QStringList{"--bogus"} << 64 << QString();
        QTest::newRow("analysis: full marks 0")
            << QStringList{Sample, "--analysis", "--full-marks=0", "--json"} << 2
            << u"{\"error\":{\"message\":\"满分输入有误，请输入1到1000之间的分数（最多两位小数）！\"}}\n"_s;
        QTest::newRow("analysis: settings checked before the workbook is read")
            << QStringList{"/nonexistent/class.xls", "--analysis", "--pass-line", "90", "--json"}
            << 2
            << u"{\"error\":{\"message\":\"分数线输入有误，须满足：低分线 ≤ 及格线 ≤ 良好线 ≤ 优秀线！\"}}\n"_s;
        QTest::newRow("export: not .xlsx or .csv")
            << QStringList{Sample, "--export", "/tmp/report.txt", "--json"} << 2
            << u"{\"error\":{\"message\":\"导出文件名须以.xlsx、.csv或.pdf结尾：/tmp/report.txt\"}}\n"_s;
        QTest::newRow("version") << QStringList{"--version"} << 0 << u"score-report 1.0.0\n"_s;
    }

    void executable() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, output);
        QProcess process;
        process.start(QStringLiteral(SCORE_REPORT_EXECUTABLE), arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), status);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), output);
    }

    // The PDF from the command line, without a display; and a clear failure
    // when the program lies without its PDF module.
    void pdfReport_data() {
        QTest::addColumn<bool>("withModule");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("found"); // in the PDF's text, or in the message
        QTest::newRow("module beside the program") << true << 0 << u"学校：实验中学"_s;
        QTest::newRow("module missing") << false << 2 << u"无法载入生成PDF的模块"_s;
    }

    void pdfReport() {
        QFETCH(bool, withModule);
        QFETCH(int, status);
        QFETCH(QString, found);
        QTemporaryDir folder;
        QString program = QStringLiteral(SCORE_REPORT_EXECUTABLE);
        if (!withModule) {
            QVERIFY(QFile::copy(program, folder.filePath(u"score-report"_s)));
            program = folder.filePath(u"score-report"_s);
        }
        QProcess process;
        process.setProcessEnvironment(QProcessEnvironment()); // no display
        process.start(program, {Sample, "--class-size", "30", "--school", u"实验中学"_s, "--date",
                                "2024-11-08", "--export", folder.filePath(u"r.pdf"_s)});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), status);
        QProcess text;
        text.start(u"pdftotext"_s, {folder.filePath(u"r.pdf"_s), u"-"_s});
        QVERIFY(text.waitForFinished(60000));
        const QString shown =
            QString::fromUtf8(text.readAllStandardOutput() + process.readAllStandardError());
        QVERIFY2(shown.contains(found), qPrintable(shown));
        QCOMPARE(shown.contains(u"2024-11-08"_s), withModule);
    }
};

QTEST_GUILESS_MAIN(TestScoreReport)
#include "tst_scorereport.moc"
