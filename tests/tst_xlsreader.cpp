// Checks the .xls reader against workbooks written by real spreadsheet
// writers (xlwt, Gnumeric, LibreOffice). tests/fixtures/make_fixtures.py
// writes them and lists, for every cell, the text it was written as; the
// expected texts below are those, not the reader's own output.

#include "analysis/importerrors.h"
#include "analysis/messages.h"
#include "analysis/scoregrid.h"
#include "analysis/workbook.h"
#include "analysis/workbookimport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <initializer_list>

using namespace analysis;
using namespace Qt::StringLiterals;

namespace {

QString fixture(const QString &name) {
    return QStringLiteral(SCORE_FIXTURES_DIR) + u'/' + name;
}

const QString ClassXlwt = QStringLiteral("class_xlwt.xls");
const QString ClassGnumeric = QStringLiteral("class_gnumeric.xls");
const QString ClassGbk = QStringLiteral("class_gnumeric_biff5_gbk.xls");
const QString ClassLibreOffice = QStringLiteral("class_libreoffice.xls");
const QString Latin = QStringLiteral("latin_gnumeric_biff5.xls");
const QString LibreOffice = QStringLiteral("formulas_libreoffice.xls");
const QString Dates1904 = QStringLiteral("dates1904_xlwt.xls");

// The class workbooks: the same class list written four ways.
const QStringList ClassFixtures = {ClassXlwt, ClassGnumeric, ClassGbk, ClassLibreOffice};

const QString Sheet1 = QStringLiteral("Sheet1");
const QString Scores = QStringLiteral("成绩表");
const QString Grade = QStringLiteral("Grade");

struct Cell {
    int row;
    int column;
    QStringView text;
};

// Sheet1 of every class workbook, as the cells were written (spaces kept).
const Cell ClassSheet1[] = {
    {1, 1, u"学号"},
    {1, 2, u"姓名"},
    {1, 3, u"成绩"},
    {2, 1, u"2024001"},
    {2, 2, u"张三"},
    {2, 3, u"85"},
    {3, 1, u"2024002"},
    {3, 3, u"85.5"},
    {4, 3, u"84.5"},
    {5, 2, u"  赵六  "},
    {5, 3, u"90"},
    {6, 2, u"钱七 "},
    {6, 3, u"0.3"}, // 0.1 + 0.2 stored as a number
    {7, 2, u" 孙八"},
    {7, 3, u"0.333333333333333"},
    {8, 3, u"1E-07"},
    {9, 3, u"1.23456789012346E+16"},
    {10, 3, u"-3"},
    {11, 3, u"100"},
    {12, 1, u""}, // the empty row
    {12, 2, u""},
    {12, 3, u""},
    {13, 3, u"缺考"},
    {14, 1, u""}, // only the score; A14:B14 are formatted blanks in the xlwt file
    {14, 2, u""},
    {14, 3, u"77"},
    {15, 3, u"True"},
    {16, 3, u"False"},
    {17, 3, u"7.5"}, // 0.0 "分": a number, not a date
    {18, 3, u"2024/3/15"},
    {19, 3, u"8:30:00"},
    {20, 3, u"2024/3/15 8:30:00"},
    {21, 3, u"#DIV/0!"},
    {22, 3, u"#N/A"},
    {23, 1, u"2024021"},
    {23, 3, u""}, // an empty text
    {24, 1, u"S2024022"},
    {24, 3, u"85"},   // a text, not a number
    {25, 2, u"许五"}, // written in two fonts
    {26, 2, u"\u3000吕六\u3000"},
    {27, 1, u""},
    {27, 2, u"   "},
    {27, 3, u""},
    {28, 3, u"0"},
    {29, 3, u"99.99"},
    {30, 3, u"12345"},     // 0.00E+00
    {31, 3, u"0.85"},      // 0%
    {32, 3, u"2024/3/15"}, // built-in date format 14
    {33, 3, u"2024/9/1"},  // yyyy"年"m"月"d"日"
    {34, 1, u"2024032"},
    {34, 2, u"魏四"},
    {34, 3, u"100"},
    {35, 1, u""},
    {35, 3, u""},
    {2, 6, u"1900/1/1"},
    {3, 6, u"1900/2/28"},
    {4, 6, u"1900/3/1"},
    {5, 6, u"9999/12/31"},
    {5, 4, u""},     // a formatted blank in the xlwt file
    {2, 7, u"12.5"}, // 0.0 "days"
    {3, 7, u"3.5"},  // [Red]0.0
    {4, 7, u"4.25"}, // 0.0\s
    {5, 7, u"5.75"}, // 0.0_s
    {6, 7, u"6.5"},  // 0.0*s
    {2, 256, u"最后一列"},
    {2, 255, u""},
    {65536, 1, u""},
    {65536, 256, u""},
};

// Cached formula results, in the Gnumeric and LibreOffice files.
const Cell FormulaResults[] = {
    {2, 5, u"170"},  {3, 5, u"优秀"}, {4, 5, u"True"}, {5, 5, u"False"}, {6, 5, u"#DIV/0!"},
    {7, 5, u"#N/A"}, {8, 5, u""},     {9, 5, u"0.3"},  {10, 5, u"良"},   {11, 5, u"2024/3/15"},
};

const Cell ClassScores[] = {
    {1, 1, u"学号"}, {2, 1, u"1"},    {2, 2, u"甲"}, {2, 3, u"91"}, {3, 2, u"乙"},
    {3, 3, u"72.5"}, {4, 3, u"缺考"}, {6, 1, u"5"},  {6, 2, u"戊"}, {6, 3, u"88"},
    {7, 1, u""},     {7, 2, u""},     {7, 3, u""},
};

// Grade holds students i = 1..150 in rows i + 1: number 3000 + i, name
// 学生iii, score (7 i) mod 101.
const Cell ClassGrade[] = {
    {1, 3, u"成绩"},      {2, 1, u"3001"},   {2, 2, u"学生001"},   {2, 3, u"7"},
    {101, 1, u"3100"},    {101, 3, u"94"},   {102, 2, u"学生101"}, {129, 2, u"学生128"},
    {130, 2, u"学生129"}, {151, 1, u"3150"}, {151, 2, u"学生150"}, {151, 3, u"40"},
    {152, 1, u""},        {152, 2, u""},     {152, 3, u""},
};

// Rows past 32767, in the BIFF8 files only (BIFF5 sheets end at row 16384).
const Cell GradeFarRows[] = {
    {32700, 1, u"R32700"}, {32700, 2, u"远32700"}, {32700, 3, u"0"},       {32767, 1, u"R32767"},
    {32767, 3, u"67"},     {32768, 1, u"R32768"},  {32768, 2, u"远32768"}, {32769, 1, u""},
};

const QString LongChinese = QStringLiteral("甲乙丙丁").repeated(1500);
const QString LongAscii = QStringLiteral("abcdefghij").repeated(900);

void addCells(const QString &file, const QString &sheet, const Cell *begin, const Cell *end) {
    for (const Cell *cell = begin; cell != end; ++cell)
        QTest::addRow("%s %s!R%dC%d", qPrintable(file), qPrintable(sheet), cell->row, cell->column)
            << file << sheet << cell->row << cell->column << cell->text.toString();
}

template <std::size_t N>
void addCells(const QString &file, const QString &sheet, const Cell (&cells)[N]) {
    addCells(file, sheet, cells, cells + N);
}

void addCells(const QString &file, const QString &sheet, std::initializer_list<Cell> cells) {
    addCells(file, sheet, cells.begin(), cells.end());
}

// The grid as lines "row: number | name | score", so that a mismatch names
// its row.
QStringList gridLines(const ScoreGrid &grid) {
    QStringList lines;
    for (int row = 0; row < ScoreGrid::Rows; ++row)
        lines << QStringLiteral("%1: %2 | %3 | %4")
                     .arg(row)
                     .arg(grid.text(row, 0), grid.text(row, 1), grid.text(row, 2));
    return lines;
}

struct GridRow {
    int row;
    QStringView number, name, score;
};

// The lines of a grid that holds these rows and is blank elsewhere.
QStringList expectedLines(const GridRow *begin, const GridRow *end) {
    ScoreGrid grid;
    for (const GridRow *r = begin; r != end; ++r) {
        grid.setText(r->row, 0, r->number.toString());
        grid.setText(r->row, 1, r->name.toString());
        grid.setText(r->row, 2, r->score.toString());
    }
    return gridLines(grid);
}

QStringList expectedLines(std::initializer_list<GridRow> rows) {
    return expectedLines(rows.begin(), rows.end());
}

// Sheet1 of a class workbook imported from row 2, columns 1, 2, 3: spaces
// trimmed, the empty row and the row of blanks kept in place.
const GridRow ClassSheet1Grid[] = {
    {0, u"2024001", u"张三", u"85"},
    {1, u"2024002", u"李四", u"85.5"},
    {2, u"2024003", u"王五", u"84.5"},
    {3, u"2024004", u"赵六", u"90"},
    {4, u"2024005", u"钱七", u"0.3"},
    {5, u"2024006", u"孙八", u"0.333333333333333"},
    {6, u"2024007", u"周九", u"1E-07"},
    {7, u"2024008", u"吴十", u"1.23456789012346E+16"},
    {8, u"2024009", u"郑一", u"-3"},
    {9, u"2024010", u"王二", u"100"},
    // 10: the empty sheet row 12
    {11, u"2024011", u"冯三", u"缺考"},
    {12, u"", u"", u"77"},
    {13, u"2024013", u"陈五", u"True"},
    {14, u"2024014", u"褚六", u"False"},
    {15, u"2024015", u"卫七", u"7.5"},
    {16, u"2024016", u"蒋八", u"2024/3/15"},
    {17, u"2024017", u"沈九", u"8:30:00"},
    {18, u"2024018", u"韩十", u"2024/3/15 8:30:00"},
    {19, u"2024019", u"杨一", u"#DIV/0!"},
    {20, u"2024020", u"朱二", u"#N/A"},
    {21, u"2024021", u"秦三", u""},
    {22, u"S2024022", u"尤四", u"85"},
    {23, u"2024023", u"许五", u"60"},
    {24, u"2024024", u"\u3000吕六\u3000", u"59.5"}, // ideographic spaces stay
    // 25: sheet row 27 holds only spaces
    {26, u"2024026", u"施七", u"0"},
    {27, u"2024027", u"张八", u"99.99"},
    {28, u"2024028", u"孔九", u"12345"},
    {29, u"2024029", u"曹十", u"0.85"},
    {30, u"2024030", u"严一", u"2024/3/15"},
    {31, u"2024031", u"华二", u"2024/9/1"},
    {32, u"2024032", u"魏四", u"100"},
};

QStringList classSheet1Grid() {
    return expectedLines(std::begin(ClassSheet1Grid), std::end(ClassSheet1Grid));
}

// The same rows with the score taken from column IV, which only sheet row 2
// fills: the row that had nothing but a score is now blank.
QStringList classSheet1GridLastColumn() {
    ScoreGrid grid;
    for (const GridRow &r : ClassSheet1Grid) {
        if (r.number.isEmpty() && r.name.isEmpty()) continue;
        grid.setText(r.row, 0, r.number.toString());
        grid.setText(r.row, 1, r.name.toString());
    }
    grid.setText(0, 2, QStringLiteral("最后一列"));
    return gridLines(grid);
}

QStringList classScoresGrid() {
    return expectedLines({
        {0, u"1", u"甲", u"91"},
        {1, u"2", u"乙", u"72.5"},
        {2, u"3", u"丙", u"缺考"},
        {3, u"4", u"丁", u"60"},
        {4, u"5", u"戊", u"88"},
    });
}

// Grade imported from firstRow: grid row k holds student firstRow - 1 + k
// while there is one.
QStringList gradeGrid(int firstRow) {
    ScoreGrid grid;
    for (int row = 0; row < ScoreGrid::Rows; ++row) {
        const int student = firstRow - 1 + row;
        if (student < 1 || student > 150) continue;
        grid.setText(row, 0, QString::number(3000 + student));
        grid.setText(row, 1, QStringLiteral("学生%1").arg(student, 3, 10, QChar(u'0')));
        grid.setText(row, 2, QString::number(7 * student % 101));
    }
    return gridLines(grid);
}

// A grid full of text, to see what an import leaves of it.
ScoreGrid filledGrid() {
    ScoreGrid grid;
    for (int row = 0; row < ScoreGrid::Rows; ++row)
        for (int column = 0; column < ScoreGrid::Columns; ++column)
            grid.setText(row, column, QStringLiteral("old %1/%2").arg(row).arg(column));
    return grid;
}

ImportFields fieldsFor(const QString &path, const QString &sheet = QStringLiteral("Sheet1"),
                       const QString &firstRow = QStringLiteral("2")) {
    ImportFields fields;
    fields.path = path;
    fields.sheet = sheet;
    fields.firstRow = firstRow;
    return fields;
}

QString rowOverflowMessage() {
    return QStringLiteral("未知错误，错误号： 6　请检查输入值！");
}

} // namespace

