#include "analysis/progress/studentmatch.h"
#include "cli/reportcommand.h"
#include "workbook/bytesource.h"
#include "workbook/open/openworkbook.h"
#include "workbook/zip/ziparchive.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <QTest>

using namespace Qt::StringLiterals;
using analysis::MatchStudent;

namespace {

// An exam typed as "number|name|class" rows separated by ';', the first on
// sheet row 2.
std::vector<MatchStudent> exam(const QString &text) {
    std::vector<MatchStudent> students;
    for (const QString &row : text.split(u';')) {
        const QStringList f = row.split(u'|');
        students.push_back({f.value(0), f.value(1), f.value(2), u"表"_s, int(students.size()) + 2});
    }
    return students;
}

QString kindName(analysis::ConflictKind kind) {
    switch (kind) {
    case analysis::ConflictKind::DuplicateNumber:
        return u"学号重复"_s;
    case analysis::ConflictKind::NumberNameDiffers:
        return u"学号相同姓名不同"_s;
    case analysis::ConflictKind::DuplicateName:
        return u"同名"_s;
    case analysis::ConflictKind::ClassDiffers:
        return u"班级不同"_s;
    }
    return {};
}

// The match on one line: the pairs by number and by name (this exam's
// names), 新增, 缺少, then each conflict with its rows (L last, T this).
QString describe(const std::vector<MatchStudent> &last, const std::vector<MatchStudent> &current,
                 const analysis::StudentMatch &m) {
    QStringList number, name, onlyThis, onlyLast, conflicts;
    for (std::size_t t = 0; t < current.size(); ++t) {
        if (m.lastOf[t] < 0) continue;
        const QString pair = QStringLiteral("%1(%2→%3)")
                                 .arg(current[t].name)
                                 .arg(last[std::size_t(m.lastOf[t])].row)
                                 .arg(current[t].row);
        (m.matchedBy[t] == analysis::MatchedBy::Number ? number : name) << pair;
    }
    for (int i : m.onlyThis)
        onlyThis << current[std::size_t(i)].name;
    for (int i : m.onlyLast)
        onlyLast << last[std::size_t(i)].name;
    for (const analysis::MatchConflict &c : m.conflicts) {
        QStringList rows;
        for (const analysis::ConflictRow &r : c.rows)
            rows << (r.thisExam ? u"T"_s : u"L"_s) +
                        QString::number((r.thisExam ? current : last)[std::size_t(r.student)].row);
        conflicts << kindName(c.kind) + u' ' + c.number + u' ' + c.names.join(u'/') + u' ' +
                         rows.join(u',');
    }
    return QStringLiteral("号:%1 %2 名:%3 %4 新增:%5 缺少:%6 冲突:%7")
        .arg(m.byNumber)
        .arg(number.join(u','))
        .arg(m.byName)
        .arg(name.join(u','), onlyThis.join(u','), onlyLast.join(u','), conflicts.join(u"; "));
}

const QString Fixtures = QStringLiteral(SCORE_FIXTURES_DIR "/progress/");

// The two exams of the one class (make_progress.py), 语数 over 语文 and 数学,
// a 稳定 band of 20 % of the five students ranked in both: one rank.
report::Output progress(const QStringList &more) {
    return report::run(QStringList{"--progress", Fixtures + u"期中.xlsx"_s,
                                   Fixtures + u"期末.xlsx"_s, "--class-column", "3",
                                   "--score-columns", "4,5,6", "--total", u"语数=语文+数学"_s,
                                   "--steady", "20"} +
                       more);
}

// One member of an archive as text.
QString memberText(const QString &path, const QString &member) {
    int error = 0;
    const auto archive = analysis::zip::Archive::open(analysis::openFileSource(path), &error);
    const auto index = archive ? archive->find(member) : std::nullopt;
    const auto entry = index ? archive->openEntry(*index, &error) : nullptr;
    QByteArray bytes(1 << 20, '\0');
    const std::int64_t read = entry ? entry->read(bytes.data(), std::size_t(bytes.size())) : 0;
    return QString::fromUtf8(bytes.left(qsizetype(std::max<std::int64_t>(read, 0))));
}

// The fill colour of a cell of a sheet ("E5" of sheet2): its style's fill.
QString fillOf(const QString &path, int sheet, const QString &cell) {
    const QString xml = memberText(path, u"xl/worksheets/sheet%1.xml"_s.arg(sheet));
    const auto style = QRegularExpression(u"<c r=\"%1\" s=\"(\\d+)\""_s.arg(cell)).match(xml);
    const QString styles = memberText(path, u"xl/styles.xml"_s);
    const QString xfs = styles.section(u"<cellXfs"_s, 1).section(u"</cellXfs>"_s, 0, 0);
    const QString xf = xfs.split(u"<xf "_s).value(style.captured(1).toInt() + 1);
    const int fill = QRegularExpression(u"fillId=\"(\\d+)\""_s).match(xf).captured(1).toInt();
    const QString fills = styles.section(u"<fills"_s, 1).section(u"</fills>"_s, 0, 0);
    return QRegularExpression(u"fgColor rgb=\"(\\w+)\""_s)
        .match(fills.split(u"<fill>"_s).value(fill + 1))
        .captured(1);
}

QString value(const QJsonValue &v) {
    return v.isNull()     ? u"null"_s
           : v.isString() ? v.toString()
                          : QString::number(v.toDouble(), 'g', 6);
}

} // namespace

