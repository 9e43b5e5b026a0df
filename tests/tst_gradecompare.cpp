#include "analysis/grade/gradecomparison.h"
#include "cli/reportcommand.h"
#include "workbook/open/openworkbook.h"
#include "workbook/workbook.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Fixtures = QStringLiteral(SCORE_FIXTURES_DIR "/");
const QString Class1 = Fixtures + u"grade/一班.xlsx"_s, Class2 = Fixtures + u"grade/二班.ods"_s,
              Class3 = Fixtures + u"grade/三班.xls"_s, Sheets = Fixtures + u"grade_sheets.xlsx"_s;

QString number(const QJsonValue &value) {
    return value.isNull() ? u"null"_s : QString::number(value.toDouble(), 'g', 8);
}

// A class's or the grade's figures on one line, as a reader checks them by hand.
QString figures(const QJsonObject &o) {
    QStringList parts;
    for (const char *key : {"expected", "sat", "absent", "mean", "aboveMeanRate", "highest",
                            "lowest", "standardDeviation"})
        if (o.contains(QLatin1String(key))) parts << number(o[QLatin1String(key)]);
    for (const char *key : {"excellent", "pass", "low", "excellentOrGood"})
        parts << number(o[QLatin1String(key)]["count"_L1]) + u'/' +
                     number(o[QLatin1String(key)]["rate"_L1]);
    QStringList bands;
    for (const QJsonValue &band : o["bands"_L1].toArray())
        bands << number(band["count"_L1]);
    parts << u'[' + bands.join(u' ') + u']';
    if (o.contains("rank"_L1)) parts << u'#' + number(o["rank"_L1]);
    return parts.join(u' ');
}

QJsonObject compare(const QStringList &sources, const QStringList &options = {}) {
    const report::Output output =
        report::run(QStringList{"--compare", "--json"} + options + sources);
    return QJsonDocument::fromJson(output.out.toUtf8()).object();
}

QStringList classLines(const QJsonObject &root) {
    QStringList lines;
    for (const QJsonValue &c : root["classes"_L1].toArray())
        lines << c["name"_L1].toString() + u' ' + figures(c.toObject());
    return lines;
}

QStringList studentLines(const QJsonObject &root) {
    QStringList lines;
    for (const QJsonValue &s : root["students"_L1].toArray())
        lines << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(s["gradeRank"_L1].toInt())
                     .arg(s["class"_L1].toString(), s["name"_L1].toString(), number(s["score"_L1]))
                     .arg(s["classRank"_L1].toInt());
    return lines;
}

QString readCell(analysis::Workbook &book, int sheet, int row, int column) {
    QString text;
    const int failure = book.cellText(sheet, row, column, &text);
    return failure ? QString::number(failure) : text;
}

} // namespace