class TestXlsReader : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void sheetNames_data();
    void sheetNames();
    void sheetIndex_data();
    void sheetIndex();
    void cellText_data();
    void cellText();
    void cellOutOfRange_data();
    void cellOutOfRange();
    void scatteredReads_data();
    void scatteredReads();
    void openFailure_data();
    void openFailure();

    void importGrid_data();
    void importGrid();
    void importFailure_data();
    void importFailure();
    void rowOverflowKeepsEarlierRows_data();
    void rowOverflowKeepsEarlierRows();
    void secondImportBlanksFirst_data();
    void secondImportBlanksFirst();
    void fieldRejectedBeforeGridChanges_data();
    void fieldRejectedBeforeGridChanges();
    void failureMessage_data();
    void failureMessage();

private:
    QTemporaryDir m_temporary;
};

void TestXlsReader::initTestCase() {
    QVERIFY(m_temporary.isValid());
    QVERIFY2(QFileInfo(fixture(ClassXlwt)).isFile(), "fixtures missing");
}

void TestXlsReader::sheetNames_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected");

    for (const QString &file : ClassFixtures)
        QTest::addRow("%s", qPrintable(file)) << file << QStringList{Sheet1, Scores, Grade};
    // BIFF5 names in code page 1252.
    QTest::addRow("%s", qPrintable(Latin)) << Latin << QStringList{Sheet1, u"Übersicht"_s};
    QTest::addRow("%s", qPrintable(LibreOffice)) << LibreOffice << QStringList{Sheet1};
    QTest::addRow("%s", qPrintable(Dates1904)) << Dates1904 << QStringList{Sheet1};
}