class ProgressTest : public QObject {
    Q_OBJECT
private slots:
    void matchingNumber_data();
    void matchingNumber();
    void match_data();
    void match();
    void handWorked_data();
    void handWorked();
    void reportAndCsv();
    void xlsxReadBack_data();
    void xlsxReadBack();
    void pdfText_data();
    void pdfText();
    void streamedJson();
    void wholeExamOptions_data();
    void wholeExamOptions();
    void badExams_data();
    void badExams();
};

void ProgressTest::matchingNumber_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("compared");
    QTest::newRow("full-width digits") << u"２０２４０１"_s << u"202401"_s;
    QTest::newRow("spaces of both widths") << u"\u3000 202401 "_s << u"202401"_s;
    QTest::newRow("letters of both widths and cases") << u"Ａb０c"_s << u"ab0c"_s;
    QTest::newRow("inner space kept") << u"2024 01"_s << u"2024 01"_s;
    QTest::newRow("full-width hyphen kept") << u"2024－01"_s << u"2024－01"_s;
}

void ProgressTest::matchingNumber() {
    QFETCH(QString, typed);
    QFETCH(QString, compared);
    QCOMPARE(analysis::matchingNumber(typed), compared);
}

void ProgressTest::match_data() {
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("expected");
    // One class over two exams: 李明 is 李铭 now, two 张伟 (one without a
    // number this time), 202406 typed on two rows, 吴敏's number in
    // full-width digits, 周杰 without a number, 孙丽 left, 郑新 joined.
    QTest::newRow("one class")
        << u"202401|王芳|一班;202402|李明|一班;202403|张伟|一班;202404|张伟|一班;202405|赵强|一班;"
           u"202406|陈静|一班;202407|孙丽|一班;202408|周杰|一班;202409|吴敏|一班"_s
        << u"202401|王芳|一班;202402|李铭|一班;202403|张伟|一班;|张伟|一班;202405|赵强|一班;"
           u"202406|陈静|一班;202406|刘洋|一班;|周杰|一班;２０２４０９|吴敏|一班;202410|郑新|一班"_s
        << u"号:4 王芳(2→2),张伟(4→4),赵强(6→6),吴敏(10→10) 名:1 周杰(9→9) 新增:郑新 缺少:孙丽 "
           u"冲突:学号重复 202406 陈静/刘洋 L7,T7,T8; 学号相同姓名不同 202402 李明/李铭 L3,T3; "
           u"同名  张伟 L5,T5"_s;
    QTest::newRow("no number in either exam") << u"|甲|一班;|乙|一班"_s << u"|乙|一班;|甲|一班"_s
                                              << u"号:0  名:2 乙(3→2),甲(2→3) 新增: 缺少: 冲突:"_s;
    QTest::newRow("key name in another class")
        << u"301|甲|一班;|乙|一班"_s << u"301|甲|一班;302|乙|二班"_s
        << u"号:1 甲(2→2) 名:0  新增: 缺少: 冲突:班级不同  乙 L3,T3"_s;
    QTest::newRow("two numbers, one name: no guess")
        << u"301|甲|一班"_s << u"310|甲|一班"_s << u"号:0  名:0  新增:甲 缺少:甲 冲突:"_s;
    QTest::newRow("number twice in both exams")
        << u"301|甲|一班;301|乙|一班"_s << u"301|甲|一班;３０１|乙|一班"_s
        << u"号:0  名:0  新增: 缺少: 冲突:学号重复 301 甲/乙 L2,L3,T2,T3"_s;
    QTest::newRow("key name twice in the other exam only")
        << u"|甲|一班;|甲|二班"_s << u"305|丙|一班"_s << u"号:0  名:0  新增:丙 缺少:甲,甲 冲突:"_s;
    QTest::newRow("spaces around names and classes")
        << u" 301 |甲 |一班"_s << u"301|\u3000甲| 一班"_s
        << u"号:1 \u3000甲(2→2) 名:0  新增: 缺少: 冲突:"_s;
}

