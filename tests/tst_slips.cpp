#include "analysis/slips/examslips.h"
#include "analysis/slips/slipcontent.h"
#include "analysis/slips/slipfiles.h"
#include "analysis/slips/slipgrades.h"
#include "analysis/slips/slipxlsx.h"
#include "pages/simplepdf.h"
#include "pages/slippainter.h"
#include "pages/slippdf.h"
#include "workbook/open/openworkbook.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace analysis;
using pages::SlipForm, pages::SlipLayout, pages::SlipPlacement, pages::layoutSlips;

namespace {

Decimal number(const QString &text) {
    return readPlainDecimal(text)->magnitude;
}

AnalysisSettings settings(const QString &excellent = u"85%"_s) {
    AnalysisSettingsTexts texts;
    texts.excellentLine = excellent;
    return *readAnalysisSettings(texts).settings;
}

SlipFigure figure(const QString &subject, int fullMarks, const QString &score, int classRank,
                  int gradeRank, double mean) {
    SlipFigure f;
    f.subject = subject;
    f.fullMarks = Decimal::whole(fullMarks);
    if (score == u"缺考")
        f.uncounted = score;
    else
        f.score = number(score);
    f.classRank = classRank, f.gradeRank = gradeRank;
    f.classRanked = 3, f.gradeRanked = 10;
    f.classMean = mean;
    return f;
}

// A hand-worked class of three: 语文 of 150 marks, 数学 of 100, 总分 of 250.
std::vector<SlipStudent> handClass() {
    SlipStudent a{u"2024001"_s, u"张三"_s, {}, u"继续保持"_s, {}};
    a.figures = {figure(u"语文"_s, 150, u"127.5"_s, 1, 1, 108.75),
                 figure(u"数学"_s, 100, u"84.99"_s, 2, 4, 76.49),
                 figure(u"总分"_s, 250, u"212.49"_s, 1, 2, 185.24)};
    a.figures[0].scoreChange = 7.5, a.figures[0].rankChange = 2;
    a.figures[1].scoreChange = -3, a.figures[1].rankChange = -1;
    a.figures[2].scoreChange = 4.5, a.figures[2].rankChange = 0;
    SlipStudent b{u"2024002"_s, u"李/四"_s, {}, {}, {}};
    b.figures = {figure(u"语文"_s, 150, u"缺考"_s, 0, 0, 108.75),
                 figure(u"数学"_s, 100, u"85"_s, 1, 3, 76.49),
                 figure(u"总分"_s, 250, u"缺考"_s, 0, 0, 185.24)};
    SlipStudent c{u"2024003"_s, u"王五"_s, {}, {}, {}};
    c.figures = {figure(u"语文"_s, 150, u"90"_s, 2, 8, 108.75),
                 figure(u"数学"_s, 100, u"59.5"_s, 3, 9, 76.49),
                 figure(u"总分"_s, 250, u"149.5"_s, 2, 9, 185.24)};
    return {a, b, c};
}

const SlipExam Exam{u"第一中学"_s, u"七年级一班"_s, u"期中考试"_s, u"2026年11月5日"_s};

SlipOptions only(SlipItem item) {
    SlipOptions options;
    options.preset = SlipPreset::Senior;
    options.items = SlipItems();
    options.items.set(item, true);
    return options;
}

// The first page of a PDF as a grey picture at 40 dots an inch.
QImage pdfPicture(const QString &path) {
    QProcess process;
    process.start(u"pdftoppm"_s, {u"-r"_s, u"40"_s, u"-gray"_s, u"-singlefile"_s, u"-png"_s, path,
                                  path + u".page"_s});
    process.waitForFinished(30000);
    return QImage(path + u".page.png"_s).convertToFormat(QImage::Format_Grayscale8);
}

// Two PDFs' first pages as pictures: the dark pixels of the first, and the
// pixels where the two differ by more than a shade of anti-aliasing (-1 when
// the pictures differ in size).
struct PictureDifference {
    int ink = 0, differing = -1;
};
PictureDifference pictureDifference(const QString &first, const QString &second) {
    const QImage a = pdfPicture(first), b = pdfPicture(second);
    PictureDifference difference;
    if (a.size() != b.size()) return difference;
    difference.differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int shade = qGray(a.pixel(x, y));
            difference.ink += shade < 128;
            difference.differing += std::abs(shade - qGray(b.pixel(x, y))) > 96;
        }
    return difference;
}