void TestXlsReader::sheetNames() {
    QFETCH(QString, file);
    QFETCH(QStringList, expected);

    int error = -1;
    const auto workbook = openWorkbook(fixture(file), &error);
    QVERIFY(workbook);
    QCOMPARE(error, 0);
    QCOMPARE(workbook->sheetNames(), expected);
}

void TestXlsReader::sheetIndex_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("expected");

    for (const QString &file : ClassFixtures) {
        const auto add = [&](const QString &name, int expected) {
            QTest::addRow("%s '%s'", qPrintable(file), qPrintable(name))
                << file << name << expected;
        };
        add(u"Sheet1"_s, 0);
        add(u"sheet1"_s, 0);
        add(u"SHEET1"_s, 0);
        add(u"成绩表"_s, 1);
        add(u"grade"_s, 2);
        add(u"GRADE"_s, 2);
        add(u"Sheet2"_s, -1);
        add(u"Sheet 1"_s, -1);
        add(u"Sheet1 "_s, -1);
        add(u"成绩"_s, -1);
        add(QString(), -1);
    }
    QTest::addRow("%s 'übersicht'", qPrintable(Latin)) << Latin << u"übersicht"_s << 1;
    QTest::addRow("%s 'ÜBERSICHT'", qPrintable(Latin)) << Latin << u"ÜBERSICHT"_s << 1;
    QTest::addRow("%s 'Ubersicht'", qPrintable(Latin)) << Latin << u"Ubersicht"_s << -1;
}