void ProgressTest::match() {
    QFETCH(QString, last);
    QFETCH(QString, current);
    QFETCH(QString, expected);
    const std::vector<MatchStudent> l = exam(last), t = exam(current);
    QCOMPARE(describe(l, t, analysis::matchStudents(l, t)), expected);
}

void ProgressTest::handWorked_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    // 语数 last: 孙丽 190 #1, 王芳 张伟 陈静 170 #2 (a tie), 赵强 145 #5, 李明 周杰
    // 130 #6, 张伟 110 #8, 吴敏 105 #9 of 9; this: 张伟 180 #1, 吴敏 175 #2, 陈静 170
    // #3, 赵强 160 #4, 王芳 150 #5, 周杰 郑新 140 #6 of 10. Percentile change
    // = last rank ÷ 9 × 100 − this rank ÷ 10 × 100.
    QTest::newRow("renamed") << u"李铭"_s << u"null null"_s;
    QTest::newRow("a tie, one up") << u"张伟"_s << u"number steady 170 180 10 2 1 1 12.2222 2 1"_s;
    QTest::newRow("full-width number") << u"吴敏"_s << u"number up 105 175 70 9 2 7 80 9 2"_s;
    QTest::newRow("tied, three down")
        << u"王芳"_s << u"number down 170 150 -20 2 5 -3 -27.7778 2 5"_s;
    QTest::newRow("by name, 持平") << u"周杰"_s << u"name steady 130 140 10 6 6 0 6.66667 6 6"_s;
    QTest::newRow("joined") << u"郑新"_s << u"null null"_s;
    QTest::newRow("duplicated number") << u"刘洋"_s << u"null null"_s;
}

void ProgressTest::handWorked() {
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const report::Output out = progress({"--json"});
    QCOMPARE(out.status, 0);
    const QJsonObject root = QJsonDocument::fromJson(out.out.toUtf8()).object();
    QStringList found;
    for (const QJsonValue &s : root["students"_L1].toArray()) {
        // The first 张伟 in rank order is 202403, the one matched by number.
        if (s["name"_L1].toString() != name) continue;
        QStringList parts{value(s["matchedBy"_L1]), value(s["trend"_L1])};
        const QJsonObject c = s["changes"_L1][u"语数"_s].toObject();
        for (const char *key : {"last", "this", "scoreChange", "lastGradeRank", "thisGradeRank",
                                "rankChange", "percentileChange", "lastClassRank", "thisClassRank"})
            if (!c.isEmpty()) parts << value(c[QLatin1String(key)]);
        found << parts.join(u' ');
    }
    QCOMPARE(found.value(0), expected);
    const QJsonObject match = root["match"_L1].toObject();
    QCOMPARE(match["byNumber"_L1].toInt(), 4);
    QCOMPARE(match["byName"_L1].toInt(), 1);
    QStringList conflicts;
    for (const QJsonValue &c : match["conflicts"_L1].toArray())
        conflicts << c["kind"_L1].toString() + u' ' + value(c["number"_L1]) + u' ' +
                         QString::number(c["rows"_L1].toArray().size());
    QCOMPARE(conflicts, (QStringList{u"duplicateNumber 202406 3"_s, u"numberNameDiffers 202402 2"_s,
                                     u"duplicateName null 2"_s}));
    const QJsonObject cls = root["classes"_L1][0].toObject();
    QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                 .arg(cls["up"_L1].toInt())
                 .arg(cls["down"_L1].toInt())
                 .arg(cls["steady"_L1].toInt())
                 .arg(cls["meanRankChange"_L1].toDouble()),
             u"1 1 3 1.2"_s);
    QCOMPARE(root["notes"_L1].toArray().size(), 2);
}

