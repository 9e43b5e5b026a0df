#include "cli/reportcommand.h"
#include "workbook/open/openworkbook.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Fixtures = QStringLiteral(SCORE_FIXTURES_DIR "/exam/");

// The hand-worked exam: 一班 A1-A4 and 二班 B1-B3 in 语文 (150 marks: 120,
// 100, 100, 免考 | 90, 130, 50), 数学 (90, 缺考, 60, 75 | 160, 60, 95) and
// 英语 (80 for all of 一班; 二班 did not take it).
const QStringList Totals{"--total", "语数=语文+数学", "--total", "总分=语文+数学+英语"};

QJsonObject exam(const QStringList &arguments) {
    const report::Output output = report::run(QStringList{"--subjects", "--json"} + arguments);
    return QJsonDocument::fromJson(output.out.toUtf8()).object();
}

QString number(const QJsonValue &value) {
    return value.isNull() ? u"null"_s : QString::number(value.toDouble(), 'f', 2);
}

QString whole(const QJsonValue &value) {
    return value.isNull() ? u"null"_s : QString::number(value.toInt());
}

// One line a student: number, totals, their grade and class ranks and T.
QStringList studentLines(const QJsonObject &root) {
    QStringList lines;
    for (const QJsonValue &v : root["students"_L1].toArray()) {
        const QJsonObject s = v.toObject();
        QStringList parts{s["class"_L1].toString(), s["number"_L1].toString()};
        for (const char *key : {"语文", "数学", "英语"})
            parts << s["states"_L1][QString::fromUtf8(key)].toString();
        for (const char *key : {"语数", "总分"}) {
            const QString k = QString::fromUtf8(key);
            parts << number(s["totals"_L1][k]) + u'#' + whole(s["gradeRanks"_L1][k]) + u'/' +
                         whole(s["classRanks"_L1][k]) + u" T"_s + number(s["t"_L1][k]);
        }
        lines << parts.join(u' ');
    }
    return lines;
}

QString readCell(analysis::Workbook &book, int sheet, int row, int column) {
    QString text;
    const int failure = book.cellText(sheet, row, column, &text);
    return failure ? QString::number(failure) : text;
}

} // namespace