void TestXlsReader::sheetIndex() {
    QFETCH(QString, file);
    QFETCH(QString, name);
    QFETCH(int, expected);

    int error = -1;
    const auto workbook = openWorkbook(fixture(file), &error);
    QVERIFY(workbook);
    QCOMPARE(workbook->sheetIndex(name), expected);
}

void TestXlsReader::cellText_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");

    for (const QString &file : ClassFixtures) {
        const bool biff8 = file != ClassGbk;
        addCells(file, Sheet1, ClassSheet1);
        addCells(file, Scores, ClassScores);
        addCells(file, Grade, ClassGrade);
        if (biff8) {
            addCells(file, Grade, GradeFarRows);
        } else {
            addCells(file, Grade, {{32767, 1, u""}, {32768, 1, u""}});
        }
        if (file == ClassXlwt)
            addCells(file, Sheet1, {{2, 5, u""}, {8, 5, u""}});
        else
            addCells(file, Sheet1, FormulaResults);
        // Shared strings longer than one record, split across CONTINUE
        // records: the strings after them must still be found.
        if (biff8) {
            QTest::addRow("%s long Chinese text", qPrintable(file))
                << file << Sheet1 << 3 << 4 << LongChinese;
            QTest::addRow("%s long ASCII text", qPrintable(file))
                << file << Sheet1 << 4 << 4 << LongAscii;
        } else {
            addCells(file, Sheet1, {{3, 4, u""}, {4, 4, u""}});
        }
    }

    // Western text in a BIFF5 workbook in code page 1252, in the mini stream.
    addCells(Latin, Sheet1,
             {
                 {1, 3, u"Note"},
                 {2, 1, u"1"},
                 {2, 2, u"  Café  "},
                 {2, 3, u"85.5"},
                 {3, 2, u"Müller"},
                 {3, 3, u"#DIV/0!"},
                 {4, 2, u"Søren"},
                 {4, 3, u""},
                 {5, 1, u""},
                 {6, 2, u"Zoë"},
                 {6, 3, u"7.5"},
                 {2, 5, u"Crème brûlée"},
                 {3, 5, u"True"},
                 {4, 5, u"#N/A"},
                 {5, 5, u"2024/3/15"},
                 {6, 5, u"7.5"},
             });
    addCells(Latin, u"Übersicht"_s, {{1, 1, u"Übersicht"}, {2, 1, u"42"}});

    // LibreOffice: an empty formula text is a result type of its own.
    addCells(LibreOffice, Sheet1,
             {
                 {2, 1, u"2024001"},
                 {2, 2, u"  张三  "},
                 {2, 3, u""},
                 {3, 3, u"缺考"},
                 {4, 3, u"85.5"},
                 {5, 3, u"#DIV/0!"},
                 {6, 3, u"#N/A"},
                 {7, 3, u"True"},
                 {8, 3, u"7.5"},
                 {9, 3, u"2024/3/15"},
                 {10, 3, u"PASS"},
                 {11, 1, u""},
             });

    // xlwt splits a shared string at the SST record's end even between the
    // two UTF-16 units of 😀; the halves are joined before decoding. (Written
    // by tools/agreement.py --count 400 --seed 7, its workbook w0308-xlwt.)
    addCells(u"split_surrogate_xlwt.xls"_s, Sheet1, {{113, 2, u"魏😀军"}});

    // The 1904 date system counts from 1904-01-01. A bare time there is a
    // time on that day: the grid shows the value, not the format, and only
    // the 1900 system has a day 0 that stands for no date.
    addCells(Dates1904, Sheet1,
             {
                 {1, 1, u"2024/3/15"},
                 {2, 1, u"2024/3/15 8:30:00"},
                 {3, 1, u"1904/1/1 8:30:00"},
                 {4, 1, u"85"},
                 {5, 1, u"1904/1/2"},
             });
}