void ProgressTest::reportAndCsv() {
    QTemporaryDir dir;
    const QString csv = dir.filePath(u"对比.csv"_s);
    const report::Output out = progress({"--export", csv});
    QCOMPARE(out.status, 0);
    QVERIFY(out.out.startsWith(u"仅供教师使用，请勿公开"_s));
    QVERIFY(out.out.contains(u"退步 3 名"_s));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF" + u"仅供教师使用，请勿公开"_s.toUtf8()));
    const QString text = QString::fromUtf8(bytes);
    QVERIFY(text.contains(u"学号相同姓名不同,本次,一班,202402,李铭"_s));
    QVERIFY(text.contains(u"进步 7 名"_s));
    // A refused name leaves the file as it was.
    const report::Output bad = progress({"--export", dir.filePath(u"对比.txt"_s)});
    QCOMPARE(bad.status, 2);
}

void ProgressTest::xlsxReadBack_data() {
    QTest::addColumn<int>("sheet");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    QTest::newRow("match: teachers only") << 0 << 2 << 1 << u"仅供教师使用，请勿公开"_s;
    QTest::newRow("match: by number") << 0 << 4 << 2 << u"4"_s;
    QTest::newRow("match: conflicts' rows") << 0 << 8 << 2 << u"7"_s;
    QTest::newRow("match: a conflict row") << 0 << 14 << 5 << u"刘洋"_s;
    QTest::newRow("match: 新增") << 0 << 22 << 3 << u"郑新"_s;
    QTest::newRow("changes: teachers only") << 1 << 2 << 1 << u"仅供教师使用，请勿公开"_s;
    QTest::newRow("changes: header") << 1 << 3 << 8 << u"语文分数变化"_s;
    QTest::newRow("changes: 吴敏's trend") << 1 << 5 << 5 << u"进步"_s;
    QTest::newRow("changes: 王芳's 语文") << 1 << 8 << 8 << u"-10"_s;
    QTest::newRow("changes: unmatched") << 1 << 6 << 4 << u"无上次成绩"_s;
    QTest::newRow("classes: mean") << 2 << 2 << 5 << u"1.2"_s;
    QTest::newRow("notes") << 3 << 2 << 1 << u"科目“英语”只有本次考试有，不作比较。"_s;
}

void ProgressTest::xlsxReadBack() {
    QFETCH(int, sheet);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString xlsx = dir.filePath(u"对比.xlsx"_s);
    QCOMPARE(progress({"--export", xlsx}).status, 0);
    int error = 0;
    const std::unique_ptr<analysis::Workbook> book = analysis::openWorkbook(xlsx, &error);
    QVERIFY(book);
    QCOMPARE(book->sheetNames(),
             (QStringList{u"匹配情况"_s, u"成绩变化"_s, u"班级进退"_s, u"说明"_s}));
    QString text;
    QCOMPARE(book->cellText(sheet, row, column, &text), 0);
    QCOMPARE(text, expected);
    // 吴敏 进步 in light red, 王芳 退步 in light green; the class counts charted.
    QCOMPARE(fillOf(xlsx, 2, u"E5"_s), u"FFFFC7CE"_s);
    QCOMPARE(fillOf(xlsx, 2, u"E8"_s), u"FFC6EFCE"_s);
    QCOMPARE(fillOf(xlsx, 2, u"D5"_s), QString());
    QVERIFY(memberText(xlsx, u"xl/charts/chart1.xml"_s).contains(u"<c:barChart>"_s));
}

// The printed comparison: its text searches as shown, student lists marked.
void ProgressTest::pdfText_data() {
    QTest::addColumn<QString>("expected");
    QTest::newRow("title") << u"进步与退步"_s;
    QTest::newRow("counts")
        << u"按姓名对应 1 只在本次（新增） 1 只在上次（缺少） 1 冲突（行数） 7"_s;
    QTest::newRow("conflict") << u"学号相同姓名不同 本次 一班 202402 李铭"_s;
    QTest::newRow("joined") << u"只在本次（新增，无上次成绩） 仅供教师使用，请勿公开"_s;
    QTest::newRow("total first") << u"成绩变化：语数 仅供教师使用，请勿公开"_s;
    QTest::newRow("a fall") << u"王芳 退步 170 150 −20 2→5 退步 3 名 2→5 -16.00 -27.78"_s;
    QTest::newRow("unmatched") << u"郑新 暂无对比"_s;
    QTest::newRow("a subject") << u"张伟 85 90 +5 3→1 进步 2 名 3→1 6.23 23.33"_s;
    QTest::newRow("classes") << u"一班 1 1 3 1.20"_s;
    QTest::newRow("note") << u"科目“物理”只有上次考试有，不作比较。"_s;
    QTest::newRow("rules") << u"口径说明 学生对应：按学号对应"_s;
}

