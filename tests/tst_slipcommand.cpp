// score-report --slips as a teacher runs it, on the hand-worked class of
// tests/fixtures/make_slips.py: 语文 of 150 marks, 数学 of 100, 总分 of 250.
#include "tests/support/fulldisk.h"
#include "workbook/open/openworkbook.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Fixtures = QStringLiteral(SCORE_FIXTURES_DIR "/slips/");
const QStringList Columns{u"--columns"_s, u"auto"_s, u"--full-marks-of"_s, u"语文=150"_s};
const QStringList Titles{u"分数"_s,   u"等级"_s,   u"班级名次"_s,  u"年级名次"_s,
                         u"名次段"_s, u"比上次"_s, u"班级平均分"_s};
// Number and name of each student, in the order of the sheet (赵六 has no number).
const QStringList Numbers{u"2025001"_s, u"2025002"_s, u"2025003"_s, QString(), u"2025005"_s};
const QStringList Names{u"张三"_s, u"李/四"_s, u"王五"_s, u"赵六"_s, u"孙七"_s};

struct Run {
    int status = -1;
    QString out, err;
};

Run slips(const QTemporaryDir &folder, const QStringList &options) {
    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.start(SCORE_REPORT_EXECUTABLE,
                  QStringList{u"--slips"_s, Fixtures + u"本次.xlsx"_s} + Columns + options);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The text of one page (from 1), every space and line break taken out.
QString pageText(const QString &path, int page) {
    QProcess process;
    const QString number = QString::number(page);
    process.start(u"pdftotext"_s, {u"-f"_s, number, u"-l"_s, number, path, u"-"_s});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).remove(QRegularExpression(u"\\s"_s));
}

QStringList previous() {
    return {u"--previous"_s, Fixtures + u"上次.xlsx"_s};
}

} // namespace

class SlipCommandTest : public QObject {
    Q_OBJECT

private slots:
    void itemsOnPage_data();
    void itemsOnPage();
    void gradeEdges_data();
    void gradeEdges();
    void stripsWhole();
    void folder();
    void fullDisk();
    void xlsxStrips();
    void refused_data();
    void refused();
};

void SlipCommandTest::itemsOnPage_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("shown");  // the item titles on every slip
    QTest::addColumn<QString>("firstTable"); // 张三's table, spaces taken out
    QTest::newRow("compulsory") << QStringList() << QStringList{u"等级"_s, u"班级平均分"_s}
                                << u"语文A118.31数学A75.10总分A197.18"_s;
    QTest::newRow("senior, no last exam") << QStringList{u"--preset"_s, u"senior"_s}
                                          << QStringList{u"分数"_s, u"班级名次"_s, u"年级名次"_s}
                                          << u"语文127.52/42/4数学852/52/5总分212.52/42/4"_s;
    QTest::newRow("senior") << QStringList{u"--preset=senior"_s} + previous()
                            << QStringList{u"分数"_s, u"班级名次"_s, u"年级名次"_s, u"比上次"_s}
                            << u"语文127.52/42/4+7.5分，持平数学852/52/5+5分，持平"_s;
    QTest::newRow("score and band")
        << QStringList{u"--items"_s, u"score,band"_s} << QStringList{u"分数"_s, u"名次段"_s}
        << u"语文127.5年级前50%数学85年级前50%总分212.5年级前50%"_s;
    QTest::newRow("grade rank and change")
        << previous() + QStringList{u"--items"_s, u"gradeRank,change"_s}
        << QStringList{u"年级名次"_s, u"比上次"_s} << u"总分2/4+12.5分，持平"_s;
}