void TestXlsReader::cellText() {
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, expected);

    int error = -1;
    const auto workbook = openWorkbook(fixture(file), &error);
    QVERIFY(workbook);
    QCOMPARE(error, 0);
    const int index = workbook->sheetNames().indexOf(sheet);
    QVERIFY(index >= 0);
    QString text = QStringLiteral("stale");
    QCOMPARE(workbook->cellText(index, row, column, &text), 0);
    QCOMPARE(text, expected);
}

void TestXlsReader::cellOutOfRange_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("expected");

    for (const QString &file : {ClassXlwt, ClassGbk, Latin}) {
        const auto add = [&](int row, int column, int expected) {
            QTest::addRow("%s R%dC%d", qPrintable(file), row, column)
                << file << row << column << expected;
        };
        add(1, 0, int(CellOutOfRange));
        add(1, 257, int(CellOutOfRange));
        add(1, -1, int(CellOutOfRange));
        add(0, 1, int(CellOutOfRange));
        add(-5, 1, int(CellOutOfRange));
        add(65537, 1, int(CellOutOfRange));
        add(65536, 256, int(NoError));
        add(1, 1, int(NoError));
    }
}

void TestXlsReader::cellOutOfRange() {
    QFETCH(QString, file);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, expected);

    int error = -1;
    const auto workbook = openWorkbook(fixture(file), &error);
    QVERIFY(workbook);
    QString text = QStringLiteral("stale");
    QCOMPARE(workbook->cellText(0, row, column, &text), expected);
    if (expected != NoError) QCOMPARE(text, QString());
}

// One workbook read in an order that leaves and re-enters the rows held from
// the last scan, across sheets.
void TestXlsReader::scatteredReads_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("farRows");

    QTest::addRow("%s", qPrintable(ClassXlwt)) << ClassXlwt << true;
    QTest::addRow("%s", qPrintable(ClassGnumeric)) << ClassGnumeric << true;
    QTest::addRow("%s", qPrintable(ClassGbk)) << ClassGbk << false;
    QTest::addRow("%s", qPrintable(ClassLibreOffice)) << ClassLibreOffice << true;
}

void TestXlsReader::scatteredReads() {
    QFETCH(QString, file);
    QFETCH(bool, farRows);

    enum Kind { Any, Biff8Only, Biff5Only };
    struct Read {
        QStringView sheet;
        int row;
        int column;
        QStringView text;
        Kind kind;
    };
    const Read reads[] = {
        {u"Grade", 151, 2, u"学生150", Any},
        {u"Sheet1", 2, 2, u"张三", Any},
        {u"Grade", 2, 1, u"3001", Any},
        {u"Grade", 130, 2, u"学生129", Any}, // just past the rows held
        {u"Grade", 129, 2, u"学生128", Any}, // just before them
        {u"Grade", 3, 3, u"14", Any},
        {u"Grade", 32768, 1, u"R32768", Biff8Only},
        {u"Sheet1", 34, 2, u"魏四", Any},
        {u"成绩表", 3, 3, u"72.5", Any},
        {u"Grade", 32700, 2, u"远32700", Biff8Only},
        {u"Grade", 150, 3, u"33", Any},
        {u"Sheet1", 17, 3, u"7.5", Any},
        {u"Grade", 32767, 1, u"R32767", Biff8Only},
        {u"Grade", 32767, 1, u"", Biff5Only},
        {u"Sheet1", 65536, 1, u"", Any},
        {u"Sheet1", 2, 256, u"最后一列", Any},
        {u"Sheet1", 2, 1, u"2024001", Any},
    };

    int error = -1;
    const auto workbook = openWorkbook(fixture(file), &error);
    QVERIFY(workbook);
    for (const Read &read : reads) {
        if ((read.kind == Biff8Only && !farRows) || (read.kind == Biff5Only && farRows)) continue;
        const int sheet = workbook->sheetIndex(read.sheet.toString());
        QVERIFY(sheet >= 0);
        QString text;
        QCOMPARE(workbook->cellText(sheet, read.row, read.column, &text), 0);
        QCOMPARE(text, read.text.toString());
    }
}

void TestXlsReader::openFailure_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("expected");

    // Told from the content: a text file named .xls, an empty file, a Word
    // document (a compound file without a Workbook or Book stream) and a
    // zip archive without a workbook part are all of another kind.
    QTest::newRow("text file") << fixture(u"plain_text.xls"_s) << int(NotAWorkbook);
    QTest::newRow("empty file") << fixture(u"empty.xls"_s) << int(NotAWorkbook);
    QTest::newRow("Word document") << fixture(u"letter_libreoffice.doc"_s) << int(NotAWorkbook);
    QTest::newRow("zip") << fixture(u"broken_not_a_workbook.zip"_s) << int(NotAWorkbook);
    // Encrypted or damaged: a workbook that can't be read.
    QTest::newRow("encrypted xls") << fixture(u"encrypted_libreoffice.xls"_s) << int(CannotOpen);
    QTest::newRow("encrypted xlsx") << fixture(u"encrypted_libreoffice.xlsx"_s) << int(CannotOpen);
    QTest::newRow("truncated") << fixture(u"truncated_xlwt.xls"_s) << int(CannotOpen);
    QTest::newRow("missing file") << m_temporary.filePath(u"missing.xls"_s) << int(CannotOpen);
    QTest::newRow("directory") << m_temporary.path() << int(CannotOpen);
    QTest::newRow("empty path") << QString() << int(CannotOpen);
}