QString pdfText(const QString &path) {
    QProcess process;
    process.start(u"pdftotext"_s, {path, u"-"_s});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class SlipsTest : public QObject {
    Q_OBJECT

private slots:
    void totalWithoutValue_data();
    void totalWithoutValue();
    void gradeEdges_data();
    void gradeEdges();
    void cutOffsPrinted();
    void rankBands_data();
    void rankBands();
    void itemSwitch_data();
    void itemSwitch();
    void presets_data();
    void presets();
    void itemKeys_data();
    void itemKeys();
    void fileNames();
    void stripMovesWhole();
    void pdfPerStudentHoldsOnlyTheStudent_data();
    void pdfPerStudentHoldsOnlyTheStudent();
    void xlsxStrips();
    void ownWriterDrawsAsQtDoes();
    void characterTheFaceLacks();
    void ownWriterKeepsCompositeParts();
};

void SlipsTest::gradeEdges_data() {
    QTest::addColumn<QString>("excellent");
    QTest::addColumn<int>("fullMarks");
    QTest::addColumn<QString>("score");
    QTest::addColumn<bool>("fiveGrades");
    QTest::addColumn<QString>("grade");
    QTest::newRow("84.99 of 100") << u"85%"_s << 100 << u"84.99"_s << false << u"B"_s;
    QTest::newRow("85 of 100") << u"85%"_s << 100 << u"85"_s << false << u"A"_s;
    QTest::newRow("85.5 of 100") << u"85%"_s << 100 << u"85.5"_s << false << u"A"_s;
    // 85 % of 150 is 127.5.
    QTest::newRow("127.49 of 150") << u"85%"_s << 150 << u"127.49"_s << false << u"B"_s;
    QTest::newRow("127.5 of 150") << u"85%"_s << 150 << u"127.5"_s << false << u"A"_s;
    // 85.5 % of 150 is 128.25.
    QTest::newRow("128.24 of 150, line 85.5 %")
        << u"85.5%"_s << 150 << u"128.24"_s << false << u"B"_s;
    QTest::newRow("128.25 of 150, line 85.5 %")
        << u"85.5%"_s << 150 << u"128.25"_s << false << u"A"_s;
    // 84.99 % of 150 is 127.485: a score of two decimals reaches it at 127.49.
    QTest::newRow("127.48 of 150, line 84.99 %")
        << u"84.99%"_s << 150 << u"127.48"_s << false << u"B"_s;
    QTest::newRow("127.49 of 150, line 84.99 %")
        << u"84.99%"_s << 150 << u"127.49"_s << false << u"A"_s;
    // A line typed as a score is its share of the settings' full marks (100).
    QTest::newRow("line 85 points, 127.5 of 150")
        << u"85"_s << 150 << u"127.5"_s << false << u"A"_s;
    QTest::newRow("good 112.5 of 150") << u"85%"_s << 150 << u"112.5"_s << false << u"B"_s;
    QTest::newRow("pass 90 of 150") << u"85%"_s << 150 << u"90"_s << false << u"C"_s;
    QTest::newRow("89.99 of 150") << u"85%"_s << 150 << u"89.99"_s << false << u"D"_s;
    QTest::newRow("low 60 of 150, five grades") << u"85%"_s << 150 << u"60"_s << true << u"D"_s;
    QTest::newRow("59.99 of 150, five grades") << u"85%"_s << 150 << u"59.99"_s << true << u"E"_s;
    QTest::newRow("0 of 150, four grades") << u"85%"_s << 150 << u"0"_s << false << u"D"_s;
}

void SlipsTest::gradeEdges() {
    QFETCH(QString, excellent);
    QFETCH(int, fullMarks);
    QFETCH(QString, score);
    QFETCH(bool, fiveGrades);
    QFETCH(QString, grade);
    const Decimal full = Decimal::whole(fullMarks);
    const auto lines = gradeLines(settings(excellent), full, fiveGrades);
    QCOMPARE(QString(gradeOf(number(score), full, lines, fiveGrades)), grade);
}

void SlipsTest::cutOffsPrinted() {
    SlipOptions options = only(SlipItem::Grade);
    const SlipContent content = slipContent(Exam, handClass()[0], options, settings());
    QCOMPARE(content.notes.value(0),
             u"等级按得分占满分的比例：A ≥ 85 %，B ≥ 75 %，C ≥ 60 %，D 低于 60 %。"
             "即满分 250：A ≥ 212.5，B ≥ 187.5，C ≥ 150；满分 150：A ≥ 127.5，B ≥ 112.5，"
             "C ≥ 90；满分 100：A ≥ 85，B ≥ 75，C ≥ 60。"_s);
    options.fiveGrades = true;
    const SlipContent five = slipContent(Exam, handClass()[0], options, settings(u"84.99%"_s));
    QVERIFY2(five.notes.value(0).startsWith(
                 u"等级按得分占满分的比例：A ≥ 84.99 %，B ≥ 75 %，C ≥ 60 %，D ≥ 40 %，E 低于 40 %。"
                 "即满分 250：A ≥ 212.475，"_s),
             qPrintable(five.notes.value(0)));
}

void SlipsTest::rankBands_data() {
    QTest::addColumn<int>("rank");
    QTest::addColumn<int>("ranked");
    QTest::addColumn<QString>("band");
    QTest::newRow("1 of 10") << 1 << 10 << u"年级前 10 %"_s;
    QTest::newRow("2 of 10") << 2 << 10 << u"年级前 30 %"_s;
    QTest::newRow("3 of 10") << 3 << 10 << u"年级前 30 %"_s;
    QTest::newRow("5 of 10") << 5 << 10 << u"年级前 50 %"_s;
    QTest::newRow("7 of 10") << 7 << 10 << u"年级前 70 %"_s;
    QTest::newRow("8 of 10") << 8 << 10 << u"年级后 30 %"_s;
    QTest::newRow("30 of 300") << 30 << 300 << u"年级前 10 %"_s;
    QTest::newRow("31 of 300") << 31 << 300 << u"年级前 30 %"_s;
    QTest::newRow("unranked") << 0 << 300 << QString();
}

void SlipsTest::rankBands() {
    QFETCH(int, rank);
    QFETCH(int, ranked);
    QFETCH(QString, band);
    QCOMPARE(rankBand(rank, ranked), band);
}

void SlipsTest::itemSwitch_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QStringList>("cells");  // 语文, 数学, 总分 of 张三
    QTest::addColumn<QStringList>("absent"); // 语文, 数学, 总分 of 李/四
    QTest::newRow("score") << int(SlipItem::Score) << QStringList{u"科目"_s, u"分数"_s}
                           << QStringList{u"127.5"_s, u"84.99"_s, u"212.49"_s}
                           << QStringList{u"缺考"_s, u"85"_s, u"缺考"_s};
    QTest::newRow("grade") << int(SlipItem::Grade) << QStringList{u"科目"_s, u"等级"_s}
                           << QStringList{u"A"_s, u"B"_s, u"B"_s}
                           << QStringList{u"—"_s, u"A"_s, u"—"_s};
    QTest::newRow("classRank") << int(SlipItem::ClassRank) << QStringList{u"科目"_s, u"班级名次"_s}
                               << QStringList{u"1/3"_s, u"2/3"_s, u"1/3"_s}
                               << QStringList{u"—"_s, u"1/3"_s, u"—"_s};
    QTest::newRow("gradeRank") << int(SlipItem::GradeRank) << QStringList{u"科目"_s, u"年级名次"_s}
                               << QStringList{u"1/10"_s, u"4/10"_s, u"2/10"_s}
                               << QStringList{u"—"_s, u"3/10"_s, u"—"_s};
    QTest::newRow("band") << int(SlipItem::Band) << QStringList{u"科目"_s, u"名次段"_s}
                          << QStringList{u"年级前 10 %"_s, u"年级前 50 %"_s, u"年级前 30 %"_s}
                          << QStringList{u"—"_s, u"年级前 30 %"_s, u"—"_s};
    QTest::newRow("change") << int(SlipItem::Change) << QStringList{u"科目"_s, u"比上次"_s}
                            << QStringList{u"+7.5分，进步 2 名"_s, u"-3分，退步 1 名"_s,
                                           u"+4.5分，持平"_s}
                            << QStringList{u"—"_s, u"无上次成绩"_s, u"—"_s};
    QTest::newRow("classMean") << int(SlipItem::ClassMean)
                               << QStringList{u"科目"_s, u"班级平均分"_s}
                               << QStringList{u"108.75"_s, u"76.49"_s, u"185.24"_s}
                               << QStringList{u"108.75"_s, u"76.49"_s, u"185.24"_s};
}

