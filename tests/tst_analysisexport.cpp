#include "cli/reportcommand.h"
#include "workbook/open/openworkbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Fixtures = QStringLiteral(SCORE_FIXTURES_DIR "/");
const QString Class = Fixtures + "analysis_class.xlsx";

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// A CSV text as gnumeric writes it; these hold no field that needs quotes.
QList<QStringList> parseCsv(const QString &text) {
    QList<QStringList> rows;
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
        rows << line.split(u',');
    return rows;
}

// The texts of a sheet, as our reader shows them, over rows × columns.
QList<QStringList> sheetTexts(const QString &path, const QString &sheet, qsizetype rows,
                              qsizetype columns) {
    int error = 0;
    const std::unique_ptr<analysis::Workbook> book = analysis::openWorkbook(path, &error);
    QList<QStringList> texts;
    const int index = book ? book->sheetIndex(sheet) : -1;
    for (int r = 1; index >= 0 && r <= rows; ++r) {
        texts.append(QStringList{});
        for (int c = 1; c <= columns; ++c) {
            QString text;
            book->cellText(index, r, c, &text);
            texts.last() << text;
        }
    }
    return texts;
}

// Texts agree when equal, or when both are numbers within 1e-9: gnumeric
// shows a figure with its format's two decimals, our reader in general form.
QString firstDifference(const QList<QStringList> &ours, const QList<QStringList> &theirs) {
    if (ours.size() != theirs.size()) return QStringLiteral("%1 rows").arg(ours.size());
    for (qsizetype r = 0; r < ours.size(); ++r)
        for (qsizetype c = 0; c < theirs[r].size() || c < ours[r].size(); ++c) {
            if (c >= theirs[r].size() || c >= ours[r].size())
                return QStringLiteral("row %1").arg(r + 1);
            bool a = false, b = false;
            const double x = ours[r][c].toDouble(&a), y = theirs[r][c].toDouble(&b);
            if (ours[r][c] != theirs[r][c] && !(a && b && std::fabs(x - y) <= 1e-9))
                return QStringLiteral("row %1 column %2: %3, not %4")
                    .arg(r + 1)
                    .arg(c + 1)
                    .arg(ours[r][c], theirs[r][c]);
        }
    return {};
}

} // namespace

class TestAnalysisExport : public QObject {
    Q_OBJECT
private slots:
    void xlsxAsSpreadsheetShowsIt_data();
    void xlsxAsSpreadsheetShowsIt();
    void csvWithByteOrderMark();
    void failedExportKeepsEveryFile_data();
    void failedExportKeepsEveryFile();
    void replacesExistingFileKeepingItsMode();
};

void TestAnalysisExport::xlsxAsSpreadsheetShowsIt_data() {
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("csv"); // the committed export as gnumeric saved it
    QTest::newRow("成绩") << "成绩"
                          << "analysis_export_sheet0.csv";
    QTest::newRow("分析") << "分析"
                          << "analysis_export_sheet1.csv";
}

// The committed export reads as gnumeric shows it, and a fresh export of the
// same class holds the texts gnumeric showed.
void TestAnalysisExport::xlsxAsSpreadsheetShowsIt() {
    QFETCH(QString, sheet);
    QFETCH(QString, csv);
    const QList<QStringList> shown = parseCsv(QString::fromUtf8(contents(Fixtures + csv)));
    QVERIFY(shown.size() > 10);
    const QList<QStringList> committed =
        sheetTexts(Fixtures + "analysis_export.xlsx", sheet, shown.size(), shown[0].size());
    QCOMPARE(firstDifference(committed, shown), QString());

    QTemporaryDir dir;
    const QString fresh = dir.filePath("新导出.XLSX");
    const report::Output output = report::run({Class, "--export", fresh});
    QCOMPARE(output.status, 0);
    QCOMPARE(firstDifference(sheetTexts(fresh, sheet, shown.size(), shown[0].size()), shown),
             QString());
}