void TestXlsReader::openFailure() {
    QFETCH(QString, path);
    QFETCH(int, expected);

    int error = -1;
    const auto workbook = openWorkbook(path, &error);
    QVERIFY(!workbook);
    QCOMPARE(error, expected);
}

void TestXlsReader::importGrid_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("firstRow");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QStringList>("expected");

    const QStringList standard{u"1"_s, u"2"_s, u"3"_s};
    for (const QString &file : ClassFixtures) {
        const auto add = [&](const char *what, const QString &sheet, const QString &firstRow,
                             const QStringList &columns, const QStringList &expected) {
            QTest::addRow("%s %s", qPrintable(file), what)
                << file << sheet << firstRow << columns << expected;
        };
        add("Sheet1", Sheet1, u"2"_s, standard, classSheet1Grid());
        add("sheet1 in other case", u"sheet1"_s, u"2"_s, standard, classSheet1Grid());
        add("second sheet", Scores, u"2"_s, standard, classScoresGrid());
        add("150 rows from row 2", Grade, u"2"_s, standard, gradeGrid(2));
        add("150 rows from row 52", u"GRADE"_s, u"52"_s, standard, gradeGrid(52));
        add("150 rows from row 53", Grade, u"53"_s, standard, gradeGrid(53));
        add("header row first", Scores, u"1"_s, standard,
            expectedLines({{0, u"学号", u"姓名", u"成绩"},
                           {1, u"1", u"甲", u"91"},
                           {2, u"2", u"乙", u"72.5"},
                           {3, u"3", u"丙", u"缺考"},
                           {4, u"4", u"丁", u"60"},
                           {5, u"5", u"戊", u"88"}}));
        add("columns swapped", Scores, u"2"_s, {u"3"_s, u"2"_s, u"1"_s},
            expectedLines({{0, u"91", u"甲", u"1"},
                           {1, u"72.5", u"乙", u"2"},
                           {2, u"缺考", u"丙", u"3"},
                           {3, u"60", u"丁", u"4"},
                           {4, u"88", u"戊", u"5"}}));
        // Column fields are read as numbers and rounded: " 2.6 " is column 3.
        add("column fields as numbers", Scores, u" 2 "_s, {u"1.4"_s, u"2"_s, u" 2.6 "_s},
            classScoresGrid());
        add("last column", Sheet1, u"2"_s, {u"1"_s, u"2"_s, u"256"_s}, classSheet1GridLastColumn());
    }
    QTest::addRow("%s Sheet1", qPrintable(Latin))
        << Latin << Sheet1 << u"2"_s << standard
        << expectedLines({{0, u"1", u"Café", u"85.5"},
                          {1, u"2", u"Müller", u"#DIV/0!"},
                          {2, u"3", u"Søren", u""},
                          {4, u"5", u"Zoë", u"7.5"}});
    QTest::addRow("%s Sheet1", qPrintable(LibreOffice))
        << LibreOffice << Sheet1 << u"2"_s << standard
        << expectedLines({{0, u"2024001", u"张三", u""},
                          {1, u"2024002", u"李四", u"缺考"},
                          {2, u"2024003", u"王五", u"85.5"},
                          {3, u"2024004", u"赵六", u"#DIV/0!"},
                          {4, u"2024005", u"钱七", u"#N/A"},
                          {5, u"2024006", u"孙八", u"True"},
                          {6, u"2024007", u"周九", u"7.5"},
                          {7, u"2024008", u"吴十", u"2024/3/15"},
                          {8, u"2024009", u"郑一", u"PASS"}});
}

void TestXlsReader::importGrid() {
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QString, firstRow);
    QFETCH(QStringList, columns);
    QFETCH(QStringList, expected);

    ImportFields fields = fieldsFor(fixture(file), sheet, firstRow);
    fields.numberColumn = columns[0];
    fields.nameColumn = columns[1];
    fields.scoreColumn = columns[2];
    ScoreGrid grid = filledGrid();
    const ImportOutcome outcome = importWorkbook(fields, grid);
    QCOMPARE(int(outcome.status), int(ImportOutcome::Status::Imported));
    QCOMPARE(outcome.errorNumber, 0);
    QCOMPARE(gridLines(grid), expected);
}