void SlipsTest::itemSwitch() {
    QFETCH(int, item);
    QFETCH(QStringList, header);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, absent);
    const std::vector<SlipStudent> students = handClass();
    for (int s = 0; s < 2; ++s) {
        const SlipContent content =
            slipContent(Exam, students[std::size_t(s)], only(SlipItem(item)), settings());
        QCOMPARE(content.header, header);
        QStringList got;
        for (const QStringList &row : content.rows)
            got << row.value(1);
        QCOMPARE(got, s == 0 ? cells : absent);
    }
}

void SlipsTest::presets_data() {
    QTest::addColumn<int>("preset");
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QStringList>("total");
    QTest::addColumn<QString>("presetLine");
    QTest::newRow("compulsory") << int(SlipPreset::Compulsory)
                                << QStringList{u"科目"_s, u"等级"_s, u"班级平均分"_s}
                                << QStringList{u"总分"_s, u"B"_s, u"185.24"_s}
                                << u"预设：义务教育 · 本成绩条只给学生本人及家长，请勿转发"_s;
    QTest::newRow("senior") << int(SlipPreset::Senior)
                            << QStringList{u"科目"_s, u"分数"_s, u"班级名次"_s, u"年级名次"_s,
                                           u"比上次"_s}
                            << QStringList{u"总分"_s, u"212.49"_s, u"1/3"_s, u"2/10"_s,
                                           u"+4.5分，持平"_s}
                            << u"预设：高中 · 本成绩条只给学生本人及家长，请勿转发"_s;
}