// The blocks in their order, each a title line, its header and its rows,
// closed by an empty line; every line ends in CR LF.
void TestAnalysisExport::csvWithByteOrderMark() {
    QTemporaryDir dir;
    const QString path = dir.filePath("class.csv");
    QCOMPARE(report::run({Class, "--json", "--export", path}).status, 0);
    const QByteArray bytes = contents(path);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QStringList titles{lines[0]};
    for (qsizetype i = 1; i + 1 < lines.size(); ++i)
        if (lines[i].isEmpty()) titles << lines[i + 1];
    QCOMPARE(titles, (QStringList{"名次表", "成绩质量分析", "等级", "分数段", "说明", "口径说明"}));
    QCOMPARE(lines[1], QString("名次,行,学号,姓名,成绩"));
    QCOMPARE(lines[2], QString("1,8,20240108,黄勇,100"));
    QCOMPARE(lines[3], QString("2,2,20240102,王芳,92"));
    QCOMPARE(lines[4], QString("2,7,20240107,赵敏,92"));
    QCOMPARE(lines[15], QString("缺考,4,20240104,刘洋,缺考"));
    QCOMPARE(lines[19], QString("缺考,17,20240117,何平,"));
    QVERIFY(lines.contains("免考,6,20240106,杨磊,免考"));
    QVERIFY(lines.contains("项目,数值,说明"));
    QVERIFY(lines.contains("平均分,71.42,"));
    QVERIFY(lines.contains("标准差,26.02,总体标准差，除以实考人数"));
    QVERIFY(lines.contains("等级,条件,人数,比率（%）"));
    QVERIFY(lines.contains("80≤成绩<90,3,23.08"));
    QVERIFY(lines.contains("0≤成绩<10,1,7.69"));
}

void TestAnalysisExport::failedExportKeepsEveryFile_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message"); // followed by the target's path

    const QString cannot = "无法写入导出文件，请检查文件夹是否存在、是否允许写入：";
    const QString source = "导出文件不能覆盖正在读取的工作簿：";
    QTest::newRow("directory") << "folder.xlsx"
                               << "导出路径是一个文件夹，请给出文件名：";
    QTest::newRow("below a regular file") << "old.xlsx/new.xlsx" << cannot;
    QTest::newRow("missing folder") << "missing/new.csv" << cannot;
    QTest::newRow("the workbook read") << "class.xlsx" << source;
    QTest::newRow("the workbook through a symbolic link") << "link.xlsx" << source;
    QTest::newRow("the workbook through a hard link") << "hard.xlsx" << source;
    QTest::newRow("another kind of file") << "old.txt"
                                          << "导出文件名须以.xlsx、.csv或.pdf结尾：";
}

void TestAnalysisExport::failedExportKeepsEveryFile() {
    QFETCH(QString, target);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(QFile::copy(Class, dir.filePath("class.xlsx")));
    QVERIFY(QDir(dir.path()).mkdir("folder.xlsx"));
    for (const char *name : {"old.xlsx", "old.txt"}) {
        QFile old(dir.filePath(name));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old bytes") == 9);
    }
    QVERIFY(QFile::link(dir.filePath("class.xlsx"), dir.filePath("link.xlsx")));
    QVERIFY(::link(qPrintable(dir.filePath("class.xlsx")), qPrintable(dir.filePath("hard.xlsx"))) ==
            0);
    const auto snapshot = [&dir] {
        QStringList files;
        for (const QString &name :
             QDir(dir.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System))
            files << name + u'=' + QString::fromLatin1(contents(dir.filePath(name)).toHex());
        return files;
    };
    const QStringList before = snapshot();

    const QString path = dir.filePath(target);
    const report::Output output = report::run({dir.filePath("link.xlsx"), "--export", path});
    QCOMPARE(output.status, 2);
    QCOMPARE(output.err, message + path + u'\n');
    QCOMPARE(snapshot(), before);
}

void TestAnalysisExport::replacesExistingFileKeepingItsMode() {
    QTemporaryDir dir;
    const QString path = dir.filePath("report.csv");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old bytes") == 9);
    old.close();
    QVERIFY(::chmod(qPrintable(path), 0640) == 0);
    QCOMPARE(report::run({Class, "--export", path}).status, 0);
    QVERIFY(contents(path).startsWith("\xEF\xBB\xBF名次表\r\n名次,行,学号,姓名,成绩\r\n"));
    struct stat status {};
    QVERIFY(::stat(qPrintable(path), &status) == 0);
    QCOMPARE(status.st_mode & 0777, 0640u);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"report.csv"});
}

QTEST_GUILESS_MAIN(TestAnalysisExport)
#include "tst_analysisexport.moc"