void TestXlsReader::importFailure_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("message");

    const QStringList standard{u"1"_s, u"2"_s, u"3"_s};
    const auto add = [&](const char *what, const QString &path, const QString &sheet,
                         const QStringList &columns, int expected, const QString &message) {
        QTest::newRow(what) << path << sheet << columns << expected << message;
    };
    add("text file", fixture(u"plain_text.xls"_s), Sheet1, standard, NotAWorkbook,
        messages::notAWorkbook());
    add("empty file", fixture(u"empty.xls"_s), Sheet1, standard, NotAWorkbook,
        messages::notAWorkbook());
    add("Word document", fixture(u"letter_libreoffice.doc"_s), Sheet1, standard, NotAWorkbook,
        messages::notAWorkbook());
    add("zip", fixture(u"broken_not_a_workbook.zip"_s), Sheet1, standard, NotAWorkbook,
        messages::notAWorkbook());
    add("encrypted xls", fixture(u"encrypted_libreoffice.xls"_s), Sheet1, standard, CannotOpen,
        messages::cannotOpenWorkbook());
    add("encrypted xlsx", fixture(u"encrypted_libreoffice.xlsx"_s), Sheet1, standard, CannotOpen,
        messages::cannotOpenWorkbook());
    add("truncated", fixture(u"truncated_xlwt.xls"_s), Sheet1, standard, CannotOpen,
        messages::cannotOpenWorkbook());
    add("missing file", m_temporary.filePath(u"missing.xls"_s), Sheet1, standard, CannotOpen,
        messages::cannotOpenWorkbook());
    add("directory", m_temporary.path(), Sheet1, standard, CannotOpen,
        messages::cannotOpenWorkbook());
    add("no such sheet", fixture(ClassXlwt), u"Sheet2"_s, standard, SheetMissing,
        messages::sheetNotFound());
    add("no such sheet, BIFF5", fixture(ClassGbk), u"成绩"_s, standard, SheetMissing,
        messages::sheetNotFound());
    add("no such sheet, 1252", fixture(Latin), u"Ubersicht"_s, standard, SheetMissing,
        messages::sheetNotFound());
    add("number column 0", fixture(ClassXlwt), Sheet1, {u"0"_s, u"2"_s, u"3"_s}, CellOutOfRange,
        messages::columnOutOfRange());
    add("score column 257", fixture(ClassXlwt), Sheet1, {u"1"_s, u"2"_s, u"257"_s}, CellOutOfRange,
        messages::columnOutOfRange());
    add("score column 257, BIFF5", fixture(ClassGbk), Sheet1, {u"1"_s, u"2"_s, u"257"_s},
        CellOutOfRange, messages::columnOutOfRange());
    add("name column -1", fixture(ClassGnumeric), Sheet1, {u"1"_s, u"-1"_s, u"3"_s}, CellOutOfRange,
        messages::columnOutOfRange());
    add("column 32767", fixture(ClassGnumeric), Sheet1, {u"1"_s, u"2"_s, u"32767"_s},
        CellOutOfRange, messages::columnOutOfRange());
    add("column -32768", fixture(LibreOffice), Sheet1, {u"-32768"_s, u"2"_s, u"3"_s},
        CellOutOfRange, messages::columnOutOfRange());
}

// Each of these fails before a row is written: the grid is left blank.
void TestXlsReader::importFailure() {
    QFETCH(QString, path);
    QFETCH(QString, sheet);
    QFETCH(QStringList, columns);
    QFETCH(int, expected);
    QFETCH(QString, message);

    ImportFields fields = fieldsFor(path, sheet);
    fields.numberColumn = columns[0];
    fields.nameColumn = columns[1];
    fields.scoreColumn = columns[2];
    ScoreGrid grid = filledGrid();
    const ImportOutcome outcome = importWorkbook(fields, grid);
    QCOMPARE(int(outcome.status), int(ImportOutcome::Status::Failed));
    QCOMPARE(outcome.errorNumber, expected);
    QCOMPARE(outcome.message, message);
    QCOMPARE(gridLines(grid), gridLines(ScoreGrid()));
}

void TestXlsReader::rowOverflowKeepsEarlierRows_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("firstRow");
    QTest::addColumn<QStringList>("expected");

    for (const QString &file : {ClassXlwt, ClassGnumeric, ClassLibreOffice}) {
        QTest::addRow("%s from 32700", qPrintable(file))
            << file << u"32700"_s
            << expectedLines(
                   {{0, u"R32700", u"远32700", u"0"}, {67, u"R32767", u"远32767", u"67"}});
        QTest::addRow("%s from 32701", qPrintable(file))
            << file << u"32701"_s << expectedLines({{66, u"R32767", u"远32767", u"67"}});
        QTest::addRow("%s from 32767", qPrintable(file))
            << file << u"32767"_s << expectedLines({{0, u"R32767", u"远32767", u"67"}});
    }
    // BIFF5 sheets hold no rows this far down.
    QTest::addRow("%s from 32700", qPrintable(ClassGbk))
        << ClassGbk << u"32700"_s << expectedLines({});
}