class TestExam : public QObject {
    Q_OBJECT
private slots:
    void handWorked_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("one sheet, class column") << QStringList{Fixtures + u"one_sheet.xlsx"_s,
                                                                "--first-row",
                                                                "2",
                                                                "--class-column",
                                                                "1",
                                                                "--number-column",
                                                                "2",
                                                                "--name-column",
                                                                "3",
                                                                "--score-columns",
                                                                "D,E,F"};
        QTest::newRow("a file per class") << QStringList{Fixtures + u"classes/一班.xls"_s,
                                                         Fixtures + u"classes/二班.xls"_s,
                                                         "--first-row",
                                                         "2",
                                                         "--number-column",
                                                         "1",
                                                         "--name-column",
                                                         "2",
                                                         "--score-columns",
                                                         "C,D,E"};
        // The same file through a second name is read once: the figures stay.
        QTest::newRow("a file given twice")
            << QStringList{Fixtures + u"classes/一班.xls"_s,
                           Fixtures + u"classes/二班.xls"_s,
                           Fixtures + u"classes/../classes/一班.xls"_s,
                           "--first-row",
                           "2",
                           "--number-column",
                           "1",
                           "--name-column",
                           "2",
                           "--score-columns",
                           "C,D,E"};
        QTest::newRow("a folder, columns detected")
            << QStringList{Fixtures + u"classes"_s, "--columns", "auto"};
        // One row per student and subject, sorted by subject: 二班 has no 英语 rows.
        QTest::newRow("a long table, columns detected")
            << QStringList{Fixtures + u"long_table.xlsx"_s, "--columns", "auto"};
        QTest::newRow("a long table, columns typed") << QStringList{Fixtures + u"long_table.xlsx"_s,
                                                                    "--first-row",
                                                                    "3",
                                                                    "--class-column",
                                                                    "A",
                                                                    "--number-column",
                                                                    "B",
                                                                    "--name-column",
                                                                    "C",
                                                                    "--subject-column",
                                                                    "D",
                                                                    "--score-columns",
                                                                    "E"};
    }
    void handWorked() {
        QFETCH(QStringList, arguments);
        const QJsonObject root = exam(arguments + Totals);
        const QJsonArray subjects = root["subjects"_L1].toArray();
        QCOMPARE(subjects.size(), 3);
        // 语文: 590 over 6; population SD √(3883.33/6).
        QCOMPARE(subjects[0]["fullMarks"_L1].toDouble(), 150.0);
        QCOMPARE(number(subjects[0]["mean"_L1]), u"98.33"_s);
        QCOMPARE(number(subjects[0]["scoreRate"_L1]), u"65.56"_s);
        QCOMPARE(number(subjects[0]["standardDeviation"_L1]), u"25.44"_s);
        // 数学: 160 is above full marks; 380 over 5.
        QCOMPARE(subjects[1]["fullMarks"_L1].toDouble(), 100.0);
        QCOMPARE(subjects[1]["sat"_L1].toInt(), 5);
        QCOMPARE(number(subjects[1]["mean"_L1]), u"76.00"_s);
        QCOMPARE(subjects[2]["sat"_L1].toInt(), 4); // 英语: 二班 not absent
        QCOMPARE(subjects[2]["absent"_L1].toInt(), 0);
        QCOMPARE(
            studentLines(root),
            (QStringList{
                u"一班 A1 counted counted counted 210.00#1/1 T118.09 290.00#1/1 T118.09"_s,
                u"二班 B2 counted counted notTaken 190.00#2/1 T101.51 null#null/null Tnull"_s,
                u"一班 A3 counted counted counted 160.00#3/2 T89.72 240.00#2/2 T89.72"_s,
                u"二班 B3 counted counted notTaken 145.00#4/2 T93.99 null#null/null Tnull"_s,
                u"一班 A2 counted absent counted null#null/null Tnull null#null/null Tnull"_s,
                u"一班 A4 exempt counted counted null#null/null Tnull null#null/null Tnull"_s,
                u"二班 B1 counted invalid notTaken null#null/null Tnull null#null/null Tnull"_s}));
        // The tie at 100 in 语文 shares rank 3; T = 50 + 10 × (120 − 98.33) ÷ 25.44.
        const QJsonObject a1 = root["students"_L1][0].toObject();
        QCOMPARE(number(a1["t"_L1][u"语文"_s]), u"58.52"_s);
        QVERIFY(a1["t"_L1][u"英语"_s].isNull());
        QCOMPARE(root["students"_L1][2]["gradeRanks"_L1][u"语文"_s].toInt(), 3);
        QCOMPARE(root["students"_L1][4]["gradeRanks"_L1][u"语文"_s].toInt(), 3);
        // 超均率 of 语文: (106.67 − 98.33) ÷ 98.33 × 100 and (90 − 98.33) ÷ 98.33 × 100.
        const QJsonArray classes = root["classes"_L1].toArray();
        QCOMPARE(number(classes[0]["subjects"_L1][0]["aboveMeanRate"_L1]), u"8.47"_s);
        QCOMPARE(number(classes[1]["subjects"_L1][0]["aboveMeanRate"_L1]), u"-8.47"_s);
        QCOMPARE(classes[1]["subjects"_L1][0]["rank"_L1].toInt(), 2);
        QVERIFY(classes[1]["subjects"_L1][2]["mean"_L1].isNull());
        // 偏科 over 语数: B2's 数学 T 39.06 against 50.75; B3's 语文 31.00 against 46.99.
        const QJsonArray weak = root["weak"_L1].toArray();
        QCOMPARE(weak.size(), 2);
        QCOMPARE(weak[0]["number"_L1].toString() + weak[0]["subject"_L1].toString() +
                     number(weak[0]["t"_L1]) + u'/' + number(weak[0]["meanT"_L1]),
                 u"B2数学39.06/50.75"_s);
        QCOMPARE(weak[1]["number"_L1].toString() + weak[1]["subject"_L1].toString() +
                     number(weak[1]["t"_L1]) + u'/' + number(weak[1]["meanT"_L1]),
                 u"B3语文31.00/46.99"_s);
        // 临界生: excellent 212.5, pass 150, margin 12.5 of 250.
        const QJsonArray borderline = root["borderline"_L1].toArray();
        QCOMPARE(borderline.size(), 2);
        QCOMPARE(borderline[0]["line"_L1].toString() + borderline[0]["number"_L1].toString() +
                     number(borderline[0]["gap"_L1]) + borderline[0]["weakest"_L1].toString(),
                 u"excellentA12.50语文"_s);
        QCOMPARE(borderline[1]["line"_L1].toString() + borderline[1]["number"_L1].toString() +
                     number(borderline[1]["gap"_L1]) + borderline[1]["weakest"_L1].toString(),
                 u"passB35.00语文"_s);
        QVERIFY(root["notes"_L1].toArray().contains(
            u"语文有高于100分的成绩且都不超过150分，按满分150分计算。"_s));
    }

    // A subject given twice for one student counts once, the first time; a
    // row without a subject counts nowhere; both are said.
    void longTableRowsNotCounted() {
        const QString path = Fixtures + u"long_repeat.csv"_s;
        const QJsonObject root = exam({path, "--columns", "auto"});
        QStringList lines;
        for (const QJsonValue &v : root["students"_L1].toArray())
            lines << v["number"_L1].toString() + u' ' + number(v["scores"_L1][u"语文"_s]) + u' ' +
                         number(v["scores"_L1][u"数学"_s]) + u' ' +
                         number(v["totals"_L1][u"总分"_s]);
        // Both total 150 (C1's second 语文, 99, would make 169): source order.
        QCOMPARE(lines, (QStringList{u"C1 80.00 70.00 150.00"_s, u"C2 60.00 90.00 150.00"_s}));
        const QJsonArray notes = root["notes"_L1].toArray();
        QVERIFY(notes.contains(path + u"第5行：C1 王一的语文已有成绩，重复的这一行未计入。"_s));
        QVERIFY(notes.contains(path + u"第6行没有科目，未计入。"_s));
    }

    void settingsChangeFigures_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>(
            "expected"); // 语文's full marks, A1's 语文 rate; weak, borderline
        QTest::newRow("full marks set")
            << QStringList{"--full-marks-of", "语文=120"} << u"120 1 0"_s;
        QTest::newRow("dense ranks") << QStringList{"--ranking", "dense"} << u"150 2 2"_s;
        QTest::newRow("no margin") << QStringList{"--margin", "0"} << u"150 2 0"_s;
        QTest::newRow("margin 6 of 250") << QStringList{"--margin", "2.4%"} << u"150 2 2"_s;
    }
    void settingsChangeFigures() {
        QFETCH(QStringList, options);
        QFETCH(QString, expected);
        const QJsonObject root =
            exam(QStringList{Fixtures + u"classes"_s, "--columns", "auto"} + Totals + options);
        QCOMPARE(QStringLiteral("%1 %2 %3")
                     .arg(root["subjects"_L1][0]["fullMarks"_L1].toDouble())
                     .arg(root["weak"_L1].toArray().size())
                     .arg(root["borderline"_L1].toArray().size()),
                 expected);
    }

    // Dense ranks: the tie at 100 shares 3 and 90 follows as 4, not 5.
    void denseRanks() {
        const QJsonObject root =
            exam(QStringList{Fixtures + u"classes"_s, "--columns", "auto", "--ranking", "dense"});
        QStringList ranks;
        for (const QJsonValue &s : root["students"_L1].toArray())
            ranks << s["number"_L1].toString() + u'=' + whole(s["gradeRanks"_L1][u"语文"_s]);
        ranks.sort();
        QCOMPARE(ranks.join(u' '), u"A1=2 A2=3 A3=3 A4=null B1=4 B2=1 B3=5"_s);
        // The default total is 总分 over every subject: 二班 did not take 英语.
        QCOMPARE(root["totals"_L1][0]["name"_L1].toString(), u"总分"_s);
        QCOMPARE(root["totals"_L1][0]["fullMarks"_L1].toDouble(), 350.0);
        QCOMPARE(root["totals"_L1][0]["sat"_L1].toInt(), 2);
    }

    void refused_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString sheet = Fixtures + u"one_sheet.xlsx"_s;
        QTest::newRow("plain line")
            << QStringList{sheet, "--columns",   "auto", "--excellent-line", "85", "--good-line",
                           "75",  "--pass-line", "60",   "--low-line",       "40"}
            << 2 << u"多个学科时分数线须按满分的百分比给出（如85%），各学科按各自满分换算！"_s;
        QTest::newRow("unknown subject")
            << QStringList{sheet, "--columns", "auto", "--total", "文综=政治+历史"} << 2
            << u"没有名为“政治”的学科！"_s;
        QTest::newRow("bad full marks")
            << QStringList{sheet, "--columns", "auto", "--full-marks-of", "语文=abc"} << 2
            << u"学科满分输入有误：语文=abc（请写成 学科=分数，分数为1到1000，最多两位小数）！"_s;
        QTest::newRow("bad column")
            << QStringList{sheet, "--score-columns", "D,?"} << 2
            << u"列号输入有误：?（请输入从1起的列号或A、B、AA这样的列字母）！"_s;
        QTest::newRow("two scores of a long table")
            << QStringList{Fixtures + u"long_table.xlsx"_s, "--subject-column", "D",
                           "--score-columns", "E,F"}
            << 2 << u"一行一科的成绩表只有一个成绩列，请只给出一列！"_s;
        QTest::newRow("no columns")
            << QStringList{sheet} << 2
            << u"没有给出成绩所在的列（--score-columns 或 --columns auto）！"_s;
        QTest::newRow("pdf name wrong")
            << QStringList{sheet, "--columns", "auto", "--export", "/tmp/exam.txt"} << 2
            << u"导出文件名须以.xlsx、.csv或.pdf结尾：/tmp/exam.txt"_s;
    }
    void refused() {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, message);
        const report::Output output = report::run(QStringList{"--subjects"} + options);
        QCOMPARE(output.status, status);
        QCOMPARE(output.err.trimmed(), message);
    }

    void exportsReadBack() {
        QTemporaryDir folder;
        const QString xlsx = folder.filePath("exam.xlsx"), csv = folder.filePath("exam.csv");
        for (const QString &path : {xlsx, csv})
            QCOMPARE(report::run(QStringList{"--subjects", Fixtures + u"classes"_s, "--columns",
                                             "auto", "--export", path} +
                                 Totals)
                         .status,
                     0);
        int error = 0;
        const std::unique_ptr<analysis::Workbook> book = analysis::openWorkbook(xlsx, &error);
        QVERIFY(book);
        QCOMPARE(book->sheetNames(),
                 (QStringList{"成绩总表", "学科分析", "班级对比", "偏科与临界生", "说明"}));
        QCOMPARE(readCell(*book, 0, 2, 1), u"仅供教师使用，请勿公开"_s);
        QCOMPARE(readCell(*book, 0, 3, 4), u"语文"_s);
        QCOMPARE(readCell(*book, 0, 4, 2), u"A1"_s);
        QCOMPARE(readCell(*book, 0, 4, 16), u"210"_s); // 语数
        QCOMPARE(readCell(*book, 2, 2, 1), u"一班"_s); // 各班得分率
        QCOMPARE(readCell(*book, 2, 2, 2), u"71.11"_s);
        QCOMPARE(readCell(*book, 3, 2, 1), u"仅供教师使用，请勿公开"_s);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(u"\r\n"_s);
        QCOMPARE(lines[0], u"成绩总表"_s);
        QCOMPARE(lines[1], u"仅供教师使用，请勿公开"_s);
        QVERIFY(lines[3].startsWith(u"一班,A1,张一,120,2,1,58.52,"_s));
        // A source workbook is never written over.
        const QString source = Fixtures + u"classes/一班.xls"_s;
        const report::Output refused = report::run(
            {"--subjects", Fixtures + u"classes"_s, "--columns", "auto", "--export", source});
        QCOMPARE(refused.status, 2);
    }
    // The printed exam: its text searches as shown, student lists marked.
    void pdfText_data() {
        QTest::addColumn<QString>("expected");
        QTest::newRow("title") << u"考试分析"_s;
        QTest::newRow("grade rate") << u"语文 150 6 1 98.33 65.56"_s;
        QTest::newRow("class rates") << u"二班 60.00 77.50 无 67.00"_s;
        QTest::newRow("class chart") << u"二班各学科得分率 得分率（%）"_s;
        // 成绩总表 in parts that fit the page, each with who the row is.
        QTest::newRow("teachers only") << u"成绩总表（语文、数学、英语） 仅供教师使用，请勿公开"_s;
        QTest::newRow("scores in parts") << u"成绩总表（语数） 仅供教师使用，请勿公开"_s;
        QTest::newRow("a total's part") << u"一班 A1 张一 210 1 1 118.09 1"_s;
        QTest::newRow("weak") << u"二班 B3 李三 语文 31.00 46.99"_s;
        QTest::newRow("borderline") << u"优秀线 一班 A1 张一 210 2.5 语文"_s;
        QTest::newRow("note") << u"按满分150分计算"_s;
        QTest::newRow("rules") << u"口径说明"_s;
    }
    void pdfText() {
        QFETCH(QString, expected);
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir folder;
        const QString pdf = folder.filePath("exam.pdf");
        QProcess process;
        process.start(SCORE_REPORT_EXECUTABLE, QStringList{"--subjects", Fixtures + u"classes"_s,
                                                           "--columns", "auto", "--export", pdf} +
                                                   Totals.mid(0, 2));
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        process.start(pdftotext, {"-layout", pdf, "-"});
        QVERIFY(process.waitForFinished(60000));
        const QString text = QString::fromUtf8(process.readAllStandardOutput()).simplified();
        QVERIFY2(text.contains(expected), qPrintable(expected));
    }
};

QTEST_GUILESS_MAIN(TestExam)
#include "tst_exam.moc"