void SlipCommandTest::itemsOnPage() {
    QFETCH(QStringList, options);
    QFETCH(QStringList, shown);
    QFETCH(QString, firstTable);
    QTemporaryDir folder;
    const Run run =
        slips(folder, options + QStringList{u"--page-per-student"_s, u"--export"_s, u"s.pdf"_s});
    QCOMPARE(run.status, 0);
    for (int s = 0; s < 5; ++s) {
        const QString text = pageText(folder.filePath(u"s.pdf"_s), s + 1);
        QVERIFY2(text.contains(u"学号：%1姓名：%2"_s.arg(Numbers[s], Names[s])), qPrintable(text));
        for (int other = 0; other < 5; ++other)
            if (other != s)
                QVERIFY2(!text.contains(Names[other]) &&
                             (Numbers[other].isEmpty() || !text.contains(Numbers[other])),
                         qPrintable(Names[other]));
        for (const QString &title : Titles)
            QVERIFY2(text.contains(title) == shown.contains(title), qPrintable(title));
        if (s == 0) QVERIFY2(text.contains(firstTable), qPrintable(text));
        // The 教师评语 column has words for 王五 alone, on his slip alone.
        QCOMPARE(text.contains(u"教师评语：字迹工整，继续保持"_s), s == 2);
    }
    QCOMPARE(pageText(folder.filePath(u"s.pdf"_s), 6), QString());
}

// 85 % of 150 is 127.5, of 100 85, of 250 212.5; 84.99 % of 150 is 127.485,
// of 250 212.475; 85.5 % of 150 is 128.25, of 100 85.5, of 250 213.75. The
// good and pass lines (75 %, 60 %) are 112.5 and 90 of 150, 75 and 60 of 100,
// 187.5 and 150 of 250.
void SlipCommandTest::gradeEdges_data() {
    QTest::addColumn<QString>("excellent");
    QTest::addColumn<QStringList>("tables"); // each student's 等级 table
    QTest::addColumn<QString>("cutOffs");
    QTest::newRow("85 %")
        << u"85%"_s
        << QStringList{u"语文A数学A总分A"_s, u"语文B数学B总分B"_s, u"语文A数学A总分A"_s,
                       u"语文C数学D总分D"_s, u"语文—数学C总分—"_s}
        << u"即满分250：A≥212.5，B≥187.5，C≥150；满分150：A≥127.5，B≥112.5，C≥90；"
           "满分100：A≥85，B≥75，C≥60。"_s;
    QTest::newRow("84.99 %") << u"84.99%"_s
                             << QStringList{u"语文A数学A总分A"_s, u"语文A数学A总分A"_s,
                                            u"语文A数学A总分A"_s, u"语文C数学D总分D"_s,
                                            u"语文—数学C总分—"_s}
                             << u"A≥84.99%，B≥75%，C≥60%，D低于60%。即满分250：A≥212.475，B≥187.5，"
                                "C≥150；满分150：A≥127.485，"_s;
    QTest::newRow("85.5 %") << u"85.5%"_s
                            << QStringList{u"语文B数学B总分B"_s, u"语文B数学B总分B"_s,
                                           u"语文A数学A总分A"_s, u"语文C数学D总分D"_s,
                                           u"语文—数学C总分—"_s}
                            << u"即满分250：A≥213.75，B≥187.5，C≥150；满分150：A≥128.25，B≥112.5，"
                               "C≥90；满分100：A≥85.5，"_s;
}

void SlipCommandTest::gradeEdges() {
    QFETCH(QString, excellent);
    QFETCH(QStringList, tables);
    QFETCH(QString, cutOffs);
    QTemporaryDir folder;
    const Run run = slips(folder, {u"--excellent-line"_s, excellent, u"--items"_s, u"grade"_s,
                                   u"--page-per-student"_s, u"--export"_s, u"s.pdf"_s});
    QCOMPARE(run.status, 0);
    for (int s = 0; s < 5; ++s) {
        const QString text = pageText(folder.filePath(u"s.pdf"_s), s + 1);
        QVERIFY2(text.contains(u"科目等级"_s + tables[s] + u"等级按"_s), qPrintable(text));
        QVERIFY2(text.contains(cutOffs), qPrintable(text));
    }
}