// Sheet rows past 32767 are out of the import's reach: it stops there with
// failure 6 and keeps the rows it had written.
void TestXlsReader::rowOverflowKeepsEarlierRows() {
    QFETCH(QString, file);
    QFETCH(QString, firstRow);
    QFETCH(QStringList, expected);

    ImportFields fields = fieldsFor(fixture(file), Grade, firstRow);
    ScoreGrid grid = filledGrid();
    const ImportOutcome outcome = importWorkbook(fields, grid);
    QCOMPARE(int(outcome.status), int(ImportOutcome::Status::Failed));
    QCOMPARE(outcome.errorNumber, int(RowOverflow));
    QCOMPARE(outcome.message, rowOverflowMessage());
    QCOMPARE(gridLines(grid), expected);
}

void TestXlsReader::secondImportBlanksFirst_data() {
    QTest::addColumn<QString>("file");
    for (const QString &file : ClassFixtures)
        QTest::addRow("%s", qPrintable(file)) << file;
}

void TestXlsReader::secondImportBlanksFirst() {
    QFETCH(QString, file);

    ScoreGrid grid = filledGrid();
    QVERIFY(importWorkbook(fieldsFor(fixture(file)), grid).ok());
    QCOMPARE(gridLines(grid), classSheet1Grid());

    // Five students replace 31: nothing of the longer list stays.
    QVERIFY(importWorkbook(fieldsFor(fixture(file), Scores), grid).ok());
    QCOMPARE(gridLines(grid), classScoresGrid());

    // A failed import has blanked the grid too.
    ImportOutcome outcome = importWorkbook(fieldsFor(fixture(file), u"Sheet9"_s), grid);
    QCOMPARE(outcome.errorNumber, int(SheetMissing));
    QCOMPARE(gridLines(grid), gridLines(ScoreGrid()));

    QVERIFY(importWorkbook(fieldsFor(fixture(file)), grid).ok());
    outcome = importWorkbook(fieldsFor(m_temporary.filePath(u"gone.xls"_s)), grid);
    QCOMPARE(outcome.errorNumber, int(CannotOpen));
    QCOMPARE(gridLines(grid), gridLines(ScoreGrid()));
}

void TestXlsReader::fieldRejectedBeforeGridChanges_data() {
    QTest::addColumn<QString>("firstRow");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QString>("message");

    const QStringList standard{u"1"_s, u"2"_s, u"3"_s};
    const auto row = [&](const char *what, const QString &firstRow) {
        QTest::addRow("first row %s", what) << firstRow << standard << messages::firstRowInvalid();
    };
    row("32768", u"32768"_s);
    row("65536", u"65536"_s);
    row("-32769", u"-32769"_s);
    row("0", u"0"_s);
    row("-1", u"-1"_s);
    row("empty", QString());
    row("text", u"abc"_s);
    row("0.4 rounds to 0", u"0.4"_s);
    row("32767.5 rounds to 32768", u"32767.5"_s);
    row("&H8000", u"&H8000"_s);

    const auto column = [&](const char *what, const QStringList &columns) {
        QTest::addRow("columns %s", what) << u"2"_s << columns << messages::columnOutOfRange();
    };
    column("number 32768", {u"32768"_s, u"2"_s, u"3"_s});
    column("name -32769", {u"1"_s, u"-32769"_s, u"3"_s});
    column("score 99999", {u"1"_s, u"2"_s, u"99999"_s});
    column("score 1E5", {u"1"_s, u"2"_s, u"1E5"_s});
    column("number &H8000", {u"&H8000"_s, u"2"_s, u"3"_s});

    // The first row is checked before the columns.
    QTest::addRow("both") << u"40000"_s << QStringList{u"1"_s, u"2"_s, u"40000"_s}
                          << messages::firstRowInvalid();
}

void TestXlsReader::fieldRejectedBeforeGridChanges() {
    QFETCH(QString, firstRow);
    QFETCH(QStringList, columns);
    QFETCH(QString, message);

    // A workbook that would import: a field that was let through would show.
    ImportFields fields = fieldsFor(fixture(ClassXlwt), Sheet1, firstRow);
    fields.numberColumn = columns[0];
    fields.nameColumn = columns[1];
    fields.scoreColumn = columns[2];
    const ScoreGrid before = filledGrid();
    ScoreGrid grid = before;
    const ImportOutcome outcome = importWorkbook(fields, grid);
    QCOMPARE(int(outcome.status), int(ImportOutcome::Status::FieldRejected));
    QCOMPARE(outcome.errorNumber, 0);
    QCOMPARE(outcome.message, message);
    QCOMPARE(gridLines(grid), gridLines(before));
}

void TestXlsReader::failureMessage_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("message");

    QTest::newRow("5") << int(CannotOpen) << messages::cannotOpenWorkbook();
    QTest::newRow("9") << int(SheetMissing) << messages::sheetNotFound();
    QTest::newRow("438") << int(NotAWorkbook) << messages::notAWorkbook();
    QTest::newRow("1004") << int(CellOutOfRange) << messages::columnOutOfRange();
    QTest::newRow("6") << int(RowOverflow) << rowOverflowMessage();
}

void TestXlsReader::failureMessage() {
    QFETCH(int, number);
    QFETCH(QString, message);
    QCOMPARE(importFailureMessage(number), message);
}

QTEST_GUILESS_MAIN(TestXlsReader)
#include "tst_xlsreader.moc"