void SlipsTest::presets() {
    QFETCH(int, preset);
    QFETCH(QStringList, header);
    QFETCH(QStringList, total);
    QFETCH(QString, presetLine);
    SlipOptions options;
    options.preset = SlipPreset(preset);
    options.items = presetItems(options.preset);
    const SlipContent content = slipContent(Exam, handClass()[0], options, settings());
    QCOMPARE(content.header, header);
    QCOMPARE(content.rows.back(), total);
    QCOMPARE(content.preset, presetLine);
    QCOMPARE(content.studentLine, u"学号：2024001　姓名：张三"_s);
    QCOMPARE(content.notes.back(), u"教师评语：继续保持"_s);
    options.items.set(SlipItem::Band, true);
    QVERIFY(slipContent(Exam, handClass()[0], options, settings())
                .preset.contains(u"（项目已调整）"_s));
}

void SlipsTest::itemKeys_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("read");
    QTest::addColumn<int>("count");
    QTest::newRow("all") << u"score,grade,classRank,gradeRank,band,change,classMean"_s << true << 7;
    QTest::newRow("two") << u"grade,classMean"_s << true << 2;
    QTest::newRow("unknown") << u"grade,rank"_s << false << 0;
    QTest::newRow("twice") << u"grade,grade"_s << false << 0;
    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("wrong case") << u"Score"_s << false << 0;
}

void SlipsTest::itemKeys() {
    QFETCH(QString, keys);
    QFETCH(bool, read);
    QFETCH(int, count);
    const std::optional<SlipItems> items = slipItemsFromKeys(keys);
    QCOMPARE(items.has_value(), read);
    int on = 0;
    for (SlipItem item : AllSlipItems)
        on += items && items->has(item);
    QCOMPARE(on, count);
}