class TestGradeCompare : public QObject {
    Q_OBJECT
private slots:
    // A folder source takes the files whose ending names a workbook kind.
    void folderEndings_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("taken");
        QTest::newRow("xls") << u"一班.xls"_s << true;
        QTest::newRow("xlsx upper") << u"一班.XLSX"_s << true;
        QTest::newRow("xlsm") << u"a.xlsm"_s << true;
        QTest::newRow("ods") << u"a.ods"_s << true;
        QTest::newRow("et") << u"a.et"_s << true;
        QTest::newRow("ett") << u"a.ETT"_s << true;
        QTest::newRow("csv") << u"a.csv"_s << true;
        QTest::newRow("txt") << u"a.txt"_s << true;
        QTest::newRow("docx") << u"a.docx"_s << false;
        QTest::newRow("pdf") << u"a.pdf"_s << false;
        QTest::newRow("no ending") << u"xlsx"_s << false;
        QTest::newRow("tsv") << u"a.tsv"_s << false;
    }

    void folderEndings() {
        QFETCH(QString, name);
        QFETCH(bool, taken);
        QCOMPARE(analysis::hasWorkbookEnding(name), taken);
    }

    // Rows 2-131 but for 60 and 61, a lone score in row 140; an empty text in
    // row 150 and a note in column 6 of row 200 are no rows of columns 1-3.
    void wholeSheet_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("xls") << u"wholesheet.xls"_s;
        QTest::newRow("xlsx") << u"wholesheet.xlsx"_s;
        QTest::newRow("ods") << u"wholesheet.ods"_s;
    }

    void wholeSheet() {
        QFETCH(QString, file);
        int error = -1;
        const std::unique_ptr<analysis::Workbook> book =
            analysis::openWorkbook(Fixtures + file, &error);
        QVERIFY(book);
        std::vector<analysis::SheetRow> rows;
        QCOMPARE(book->readRows(0, 2, {1, 2, 3}, &rows), 0);
        QCOMPARE(rows.size(), 129u);
        QCOMPARE(rows[57].row, 59);
        QCOMPARE(rows[58].row, 62);
        QCOMPARE(rows[116].row, 120);
        QCOMPARE(rows[116].texts, (QStringList{"S120", u"学生120"_s, "19"}));
        QCOMPARE(rows.back().row, 140);
        QCOMPARE(rows.back().texts, (QStringList{"", "", u"缺考"_s}));
        QCOMPARE(readCell(*book, 0, 5, 1),
                 u"S5"_s); // the window is read anew after the whole sheet
        QCOMPARE(book->readRows(0, 131, {3, 1}, &rows), 0);
        QCOMPARE(rows.size(), 2u);
        QCOMPARE(rows[0].texts, (QStringList{"30", "S131"}));
        QCOMPARE(book->readRows(1, 2, {1}, &rows), 9);
    }

    // 一班 90 80 缺考 70, 二班 90 60 abc, 三班 100 50 (blank row) 60 30:
    // grade mean 630 ÷ 9 = 70.
    void handWorked_data() {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QString>("sourceOfClass3");
        QTest::newRow("files") << QStringList{Class1, Class2, Class3} << u"grade/三班.xls"_s;
        QTest::newRow("every sheet")
            << QStringList{Sheets + u":*"_s} << u"grade_sheets.xlsx:三班"_s;
        QTest::newRow("named sheets")
            << QStringList{Sheets + u":一班"_s, Sheets + u":二班"_s, Sheets + u":三班"_s}
            << u"grade_sheets.xlsx:三班"_s;
        QTest::newRow("folder") << QStringList{Fixtures + u"grade"_s} << u"grade/三班.xls"_s;
        QTest::newRow("files in another order")
            << QStringList{Class3, Class1, Class2} << u"grade/三班.xls"_s;
    }

    void handWorked() {
        QFETCH(QStringList, sources);
        QFETCH(QString, sourceOfClass3);
        const QJsonObject root = compare(sources);
        QString source;
        for (const QJsonValue c : root["classes"_L1].toArray())
            if (c["name"_L1] == u"三班"_s) source = c["source"_L1].toString().remove(Fixtures);
        QCOMPARE(source, sourceOfClass3);
        QStringList classes = classLines(root);
        classes.sort();
        QCOMPARE(classes,
                 (QStringList{u"一班 4 3 1 80 14.285714 90 70 8.1649658 1/33.333333 3/100 0/0 "
                              u"2/66.666667 [1 1 1 0 0 0 0 0 0 0] #1"_s,
                              u"三班 4 4 0 60 -14.285714 100 30 25.495098 1/25 2/50 1/25 1/25 "
                              u"[1 0 0 1 1 0 1 0 0 0] #3"_s,
                              u"二班 3 2 0 75 7.1428571 90 60 15 1/50 2/100 0/0 1/50 "
                              u"[1 0 0 1 0 0 0 0 0 0] #2"_s}));
        QCOMPARE(figures(root["grade"_L1].toObject()),
                 u"11 9 1 70 100 30 21.081851 3/33.333333 7/77.777778 1/11.111111 "
                 u"4/44.444444 [3 1 1 2 1 0 1 0 0 0]"_s);
        QStringList students = studentLines(root);
        students.sort();
        QCOMPARE(
            students,
            (QStringList{u"1 三班 吴十 100 1"_s, u"2 一班 张三 90 1"_s, u"2 二班 钱七 90 1"_s,
                         u"4 一班 李四 80 2"_s, u"5 一班 赵六 70 3"_s, u"6 三班 冯二 60 2"_s,
                         u"6 二班 孙八 60 2"_s, u"8 三班 郑一 50 3"_s, u"9 三班 陈三 30 4"_s}));
        QCOMPARE(root["failures"_L1].toArray().size(), 0);
    }

    // Dense ranking, a lower pass line, 二班's scores read from column 2 of
    // the sheet (its names), a name taken twice; order as given.
    void settingsAndOrder() {
        const QJsonObject root = compare({Class3, Class2 + u"@score-column=2"_s, Class1,
                                          Sheets + u":一班"_s, Sheets + u":三班"_s},
                                         {"--ranking", "dense", "--pass-line=50"});
        QStringList names;
        for (const QJsonValue &c : root["classes"_L1].toArray())
            names << c["name"_L1].toString() + u' ' + number(c["sat"_L1]) + u'/' +
                         number(c["pass"_L1]["count"_L1]);
        QCOMPARE(names, (QStringList{u"三班 4/3"_s, u"二班 0/0"_s, u"一班 3/3"_s,
                                     u"一班（2） 3/3"_s, u"三班（2） 4/3"_s}));
        const QStringList students = studentLines(root);
        QCOMPARE(
            students.mid(0, 5),
            (QStringList{u"1 三班 吴十 100 1"_s, u"1 三班（2） 吴十 100 1"_s, u"2 一班 张三 90 1"_s,
                         u"2 一班（2） 张三 90 1"_s, u"3 一班 李四 80 2"_s}));
    }

    void failuresListed() {
        const QString broken = Fixtures + u"broken_truncated.xlsx"_s;
        const QJsonObject root = compare({Class1, broken, Sheets + u":四班"_s, Class3,
                                          Class2 + u"@first-row=0"_s, Fixtures + u"../support"_s});
        QCOMPARE(classLines(root).size(), 2);
        QCOMPARE(number(root["grade"_L1]["mean"_L1]), u"68.571429"_s); // 480 ÷ 7
        QStringList failures;
        for (const QJsonValue &f : root["failures"_L1].toArray())
            failures << f["source"_L1].toString().remove(Fixtures) + u' ' + number(f["number"_L1]) +
                            u' ' + f["message"_L1].toString();
        QCOMPARE(
            failures,
            (QStringList{
                u"broken_truncated.xlsx 5 无法打开Excel文件，请检查后重新输入文件名及路径！"_s,
                u"grade_sheets.xlsx:四班 9 输入表格名称有误，无法打开表格，请重新输入！"_s,
                u"grade/二班.ods null 数据起始行输入有误，请输入1到32668之间的行号！"_s,
                u"../support null 文件夹中没有工作簿（.xls、.xlsx、.xlsm、.ods、.et、.ett、.csv或.txt文件）！"_s}));
    }

    // What a window watching the reading sees: each source's states in order,
    // the sheets of one workbook reported as one source.
    void progressAndCancel_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QStringList>("states");
        QTest::newRow("read") << false << QStringList{"0:1 0:2", "1:1 1:3", "2:1 2:2"};
        QTest::newRow("cancelled") << true << QStringList{"0:4", "1:4", "2:4"};
    }

    void progressAndCancel() {
        QFETCH(bool, cancel);
        QFETCH(QStringList, states);
        std::vector<analysis::ClassSource> sources(3);
        sources[0].path = Class1;
        sources[1].path = Sheets;
        sources[1].sheet = u"四班"_s;
        sources[2] = {analysis::ClassSource::Kind::EverySheet, Sheets, {}, {}, u"sheets"_s};
        QStringList seen(3);
        const std::atomic<bool> stop{cancel};
        analysis::CompareControl control{
            [&](std::size_t source, analysis::SourceState state) {
                seen[qsizetype(source)] += QStringLiteral(" %1:%2").arg(source).arg(int(state));
            },
            &stop, 2};
        const analysis::GradeComparison result =
            analysis::compareGrade(sources, {}, analysis::defaultAnalysisSettings(), control);
        for (QString &line : seen)
            line = line.trimmed();
        QCOMPARE(seen, states);
        QCOMPARE(result.classes.size(), cancel ? 0u : 4u);
        QCOMPARE(result.cancelled, cancel);
    }

    void refused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no source") << QStringList{"--compare"} << 64 << u"没有给出要比较的班级"_s;
        QTest::newRow("unknown field")
            << QStringList{"--compare", Class1 + u"@row=3"_s} << 64 << u"无法识别的来源"_s;
        QTest::newRow("bad full marks")
            << QStringList{"--compare", "--full-marks", "0", Class1} << 2 << u"满分"_s;
        QTest::newRow("export name")
            << QStringList{"--compare", Class1, "--export", "/tmp/grade.pdf"} << 2
            << u"导出文件名须以.xlsx或.csv结尾：/tmp/grade.pdf"_s;
        QTest::newRow("nothing read") << QStringList{"--compare", Sheets + u":四班"_s} << 2
                                      << u"没有可以比较的班级：每个来源都未能读取！"_s;
    }

    void refused() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        const report::Output output = report::run(arguments);
        QCOMPARE(output.status, status);
        QVERIFY2(output.err.contains(message), qPrintable(output.err));
    }

    void exportsReadBack() {
        QTemporaryDir folder;
        const QString xlsx = folder.filePath("grade.xlsx"), csv = folder.filePath("grade.csv");
        for (const QString &path : {xlsx, csv})
            QCOMPARE(report::run({"--compare", Class1, Class2, Class3, "--export", path}).status,
                     0);
        int error = -1;
        const std::unique_ptr<analysis::Workbook> book = analysis::openWorkbook(xlsx, &error);
        QVERIFY(book);
        QCOMPARE(book->sheetNames(), (QStringList{u"班级对比"_s, u"年级名次表"_s}));
        std::vector<analysis::SheetRow> rows;
        QCOMPARE(book->readRows(0, 1, {1, 5, 6, 14, 15}, &rows), 0);
        QCOMPARE(rows[2].texts, (QStringList{u"二班"_s, "75", "7.14", "2", "70"}));
        QCOMPARE(rows[4].texts, (QStringList{u"年级"_s, "70", "", "", ""}));
        QCOMPARE(book->readRows(1, 1, {1, 2, 4, 5, 6}, &rows), 0);
        QCOMPARE(rows.size(), 10u);
        QCOMPARE(rows[7].texts, (QStringList{"6", u"三班"_s, u"冯二"_s, "60", "2"}));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY2(bytes.contains(
                     u"\r\n三班,4,4,0,60.00,-14.29,100,30,25.50,25.00,50.00,25.00,25.00,3\r\n"_s
                         .toUtf8()),
                 bytes.constData());
    }
};

QTEST_GUILESS_MAIN(TestGradeCompare)
#include "tst_gradecompare.moc"