// A4 holds four of these strips: the fifth moves whole onto page 2, and
// every page holds as many student lines as preset lines (a strip's last).
void SlipCommandTest::stripsWhole() {
    QTemporaryDir folder;
    QCOMPARE(slips(folder, {u"--export"_s, u"s.pdf"_s}).status, 0);
    const QString first = pageText(folder.filePath(u"s.pdf"_s), 1);
    const QString second = pageText(folder.filePath(u"s.pdf"_s), 2);
    QCOMPARE(first.count(u"学号："_s), 4);
    QCOMPARE(first.count(u"预设："_s), 4);
    QCOMPARE(second.count(u"学号："_s), 1);
    QCOMPARE(second.count(u"预设："_s), 1);
    QVERIFY(second.contains(u"孙七"_s) && !second.contains(u"张三"_s));
}

// An unrelated file of a student's name stays byte for byte; a rerun
// replaces its own slips instead of adding copies.
void SlipCommandTest::folder() {
    QTemporaryDir folder;
    QDir(folder.path()).mkdir(u"每人"_s);
    const QString mine = folder.filePath(u"每人/2025003 王五.pdf"_s);
    QFile file(mine);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4 教师自己的文件\n");
    file.close();
    const QStringList options{u"--per-student-folder"_s, u"每人"_s, u"--export"_s, u"全班.pdf"_s};
    QCOMPARE(slips(folder, options).status, 0);
    const Run again = slips(folder, options);
    QCOMPARE(again.status, 0);
    QCOMPARE(
        QDir(folder.filePath(u"每人"_s)).entryList(QDir::Files),
        (QStringList{u"2025001 张三.pdf"_s, u"2025002 李_四.pdf"_s, u"2025003 王五.pdf"_s,
                     u"2025003 王五（2）.pdf"_s, u"2025005 孙七.pdf"_s, u"无学号 赵六.pdf"_s}));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("%PDF-1.4 教师自己的文件\n"));
    QVERIFY2(again.out.contains(u"学号“2025002”姓名“李/四”的成绩条另存为：2025002 李_四.pdf\n"
                                "学号“2025003”姓名“王五”的成绩条另存为：2025003 王五（2）.pdf\n"
                                "学号“”姓名“赵六”的成绩条另存为：无学号 赵六.pdf\n"_s),
             qPrintable(again.out));
    const QString own = pageText(folder.filePath(u"每人/2025002 李_四.pdf"_s), 1);
    QVERIFY(own.contains(u"李/四"_s) && !own.contains(u"张三"_s) && !own.contains(u"王五"_s));
    QCOMPARE(pageText(folder.filePath(u"全班.pdf"_s), 2).count(u"学号："_s), 1);
}

// Every file of a folder, name and bytes.
static QMap<QString, QByteArray> filesOf(const QString &path) {
    QMap<QString, QByteArray> files;
    const QDir folder(path);
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden)) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly)) files.insert(name, file.readAll());
    }
    return files;
}

// The disk fills up: a rerun leaves the slips written before as they were;
// a new folder gets complete files only, and the run says how many.
void SlipCommandTest::fullDisk() {
    FullDisk disk(u"old"_s, 62);
    if (!disk.unavailable().isEmpty()) QSKIP(qPrintable(disk.unavailable()));
    QVERIFY(disk.filled());
    QTemporaryDir work;
    const QStringList first{u"--per-student-folder"_s, disk.path(u"每人"_s), u"--export"_s,
                            disk.path(u"全班.pdf"_s)};
    QCOMPARE(slips(work, first).status, 0);
    const QMap<QString, QByteArray> before = filesOf(disk.path(u"每人"_s));
    QCOMPARE(before.size(), 5);
    QFile filler(disk.path(u"filler"_s));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'x')) == 4096) {
    }
    const Run full = slips(work, first + QStringList{u"--preset"_s, u"senior"_s});
    QCOMPARE(full.status, 2);
    QVERIFY2(full.err.contains(u"磁盘已满"_s), qPrintable(full.err));
    QCOMPARE(filesOf(disk.path(u"每人"_s)), before);
    // Room for the one file and some of the students' files, not for all.
    QVERIFY(filler.size() >= 4096 * 15);
    QVERIFY(filler.resize(filler.size() - 4096 * 15));
    const Run partly = slips(work, {u"--per-student-folder"_s, disk.path(u"新"_s), u"--export"_s,
                                    disk.path(u"全班.xlsx"_s)});
    QCOMPARE(partly.status, 2);
    // The strips workbook was written before the folder filled the disk.
    QVERIFY2(
        partly.err.contains(u"成绩条已导出到：%1（5 名学生）"_s.arg(disk.path(u"全班.xlsx"_s))),
        qPrintable(partly.err));
    const QRegularExpressionMatch said =
        QRegularExpression(u"只写入了(\\d)个文件（共5名学生）"_s).match(partly.err);
    QVERIFY2(said.hasMatch(), qPrintable(partly.err));
    const QMap<QString, QByteArray> written = filesOf(disk.path(u"新"_s));
    QCOMPARE(written.size(), said.captured(1).toInt());
    QVERIFY(written.size() < 5);
    for (auto file = written.begin(); file != written.end(); ++file)
        QVERIFY2(file.key().endsWith(u".pdf"_s) && file.value().trimmed().endsWith("%%EOF"),
                 qPrintable(file.key()));
}