void SlipsTest::fileNames() {
    std::vector<SlipStudent> students(5);
    students[0].number = u"2024001"_s, students[0].name = u"张三"_s;
    students[1].number = u"2024/02"_s, students[1].name = u"李/四"_s;
    students[2].number = QString(), students[2].name = u"王五"_s;
    students[3].number = u"2024001"_s, students[3].name = u"张三"_s;
    students[4].number = u"2024005"_s, students[4].name = u"赵六"_s;
    const auto files = slipFileNames(students, {u"2024005 赵六.pdf"_s});
    QStringList names, changed;
    for (const SlipFile &file : files) {
        names << file.fileName;
        changed << (file.changed ? u"changed"_s : u"as is"_s);
    }
    QCOMPARE(names,
             (QStringList{u"2024001 张三.pdf"_s, u"2024_02 李_四.pdf"_s, u"无学号 王五.pdf"_s,
                          u"2024001 张三（2）.pdf"_s, u"2024005 赵六（2）.pdf"_s}));
    QCOMPARE(changed,
             (QStringList{u"as is"_s, u"changed"_s, u"changed"_s, u"changed"_s, u"changed"_s}));
}

void SlipsTest::stripMovesWhole() {
    // Rows are 54 units high (0.1 mm), the heading and padding 260: a slip of
    // 3 rows is 476 high, one of 25 rows 1,664. The page holds 150 to 2,820,
    // gaps of 80 between the strips: after two small ones the tall one would
    // end at 2,926.
    std::vector<SlipContent> slips(6);
    for (std::size_t s = 0; s < slips.size(); ++s) {
        slips[s].header = {u"科目"_s, u"分数"_s};
        slips[s].rows.assign(s == 2 ? 25 : 3, QStringList{u"语文"_s, u"90"_s});
    }
    const SlipLayout layout = layoutSlips(slips, SlipForm::Strips);
    std::vector<int> firsts;
    for (const auto &page : layout.pages)
        firsts.push_back(page.front().slip);
    // The tall strip opens the second page; after it the fifth would end at 2,926.
    QCOMPARE(firsts, (std::vector<int>{0, 2, 4}));
    QCOMPARE(layout.pages[1].front().top, 150.0);
    QCOMPARE(layout.pages[1].back().top, 1894.0);
    for (const auto &page : layout.pages)
        for (const SlipPlacement &p : page)
            QVERIFY(p.top + p.height <= 2970 - 150);
    QCOMPARE(layoutSlips(slips, SlipForm::PagePerStudent).pages.size(), std::size_t(6));
}

void SlipsTest::pdfPerStudentHoldsOnlyTheStudent_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    const QStringList everyTitle{u"分数"_s,   u"等级"_s,   u"班级名次"_s,  u"年级名次"_s,
                                 u"名次段"_s, u"比上次"_s, u"班级平均分"_s};
    for (SlipItem item : AllSlipItems) {
        QStringList others = everyTitle;
        others.removeAll(slipItemTitle(item));
        QTest::newRow(qPrintable(slipItemKey(item)))
            << int(item) << QStringList{slipItemTitle(item)} << others;
    }
}

void SlipsTest::pdfPerStudentHoldsOnlyTheStudent() {
    QFETCH(int, item);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    QTemporaryDir folder;
    const std::vector<SlipStudent> students = handClass();
    SlipPdfRequest request;
    request.exam = Exam;
    request.students = &students;
    request.options = only(SlipItem(item));
    request.settings = settings();
    request.path = folder.filePath(u"成绩条.pdf"_s);
    request.perStudentFolder = folder.filePath(u"每人一份"_s);
    const SlipPdfResult result = pages::writeRequestedSlips(request);
    QCOMPARE(result.failure, QString());
    QCOMPARE(result.written, 3);
    QCOMPARE(result.renamed,
             QStringList{u"学号“2024002”姓名“李/四”的成绩条另存为：2024002 李_四.pdf"_s});
    const QStringList files = QDir(request.perStudentFolder).entryList(QDir::Files);
    QCOMPARE(files,
             (QStringList{u"2024001 张三.pdf"_s, u"2024002 李_四.pdf"_s, u"2024003 王五.pdf"_s}));
    const QStringList ids[] = {
        {u"2024001"_s, u"张三"_s}, {u"2024002"_s, u"李/四"_s}, {u"2024003"_s, u"王五"_s}};
    for (int s = 0; s < 3; ++s) {
        const QString text = pdfText(QDir(request.perStudentFolder).filePath(files[s]));
        for (int other = 0; other < 3; ++other)
            for (const QString &id : ids[other])
                QVERIFY2(text.contains(id) == (other == s), qPrintable(files[s] + u' ' + id));
        for (const QString &title : present)
            QVERIFY2(text.contains(title), qPrintable(title));
        for (const QString &title : absent)
            QVERIFY2(!text.contains(title), qPrintable(title));
    }
    const QString strips = pdfText(request.path);
    QVERIFY(strips.contains(u"张三"_s) && strips.contains(u"王五"_s));
}