void ProgressTest::pdfText() {
    QFETCH(QString, expected);
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"对比.pdf"_s);
    QProcess process;
    process.start(SCORE_REPORT_EXECUTABLE,
                  {"--progress", Fixtures + u"期中.xlsx"_s, Fixtures + u"期末.xlsx"_s,
                   "--class-column", "3", "--score-columns", "4,5,6", "--total",
                   u"语数=语文+数学"_s, "--steady", "20", "--export", pdf});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    process.start(pdftotext, {"-layout", pdf, "-"});
    QVERIFY(process.waitForFinished(60000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput()).simplified();
    QVERIFY2(text.contains(expected), qPrintable(expected));
}

// The program writes its JSON in pieces as it goes: the same object as whole.
void ProgressTest::streamedJson() {
    const QStringList arguments{
        "--progress", Fixtures + u"期中.xlsx"_s, Fixtures + u"期末.xlsx"_s, "--columns", "auto",
        "--json"};
    QProcess process;
    process.start(SCORE_REPORT_EXECUTABLE, arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    const QJsonObject streamed = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    QCOMPARE(streamed["students"].toArray().size(), 10); // 期末 has ten students
    QCOMPARE(streamed, QJsonDocument::fromJson(report::run(arguments).out.toUtf8()).object());
}

// The whole-exam options are read as --subjects reads them: the layout
// detected from the headers finds the same students and subjects.
void ProgressTest::wholeExamOptions_data() {
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QString>("found"); // byNumber byName conflicts, 吴敏's trend, notes
    const QString found = u"4 1 3 up 科目“英语”只有本次考试有，不作比较。"_s;
    QTest::newRow("typed columns")
        << QStringList{"--class-column", "3", "--score-columns", "4,5,6"} << found;
    QTest::newRow("--columns auto, --margin")
        << QStringList{"--columns", "auto", "--margin=5"} << found;
}

void ProgressTest::wholeExamOptions() {
    QFETCH(QStringList, columns);
    QFETCH(QString, found);
    const report::Output out =
        report::run(QStringList{"--progress", Fixtures + u"期中.xlsx"_s, Fixtures + u"期末.xlsx"_s,
                                "--total", u"语数=语文+数学"_s, "--steady", "20", "--json"} +
                    columns);
    QCOMPARE(out.status, 0);
    const QJsonObject json = QJsonDocument::fromJson(out.out.toUtf8()).object();
    const QJsonObject match = json["match"_L1].toObject();
    QString trend;
    for (const QJsonValue &student : json["students"_L1].toArray())
        if (student["name"_L1] == u"吴敏"_s) trend = student["trend"_L1].toString();
    QCOMPARE(u"%1 %2 %3 %4 %5"_s.arg(match["byNumber"_L1].toInt())
                 .arg(match["byName"_L1].toInt())
                 .arg(match["conflicts"_L1].toArray().size())
                 .arg(trend, json["notes"_L1].toArray()[0].toString()),
             found);
}

// What a teacher may give by mistake: a clear message and its exit status.
void ProgressTest::badExams_data() {
    QTest::addColumn<QStringList>("exams"); // "text" is a file holding one word
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("one exam only")
        << QStringList{u"期中.xlsx"_s} << 64 << u"score-report：至少需要两次考试：上次和本次"_s;
    QTest::newRow("a source with no score column")
        << QStringList{u"期中.xlsx"_s, u"text"_s} << 2
        << u"没有可以分析的成绩：给出的成绩列在各来源中都不存在！"_s;
}

void ProgressTest::badExams() {
    QFETCH(QStringList, exams);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QFile text(dir.filePath(u"成绩.txt"_s));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("hi\n") == 3);
    text.close();
    QStringList arguments{"--progress"};
    for (const QString &exam : exams)
        arguments << (exam == u"text"_s ? text.fileName() : Fixtures + exam);
    const report::Output out =
        report::run(arguments + QStringList{"--class-column", "3", "--score-columns", "4,5,6"});
    QCOMPARE(out.status, status);
    QCOMPARE(out.err.section(u'\n', 0, 0), message);
}

QTEST_GUILESS_MAIN(ProgressTest)
#include "tst_progress.moc"