// Class means: 语文 (127.5 + 127.49 + 128.25 + 90) ÷ 4 = 118.31, 数学 375.48 ÷ 5
// = 75.096, 总分 788.72 ÷ 4 = 197.18 (孙七 was absent in 语文).
void SlipCommandTest::xlsxStrips() {
    QTemporaryDir folder;
    QCOMPARE(slips(folder, {u"--export"_s, u"条.xlsx"_s}).status, 0);
    int error = 0;
    const auto book = analysis::openWorkbook(folder.filePath(u"条.xlsx"_s), &error);
    QVERIFY(book);
    QStringList rows;
    for (int r = 1; r <= 6; ++r) {
        QStringList cells;
        for (int c = 1; c <= 8; ++c) {
            QString text;
            book->cellText(0, r, c, &text);
            cells << text;
        }
        rows << cells.join(u'|');
    }
    const QString header = u"学号|姓名|语文等级|语文班级平均分|数学等级|数学班级平均分|总分等级|"
                           "总分班级平均分"_s;
    QCOMPARE(rows,
             (QStringList{header, u"2025001|张三|A|118.31|A|75.10|A|197.18"_s, u"|||||||"_s, header,
                          u"2025002|李/四|B|118.31|B|75.10|B|197.18"_s, u"|||||||"_s}));
}

void SlipCommandTest::refused_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QStringList pdf{u"--export"_s, u"s.pdf"_s};
    QTest::newRow("preset") << pdf + QStringList{u"--preset"_s, u"primary"_s} << 2
                            << u"成绩条预设输入有误"_s;
    QTest::newRow("item") << pdf + QStringList{u"--items"_s, u"score,rank"_s} << 2
                          << u"成绩条项目输入有误"_s;
    QTest::newRow("change without last exam")
        << pdf + QStringList{u"--items"_s, u"grade,change"_s} << 2
        << u"成绩条项目change（比上次）需要上次考试的成绩"_s;
    QTest::newRow("csv") << QStringList{u"--export"_s, u"s.csv"_s} << 2
                         << u"成绩条的导出文件名须以.pdf或.xlsx结尾"_s;
    QTest::newRow("page per student in xlsx")
        << QStringList{u"--export"_s, u"s.xlsx"_s, u"--page-per-student"_s} << 2
        << u"选项--page-per-student只用于.pdf文件"_s;
    QTest::newRow("no export") << QStringList() << 64 << u"成绩条需要用--export给出导出文件"_s;
    QTest::newRow("previous without source")
        << QStringList{u"--previous"_s} + pdf << 64 << u"选项--previous需要上次考试的来源"_s;
    QTest::newRow("unknown") << pdf + QStringList{u"--colour"_s} << 64
                             << u"无法识别的选项：--colour"_s;
}

void SlipCommandTest::refused() {
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir folder;
    const Run run = slips(folder, options);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(SlipCommandTest)

#include "tst_slipcommand.moc"