void SlipsTest::xlsxStrips() {
    QTemporaryDir folder;
    const QString path = folder.filePath(u"成绩条.xlsx"_s);
    SlipOptions options;
    options.preset = SlipPreset::Senior;
    options.items = presetItems(SlipPreset::Senior);
    options.items.set(SlipItem::ClassRank, false);
    options.items.set(SlipItem::Change, false);
    QCOMPARE(writeSlipsXlsx(Exam, handClass(), options, settings(), path, {}), QString());
    int error = 0;
    const auto book = openWorkbook(path, &error);
    QVERIFY(book);
    QCOMPARE(book->sheetNames(), (QStringList{u"成绩条"_s, u"说明"_s}));
    QStringList rows;
    for (int r = 1; r <= 9; ++r) {
        QStringList cells;
        for (int c = 1; c <= 9; ++c) {
            QString text;
            book->cellText(0, r, c, &text);
            cells << text;
        }
        rows << cells.join(u'|');
    }
    QCOMPARE(
        rows,
        (QStringList{u"学号|姓名|语文|语文年级名次|数学|数学年级名次|总分|总分年级名次|教师评语"_s,
                     u"2024001|张三|127.5|1/10|84.99|4/10|212.49|2/10|继续保持"_s, u"||||||||"_s,
                     u"学号|姓名|语文|语文年级名次|数学|数学年级名次|总分|总分年级名次|"_s,
                     u"2024002|李/四|缺考|—|85|3/10|缺考|—|"_s, u"||||||||"_s,
                     u"学号|姓名|语文|语文年级名次|数学|数学年级名次|总分|总分年级名次|"_s,
                     u"2024003|王五|90|8/10|59.5|9/10|149.5|9/10|"_s, u"||||||||"_s}));
}

// A total without a value says why: 未考 when a subject of it was not taken
// at all, else the state of the first subject not counted.
void SlipsTest::totalWithoutValue_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("expected");
    QTest::newRow("second not taken")
        << int(MarkState::Counted) << int(MarkState::NotTaken) << u"未考"_s;
    QTest::newRow("first absent") << int(MarkState::Absent) << int(MarkState::Counted) << u"缺考"_s;
    QTest::newRow("second exempt")
        << int(MarkState::Counted) << int(MarkState::Exempt) << u"免考"_s;
}

void SlipsTest::totalWithoutValue() {
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QString, expected);
    ExamAnalysis exam;
    exam.subjects.resize(2);
    exam.subjects[0].name = u"语文"_s;
    exam.subjects[1].name = u"数学"_s;
    exam.totals.resize(1);
    exam.totals[0].name = u"总分"_s;
    exam.totals[0].subjects = {0, 1};
    exam.classes.resize(1);
    exam.classes[0].name = u"1班"_s;
    exam.classes[0].subjects.resize(2);
    exam.classes[0].totals.resize(1);
    ExamStudent student;
    student.number = u"2024001"_s;
    student.name = u"张三"_s;
    student.subjects.resize(2);
    student.subjects[0].state = MarkState(first);
    student.subjects[1].state = MarkState(second);
    student.totals.resize(1);
    // As the totals fill it: a subject not taken leaves the list empty.
    if (MarkState(first) == MarkState::Absent) student.totals[0].missing = {0};
    if (MarkState(second) == MarkState::Exempt) student.totals[0].missing = {1};
    exam.students.push_back(student);
    const std::vector<SlipStudent> slips = slipStudents(exam);
    QCOMPARE(slips.size(), std::size_t(1));
    QCOMPARE(slips[0].figures.back().subject, u"总分"_s);
    QVERIFY(!slips[0].figures.back().score);
    QCOMPARE(slips[0].figures.back().uncounted, expected);
}

// The PDF made without Qt's engine against Qt's own of the same page, both
// as pictures: the glyphs each file embeds, where they stand, how wide they
// run, the rules and the shading. Anti-aliasing differs at the edges only.
void SlipsTest::ownWriterDrawsAsQtDoes() {
    QTemporaryDir folder;
    const std::vector<SlipStudent> students = handClass();
    SlipPdfRequest request;
    request.exam = Exam;
    request.students = &students;
    request.options.preset = SlipPreset::Senior;
    request.settings = settings();
    const SlipLayout layout = pages::layoutRequestedSlips(request, SlipForm::PagePerStudent);
    const QString qtPath = folder.filePath(u"qt.pdf"_s), ownPath = folder.filePath(u"own.pdf"_s);
    {
        QPdfWriter writer(qtPath);
        pages::paintSlipPages(writer, layout, {0});
    }
    pages::SimplePdf own(u"成绩条 2024001 张三"_s, u"测试"_s);
    pages::paintSlipPages(own, layout, {0});
    QFile file(ownPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(own.document()) > 0);
    file.close();
    const QString text = pdfText(ownPath);
    QVERIFY2(text.contains(u"2024001"_s) && text.contains(u"张三"_s), qPrintable(text));
    const auto [ink, differing] = pictureDifference(qtPath, ownPath);
    QVERIFY(differing >= 0);
    QVERIFY2(ink > 1500, qPrintable(QString::number(ink)));
    QVERIFY2(differing * 100 < ink, qPrintable(u"%1 of %2"_s.arg(differing).arg(ink)));
}

// A name with a character the slips' face has no glyph for (䶮 of 刘䶮):
// that student's file is drawn by Qt's writer, which takes it from another
// face, and still names the student.
void SlipsTest::characterTheFaceLacks() {
    QTemporaryDir folder;
    std::vector<SlipStudent> students = handClass();
    students[1].name = u"刘䶮"_s;
    SlipPdfRequest request;
    request.exam = Exam;
    request.students = &students;
    request.options.preset = SlipPreset::Senior;
    request.settings = settings();
    request.perStudentFolder = folder.filePath(u"每人一份"_s);
    const SlipPdfResult result = pages::writeRequestedSlips(request);
    QCOMPARE(result.failure, QString());
    QCOMPARE(result.written, 3);
    const QDir written(request.perStudentFolder);
    QVERIFY(pdfText(written.filePath(u"2024002 刘䶮.pdf"_s)).contains(u"刘䶮"_s));
    QVERIFY(pdfText(written.filePath(u"2024001 张三.pdf"_s)).contains(u"张三"_s));
}

// Accented letters are composites in most faces: é is e and an acute. The
// subset must hold the parts under their new numbers, or the accent goes.
void SlipsTest::ownWriterKeepsCompositeParts() {
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(160);
    if (QRawFont::fromFont(font).familyName() != u"DejaVu Sans"_s)
        QSKIP("DejaVu Sans, whose accented letters are composites, is not installed");
    QTemporaryDir folder;
    const auto paint = [&](QPaintDevice &device) {
        QPainter painter(&device);
        painter.scale(device.width() / 2100.0, device.width() / 2100.0);
        painter.setFont(font);
        painter.drawText(QPointF(200, 400), u"éÅñ Café"_s);
    };
    const QString qtPath = folder.filePath(u"qt.pdf"_s), ownPath = folder.filePath(u"own.pdf"_s);
    {
        QPdfWriter writer(qtPath);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF());
        paint(writer);
    }
    pages::SimplePdf own(u"t"_s, u"t"_s);
    paint(own);
    QFile file(ownPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(own.document()) > 0);
    file.close();
    QVERIFY(pdfText(ownPath).contains(u"éÅñ Café"_s));
    const auto [ink, differing] = pictureDifference(qtPath, ownPath);
    QVERIFY(differing >= 0);
    QVERIFY2(ink > 500, qPrintable(QString::number(ink)));
    QVERIFY2(differing * 100 < ink, qPrintable(u"%1 of %2"_s.arg(differing).arg(ink)));
}

int main(int argc, char **argv) {
    QGuiApplication application(argc, argv);
    SlipsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_slips.moc"
