// The Office Open XML (.xlsx, .xlsm) and OpenDocument (.ods) readers, and the
// import over them: the class of make_modern_fixtures.py, saved by openpyxl,
// LibreOffice and Gnumeric in every format, must fill the grid exactly as its
// .xls copies do; hand-made packages show the finer points; damaged, foreign
// and oversized packages fail with the legacy reader's numbers.

#include "analysis/bytesource.h"
#include "analysis/importerrors.h"
#include "analysis/messages.h"
#include "analysis/scoregrid.h"
#include "analysis/workbook.h"
#include "analysis/workbookimport.h"

#include "../fuzz/zipwriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QtEndian>

#include <functional>

using namespace analysis;
using namespace Qt::StringLiterals;

namespace {

QString fixture(const QString &name) {
    return QStringLiteral(SCORE_FIXTURES_DIR "/") + name;
}

// The class as make_modern_fixtures.py writes it: 120 students from row 2,
// the score =(D+E)/2 of the usual and the exam mark, and odd cells between.
int usualMark(int student) {
    return 60 + (student * 7) % 41;
}

int examMark(int student) {
    return 50 + (student * 13) % 51;
}

QString halfText(int sum) {
    return sum % 2 ? u"%1.5"_s.arg(sum / 2) : QString::number(sum / 2);
}

// A cell of Sheet1 as written; formulas read as empty when the writer saved
// no result (openpyxl).
QString classCell(int row, int column, bool formulaResults) {
    if (row == 1) {
        const QStringList header{u"学号"_s, u"姓名"_s, u"成绩"_s, u"平时"_s, u"考试"_s};
        return column <= 5 ? header[column - 1] : QString();
    }
    const int student = row - 1;
    if (row > 121 || column > 5 || row == 22) return {};
    if (row == 23) return column == 3 ? u"77"_s : QString();
    if ((row == 21 && column == 3) || (row == 41 && column == 1))
        return {}; // covered by a merged cell
    const auto formula = [&](const QString &result) { return formulaResults ? result : QString(); };
    switch (column) {
    case 1:
        return row == 31 ? u"S2024030"_s : QString::number(2024000 + student);
    case 2:
        switch (row) {
        case 5:
            return u"  赵六  "_s;
        case 21:
            return u"合并单元格"_s;
        case 27:
            return u"第一行\n第二行"_s;
        case 28:
            return u"甲\t乙"_s;
        case 29:
            return u"双  空格"_s;
        default:
            return u"学生%1"_s.arg(student, 3, 10, QChar(u'0'));
        }
    case 4:
        return QString::number(usualMark(student));
    case 5:
        return QString::number(examMark(student));
    default:
        break;
    }
    switch (row) {
    case 6:
        return u"True"_s;
    case 7:
        return u"False"_s;
    case 8:
        return u"#DIV/0!"_s;
    case 9:
        return formula(u"#DIV/0!"_s);
    case 10:
        return formula(u"#N/A"_s);
    case 11:
    case 12:
        return {};
    case 13:
        return u"2024/3/15"_s;
    case 14:
        return u"8:30:00"_s;
    case 15:
        return u"2024/3/15 8:30:00"_s;
    case 16:
        return u"缺考"_s;
    case 17:
        return formula(usualMark(16) >= 80 ? u"优"_s : u"良"_s);
    case 18:
        return u"0.85"_s;
    case 19:
        return u"7.5"_s;
    case 20:
        return formula(u"True"_s);
    case 24:
        return u"1E-07"_s;
    case 25:
        return formula(u"0.3"_s);
    case 26:
        return u"1.23456789012346E+16"_s;
    case 30:
        return u"-3.5"_s;
    default:
        return formula(halfText(usualMark(student) + examMark(student)));
    }
}

QString secondSheetCell(int row, int column) {
    static const QStringList rows[] = {
        {u"学号"_s, u"姓名"_s, u"成绩"_s}, {u"1"_s, u"甲"_s, u"91"_s}, {u"2"_s, u"乙"_s, u"72.5"_s},
        {u"3"_s, u"丙"_s, u"缺考"_s},      {u"4"_s, u"丁"_s, u"60"_s}, {u"5"_s, u"戊"_s, u"88"_s}};
    if (row > 6 || column > 3) return {};
    return rows[row - 1][column - 1];
}

// The grid the import must fill: 100 rows from the first, the three columns'
// texts trimmed, rows with three empty cells left blank. One line per
// non-blank row.
QStringList expectedGrid(const std::function<QString(int, int)> &cell, int firstRow,
                         const std::array<int, 3> &columns) {
    QStringList lines;
    for (int i = 0; i < ScoreGrid::Rows; ++i) {
        QStringList texts;
        for (const int column : columns)
            texts << cell(firstRow + i, column).trimmed();
        if (!texts.join(QString()).isEmpty()) lines << u"%1: %2"_s.arg(i).arg(texts.join(u" | "_s));
    }
    return lines;
}

QStringList gridLines(const ScoreGrid &grid) {
    QStringList lines;
    for (int row = 0; row < ScoreGrid::Rows; ++row)
        if (!grid.isRowBlank(row))
            lines << u"%1: %2 | %3 | %4"_s.arg(row).arg(grid.text(row, 0), grid.text(row, 1),
                                                        grid.text(row, 2));
    return lines;
}

ScoreGrid filledGrid() {
    ScoreGrid grid;
    for (int row = 0; row < ScoreGrid::Rows; ++row)
        for (int column = 0; column < ScoreGrid::Columns; ++column)
            grid.setText(row, column, u"old"_s);
    return grid;
}

// The zip_* files hold the parts of modern_gnumeric.xlsx, packed by Info-ZIP
// with zip64 records, with data descriptors and with an archive comment.
const QStringList ClassFiles{u"modern_libreoffice.xls"_s,    u"modern_gnumeric.xls"_s,
                             u"modern_libreoffice.xlsx"_s,   u"modern_libreoffice.xlsm"_s,
                             u"modern_gnumeric.xlsx"_s,      u"modern_libreoffice.ods"_s,
                             u"modern_gnumeric.ods"_s,       u"zip_infozip64.xlsx"_s,
                             u"zip_infozip_streamed.xlsx"_s, u"zip_commented.xlsx"_s};

// Packages made here: stored members, as the zip writer of the fuzz targets
// makes them.
const char *const Main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

QByteArray xlsxPackage(const QByteArray &sheetXml, const QByteArray &sharedStrings = {}) {
    std::vector<scorefuzz::ZipMember> members{
        {"_rels/.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"r1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml",
         QByteArray("<workbook xmlns=\"") + Main +
             "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
             "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"r1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"r1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships/worksheet\" Target=\"sheet.xml\"/>"
         "<Relationship Id=\"r2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships/sharedStrings\" Target=\"strings.xml\"/></Relationships>"},
        {"xl/sheet.xml", sheetXml},
    };
    if (!sharedStrings.isEmpty()) members.push_back({"xl/strings.xml", sharedStrings});
    return scorefuzz::writeZip(members);
}

QByteArray sheetXml(const QByteArray &rows) {
    return QByteArray("<worksheet xmlns=\"") + Main + "\"><sheetData>" + rows +
           "</sheetData></worksheet>";
}

QByteArray odsPackage(const QByteArray &tables) {
    return scorefuzz::writeZip(
        {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
         {"content.xml",
          "<office:document-content "
          "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
          "<office:spreadsheet>" +
              tables + "</office:spreadsheet></office:body></office:document-content>"}});
}

struct Read {
    int error = -1;
    QString text;
};

// Opens the bytes and reads one cell of the first sheet; an open failure
// comes back as the error.
Read readCell(const QByteArray &bytes, int row, int column) {
    Read read;
    const auto workbook = openWorkbook(memorySource(bytes), &read.error);
    if (!workbook) return read;
    read.error = workbook->cellText(0, row, column, &read.text);
    return read;
}

// Damage done to a real package, in its member xl/workbook.xml (which the
// import reads to its end) or in its end records.
enum class ZipDamage {
    None,
    ShorterThanDeclared,
    DeflateDataCut,
    DeflateDataGarbled,
    StoredSizesDiffer,
    LocalHeaderPastTheEnd,
    LocalHeaderOfAnotherKind,
    Zip64FieldWithoutExtra,
    MoreMembersThanListed,
    DirectoryPastItsEnd,
    SplitOverDisks,
    Zip64LocatorAstray,
    Zip64CountInTheBillions,
};

qsizetype findHeader(const QByteArray &zip, const char *signature, int nameLengthAt, int nameAt,
                     const QByteArray &name) {
    for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 4)) {
        const auto length = qFromLittleEndian<quint16>(zip.constData() + at + nameLengthAt);
        if (zip.mid(at + nameAt, length) == name) return at;
    }
    return -1;
}

QByteArray damaged(QByteArray zip, ZipDamage damage) {
    const QByteArray part = "xl/workbook.xml";
    const qsizetype local = findHeader(zip, "PK\x03\x04", 26, 30, part);
    const qsizetype central = findHeader(zip, "PK\x01\x02", 28, 46, part);
    const qsizetype end = zip.lastIndexOf("PK\x05\x06");
    const qsizetype locator = zip.lastIndexOf("PK\x06\x07");
    const qsizetype zip64End = zip.lastIndexOf("PK\x06\x06");
    if (local < 0 || central < 0 || end < 0) return {};
    char *data = zip.data();
    const auto get = [&](qsizetype at) { return qFromLittleEndian<quint32>(data + at); };
    const auto put = [&](qsizetype at, quint32 value) { qToLittleEndian(value, data + at); };
    const qsizetype dataAt = local + 30 + qFromLittleEndian<quint16>(data + local + 26) +
                             qFromLittleEndian<quint16>(data + local + 28);
    switch (damage) {
    case ZipDamage::None:
        break;
    case ZipDamage::ShorterThanDeclared:
        put(central + 24, get(central + 24) + 100);
        break;
    case ZipDamage::DeflateDataCut:
        put(central + 20, get(central + 20) / 2);
        break;
    case ZipDamage::DeflateDataGarbled:
        for (qsizetype i = 8; i < 24; ++i)
            data[dataAt + i] = char(data[dataAt + i] ^ 0x55);
        break;
    case ZipDamage::StoredSizesDiffer:
        put(central + 10, get(central + 10) & 0xFFFF0000u); // method 0, stored
        break;
    case ZipDamage::LocalHeaderPastTheEnd:
        put(central + 42, quint32(zip.size()));
        break;
    case ZipDamage::LocalHeaderOfAnotherKind:
        data[local + 3] = 0x08;
        break;
    case ZipDamage::Zip64FieldWithoutExtra:
        put(central + 24, 0xFFFFFFFFu);
        break;
    case ZipDamage::MoreMembersThanListed:
        put(end + 8, get(end + 8) + 0x00010001u);
        break;
    case ZipDamage::DirectoryPastItsEnd:
        put(end + 16, get(end + 16) + 1);
        break;
    case ZipDamage::SplitOverDisks:
        put(end + 4, 1);
        break;
    case ZipDamage::Zip64LocatorAstray:
        if (locator < 0) return {};
        put(locator + 8, 0);
        break;
    case ZipDamage::Zip64CountInTheBillions:
        if (zip64End < 0) return {};
        put(zip64End + 28, 0x40000000u); // both counts, on this disk and in all
        put(zip64End + 36, 0x40000000u);
        break;
    }
    return zip;
}

} // namespace

class TestOpenXml : public QObject {
    Q_OBJECT

private slots:
    void sameGrid_data();
    void sameGrid();
    void sheetNames_data();
    void sheetNames();
    void cells_data();
    void cells();
    void importFailure_data();
    void importFailure();
    void outOfRange_data();
    void outOfRange();
    void craftedPackages_data();
    void craftedPackages();
    void damagedContainer_data();
    void damagedContainer();
    void millionRepeatedRows();
    void legacyClassXlsx_data();
    void legacyClassXlsx();
};

void TestOpenXml::sameGrid_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("firstRow");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QStringList>("expected");

    const auto classGrid = [](bool results, int first, std::array<int, 3> columns) {
        return expectedGrid([results](int r, int c) { return classCell(r, c, results); }, first,
                            columns);
    };
    const auto add = [&](const QString &file, const char *what, const QString &sheet, int first,
                         std::array<int, 3> columns, const QStringList &expected) {
        QTest::addRow("%s %s", qPrintable(file), what)
            << file << sheet << QString::number(first)
            << QStringList{QString::number(columns[0]), QString::number(columns[1]),
                           QString::number(columns[2])}
            << expected;
    };
    for (const QString &file : ClassFiles) {
        add(file, "from row 2", u"Sheet1"_s, 2, {1, 2, 3}, classGrid(true, 2, {1, 2, 3}));
        add(file, "past the data", u"sheet1"_s, 30, {1, 2, 3}, classGrid(true, 30, {1, 2, 3}));
        add(file, "header and marks", u"SHEET1"_s, 1, {4, 5, 3}, classGrid(true, 1, {4, 5, 3}));
        add(file, "Chinese sheet name", u"成绩表"_s, 2, {1, 2, 3},
            expectedGrid(secondSheetCell, 2, {1, 2, 3}));
    }
    // openpyxl saves formulas without results: those cells read as empty.
    add(u"modern_openpyxl.xlsx"_s, "from row 2", u"Sheet1"_s, 2, {1, 2, 3},
        classGrid(false, 2, {1, 2, 3}));
    add(u"modern_openpyxl.xlsx"_s, "past the data", u"Sheet1"_s, 30, {1, 2, 3},
        classGrid(false, 30, {1, 2, 3}));
}

void TestOpenXml::sameGrid() {
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QString, firstRow);
    QFETCH(QStringList, columns);
    QFETCH(QStringList, expected);

    ImportFields fields{fixture(file), sheet, firstRow, columns[0], columns[1], columns[2]};
    ScoreGrid grid = filledGrid();
    const ImportOutcome outcome = importWorkbook(fields, grid);
    QCOMPARE(int(outcome.status), int(ImportOutcome::Status::Imported));
    QCOMPARE(gridLines(grid), expected);
}

void TestOpenXml::sheetNames_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected");
    for (const QString &file : ClassFiles)
        QTest::newRow(qPrintable(file)) << file << QStringList{u"Sheet1"_s, u"成绩表"_s};
    // A dialog sheet holds no cells and is left out.
    QTest::newRow("handmade xlsx")
        << u"handmade_features.xlsx"_s << QStringList{u"Sheet1"_s, u"第二页"_s};
    QTest::newRow("handmade ods") << u"handmade_features.ods"_s
                                  << QStringList{u"第一页"_s, u"Sheet1"_s};
}

void TestOpenXml::sheetNames() {
    QFETCH(QString, file);
    QFETCH(QStringList, expected);
    int error = -1;
    const auto workbook = openWorkbook(fixture(file), &error);
    QVERIFY(workbook);
    QCOMPARE(error, 0);
    QCOMPARE(workbook->sheetNames(), expected);
    for (qsizetype i = 0; i < expected.size(); ++i)
        QCOMPARE(workbook->sheetIndex(expected[i].toUpper()), int(i));
    QCOMPARE(workbook->sheetIndex(u"Sheet9"_s), -1);
}

void TestOpenXml::cells_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");

    const auto add = [](const char *file, const char *what, const QString &sheet, int row,
                        int column, const QString &expected) {
        QTest::addRow("%s %s", file, what)
            << QString::fromLatin1(file) << sheet << row << column << expected;
    };
    const char *xlsx = "handmade_features.xlsx";
    add(xlsx, "shared string", u"Sheet1"_s, 1, 1, u"学号"_s);
    add(xlsx, "inline string", u"Sheet1"_s, 1, 2, u"姓名"_s);
    add(xlsx, "formula text result", u"Sheet1"_s, 1, 3, u"成绩"_s);
    add(xlsx, "row and cell without reference", u"Sheet1"_s, 2, 1, u"2024001"_s);
    add(xlsx, "shared string in rich-text runs", u"Sheet1"_s, 2, 2, u"张三"_s);
    add(xlsx, "formula number result", u"Sheet1"_s, 2, 3, u"85"_s);
    add(xlsx, "inline string in runs, phonetic guide left out", u"Sheet1"_s, 3, 2, u"李四"_s);
    add(xlsx, "gap", u"Sheet1"_s, 3, 3, QString());
    add(xlsx, "after a gap", u"Sheet1"_s, 3, 4, u"真"_s);
    add(xlsx, "following a referenced cell", u"Sheet1"_s, 3, 5, u"假"_s);
    add(xlsx, "empty shared string", u"Sheet1"_s, 4, 2, QString());
    add(xlsx, "escaped carriage return", u"Sheet1"_s, 5, 2, u"a\rb"_s);
    add(xlsx, "boolean", u"Sheet1"_s, 5, 3, u"True"_s);
    add(xlsx, "spaces kept", u"Sheet1"_s, 6, 2, u"  前后空格  "_s);
    add(xlsx, "error", u"Sheet1"_s, 6, 3, u"#REF!"_s);
    add(xlsx, "escaped underscore", u"Sheet1"_s, 7, 2, u"_x0041_"_s);
    add(xlsx, "ISO date", u"Sheet1"_s, 7, 3, u"2024/3/15"_s);
    add(xlsx, "phonetic run left out", u"Sheet1"_s, 8, 2, u"注音"_s);
    add(xlsx, "ISO date and time", u"Sheet1"_s, 8, 3, u"2024/3/15 8:30:00"_s);
    add(xlsx, "1904 custom date format", u"Sheet1"_s, 9, 1, u"1904/1/2"_s);
    add(xlsx, "1904 built-in date format", u"Sheet1"_s, 9, 2, u"1904/1/1 12:00:00"_s);
    add(xlsx, "1904 later date", u"Sheet1"_s, 9, 3, u"2028/3/16"_s);
    add(xlsx, "percent format is no date", u"Sheet1"_s, 10, 1, u"0.25"_s);
    add(xlsx, "formula without result", u"Sheet1"_s, 10, 2, QString());
    add(xlsx, "boolean formula result", u"Sheet1"_s, 10, 3, u"False"_s);
    add(xlsx, "formatted blank", u"Sheet1"_s, 10, 4, QString());
    add(xlsx, "last column", u"Sheet1"_s, 11, 16384, u"最后一列"_s);
    add(xlsx, "beyond the data", u"Sheet1"_s, 12, 1, QString());
    add(xlsx, "relative target with ..", u"第二页"_s, 1, 1, u"二"_s);
    add(xlsx, "row 100", u"第二页"_s, 100, 3, u"100"_s);

    const char *ods = "handmade_features.ods";
    add(ods, "header rows", u"第一页"_s, 1, 3, u"成绩"_s);
    add(ods, "white space collapsed, text:s kept", u"第一页"_s, 2, 2, u"张   三"_s);
    add(ods, "float shown by value", u"第一页"_s, 2, 3, u"85.5"_s);
    add(ods, "cell without paragraph", u"第一页"_s, 3, 1, u"2024002"_s);
    add(ods, "tab", u"第一页"_s, 3, 2, u"李\t四"_s);
    add(ods, "currency", u"第一页"_s, 3, 3, u"12.5"_s);
    add(ods, "line break", u"第一页"_s, 4, 2, u"王\n五"_s);
    add(ods, "percentage", u"第一页"_s, 4, 3, u"0.75"_s);
    add(ods, "spans, note left out", u"第一页"_s, 5, 2, u"赵六"_s);
    add(ods, "date and time", u"第一页"_s, 5, 3, u"2024/3/15 8:30:00"_s);
    add(ods, "white space run", u"第一页"_s, 6, 2, u"钱 七"_s);
    add(ods, "time of 36 hours", u"第一页"_s, 6, 3, u"1900/1/1 12:00:00"_s);
    add(ods, "repeated row and cell", u"第一页"_s, 7, 1, u"同"_s);
    add(ods, "repeated row, last", u"第一页"_s, 9, 3, u"同"_s);
    add(ods, "two paragraphs", u"第一页"_s, 10, 2, u"第一段\n第二段"_s);
    add(ods, "logical formula result", u"第一页"_s, 10, 3, u"True"_s);
    add(ods, "string value attribute", u"第一页"_s, 11, 2, u"属性文字"_s);
    add(ods, "boolean", u"第一页"_s, 11, 3, u"False"_s);
    add(ods, "spanning cell", u"第一页"_s, 12, 2, u"合并"_s);
    add(ods, "covered cell", u"第一页"_s, 12, 3, QString());
    add(ods, "repeated empty cells", u"第一页"_s, 13, 2, QString());
    add(ods, "error result", u"第一页"_s, 13, 3, u"#DIV/0!"_s);
    add(ods, "date before 1900", u"第一页"_s, 14, 2, u"1899/12/31"_s);
    add(ods, "formula 1 shown as 1", u"第一页"_s, 14, 3, u"1"_s);
    add(ods, "last row of the sheet", u"第一页"_s, 1048576, 3, QString());
    add(ods, "second table", u"Sheet1"_s, 2, 3, u"99"_s);
}

void TestOpenXml::cells() {
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, expected);

    int error = -1;
    const auto workbook = openWorkbook(fixture(file), &error);
    QVERIFY(workbook);
    const int index = workbook->sheetIndex(sheet);
    QVERIFY(index >= 0);
    QString text = u"old"_s;
    QCOMPARE(workbook->cellText(index, row, column, &text), 0);
    QCOMPARE(text, expected);
}

void TestOpenXml::importFailure_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("scoreColumn");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("message");

    const auto add = [](const char *what, const QString &file, const QString &sheet,
                        const QString &column, int expected, const QString &message) {
        QTest::newRow(what) << file << sheet << column << expected << message;
    };
    const QString notAWorkbook = messages::notAWorkbook();
    const QString cannotOpen = messages::cannotOpenWorkbook();
    add("zip without a workbook part", u"broken_not_a_workbook.zip"_s, u"Sheet1"_s, u"3"_s,
        NotAWorkbook, notAWorkbook);
    add("OpenDocument text", u"modern_letter_libreoffice.odt"_s, u"Sheet1"_s, u"3"_s, NotAWorkbook,
        notAWorkbook);
    add("Word document", u"modern_letter_libreoffice.docx"_s, u"Sheet1"_s, u"3"_s, NotAWorkbook,
        notAWorkbook);
    add("spreadsheet content under a text mimetype", u"broken_mimetype.ods"_s, u"Sheet1"_s, u"3"_s,
        NotAWorkbook, notAWorkbook);
    add("encrypted package", u"encrypted_libreoffice.xlsx"_s, u"Sheet1"_s, u"3"_s, CannotOpen,
        cannotOpen);
    add("truncated zip", u"broken_truncated.xlsx"_s, u"Sheet1"_s, u"3"_s, CannotOpen, cannotOpen);
    add("sheet XML cut off", u"broken_sheet_xml.xlsx"_s, u"Sheet1"_s, u"3"_s, CannotOpen,
        cannotOpen);
    add("zip bomb", u"broken_bomb.xlsx"_s, u"Sheet1"_s, u"3"_s, CannotOpen, cannotOpen);
    add("member longer than declared", u"broken_size_lie.xlsx"_s, u"Sheet1"_s, u"3"_s, CannotOpen,
        cannotOpen);
    add("members compressed with bzip2", u"broken_zip_bzip2.xlsx"_s, u"Sheet1"_s, u"3"_s,
        CannotOpen, cannotOpen);
    add("members encrypted with a password", u"broken_zip_password.xlsx"_s, u"Sheet1"_s, u"3"_s,
        CannotOpen, cannotOpen);
    add("workbook part failing its checksum", u"broken_zip_crc.xlsx"_s, u"Sheet1"_s, u"3"_s,
        CannotOpen, cannotOpen);
    for (const char *file : {"modern_libreoffice.xlsx", "modern_gnumeric.ods"}) {
        const QString name = QString::fromLatin1(file);
        QTest::addRow("%s no such sheet", file)
            << name << u"Sheet2"_s << u"3"_s << int(SheetMissing) << messages::sheetNotFound();
        QTest::addRow("%s column 16385", file)
            << name << u"Sheet1"_s << u"16385"_s << int(CellOutOfRange)
            << messages::columnOutOfRange();
        QTest::addRow("%s column 0", file)
            << name << u"Sheet1"_s << u"0"_s << int(CellOutOfRange) << messages::columnOutOfRange();
    }
}

void TestOpenXml::importFailure() {
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QString, scoreColumn);
    QFETCH(int, expected);
    QFETCH(QString, message);

    ImportFields fields{fixture(file), sheet, u"2"_s, u"1"_s, u"2"_s, scoreColumn};
    ScoreGrid grid = filledGrid();
    const ImportOutcome outcome = importWorkbook(fields, grid);
    QCOMPARE(int(outcome.status), int(ImportOutcome::Status::Failed));
    QCOMPARE(outcome.errorNumber, expected);
    QCOMPARE(outcome.message, message);
}

void TestOpenXml::outOfRange_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("expected");
    for (const char *file : {"modern_gnumeric.xlsx", "modern_libreoffice.ods"}) {
        QTest::addRow("%s row 0", file)
            << QString::fromLatin1(file) << 0 << 1 << int(CellOutOfRange);
        QTest::addRow("%s row 1048577", file)
            << QString::fromLatin1(file) << 1048577 << 1 << int(CellOutOfRange);
        QTest::addRow("%s column 16385", file)
            << QString::fromLatin1(file) << 1 << 16385 << int(CellOutOfRange);
        QTest::addRow("%s last cell", file)
            << QString::fromLatin1(file) << 1048576 << 16384 << int(NoError);
        // Rows past 32767 are out of the import's reach but inside the sheet.
        QTest::addRow("%s row 40000", file)
            << QString::fromLatin1(file) << 40000 << 3 << int(NoError);
    }
}

void TestOpenXml::outOfRange() {
    QFETCH(QString, file);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, expected);
    int error = -1;
    const auto workbook = openWorkbook(fixture(file), &error);
    QVERIFY(workbook);
    QString text = u"old"_s;
    QCOMPARE(workbook->cellText(0, row, column, &text), expected);
    QCOMPARE(text, QString());
}

void TestOpenXml::craftedPackages_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("text");

    const QByteArray strings =
        QByteArray("<sst xmlns=\"") + Main + "\"><si><t>甲</t></si><si><t/></si></sst>";
    QTest::newRow("shared string")
        << xlsxPackage(sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"), strings)
        << 1 << 1 << int(NoError) << u"甲"_s;
    // An empty string is itself, never the string before it.
    QTest::newRow("empty shared string")
        << xlsxPackage(sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
                                "<c r=\"B1\" t=\"s\"><v>1</v></c></row>"),
                       strings)
        << 1 << 2 << int(NoError) << QString();
    QTest::newRow("shared string beyond the table")
        << xlsxPackage(sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>7</v></c></row>"), strings)
        << 1 << 1 << int(CannotOpen) << QString();
    QTest::newRow("number that is none")
        << xlsxPackage(sheetXml("<row r=\"1\"><c r=\"A1\"><v>8x5</v></c></row>")) << 1 << 1
        << int(CannotOpen) << QString();
    QTest::newRow("other cells of a damaged sheet")
        << xlsxPackage(sheetXml("<row r=\"1\"><c r=\"A1\"><v>85</v></c></row>").chopped(30)) << 1
        << 1 << int(CannotOpen) << QString();
    QTest::newRow("document type declaration")
        << xlsxPackage("<!DOCTYPE w [<!ENTITY a \"aaaaaaaa\">]>" +
                       sheetXml("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&a;</t></is></c>"
                                "</row>"))
        << 1 << 1 << int(CannotOpen) << QString();
    QByteArray deep;
    for (int i = 0; i < 300; ++i)
        deep += "<x>";
    QTest::newRow("nesting too deep")
        << xlsxPackage(sheetXml("<row r=\"1\"><c r=\"A1\"><v>1</v></c>" + deep + "</row>")) << 1
        << 1 << int(CannotOpen) << QString();
    QTest::newRow("ods spaces beyond all measure")
        << odsPackage("<table:table table:name=\"Sheet1\"><table:table-row><table:table-cell "
                      "office:value-type=\"string\"><text:p>a<text:s text:c=\"2000000000\"/>"
                      "</text:p></table:table-cell></table:table-row></table:table>")
        << 1 << 1 << int(CannotOpen) << QString();
    QTest::newRow("ods float that is none")
        << odsPackage("<table:table table:name=\"Sheet1\"><table:table-row><table:table-cell "
                      "office:value-type=\"float\" office:value=\"abc\"/></table:table-row>"
                      "</table:table>")
        << 1 << 1 << int(CannotOpen) << QString();
    QTest::newRow("ods repeated cell with value")
        << odsPackage("<table:table table:name=\"Sheet1\"><table:table-row "
                      "table:number-rows-repeated=\"5\"><table:table-cell "
                      "table:number-columns-repeated=\"16384\" office:value-type=\"float\" "
                      "office:value=\"7\"/></table:table-row></table:table>")
        << 5 << 16384 << int(NoError) << u"7"_s;
    QTest::newRow("ods past a repeated row")
        << odsPackage("<table:table table:name=\"Sheet1\"><table:table-row "
                      "table:number-rows-repeated=\"5\"><table:table-cell "
                      "office:value-type=\"float\" office:value=\"7\"/></table:table-row>"
                      "</table:table>")
        << 6 << 1 << int(NoError) << QString();
}

void TestOpenXml::craftedPackages() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, expected);
    QFETCH(QString, text);
    const Read read = readCell(bytes, row, column);
    QCOMPARE(read.error, expected);
    QCOMPARE(read.text, text);
}

void TestOpenXml::damagedContainer_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<ZipDamage>("damage");
    QTest::addColumn<int>("expected");

    const QString plain = u"modern_gnumeric.xlsx"_s;
    const QString zip64 = u"zip_infozip64.xlsx"_s;
    QTest::newRow("undamaged") << plain << ZipDamage::None << int(NoError);
    QTest::newRow("undamaged zip64") << zip64 << ZipDamage::None << int(NoError);
    const std::pair<const char *, ZipDamage> damages[] = {
        {"member shorter than declared", ZipDamage::ShorterThanDeclared},
        {"deflate data cut short", ZipDamage::DeflateDataCut},
        {"deflate data garbled", ZipDamage::DeflateDataGarbled},
        {"stored member with two sizes", ZipDamage::StoredSizesDiffer},
        {"local header past the end", ZipDamage::LocalHeaderPastTheEnd},
        {"local header of another kind", ZipDamage::LocalHeaderOfAnotherKind},
        {"zip64 size without its extra field", ZipDamage::Zip64FieldWithoutExtra},
        {"more members than listed", ZipDamage::MoreMembersThanListed},
        {"directory running into its end record", ZipDamage::DirectoryPastItsEnd},
        {"archive split over disks", ZipDamage::SplitOverDisks},
    };
    for (const auto &[what, damage] : damages)
        QTest::newRow(what) << plain << damage << int(CannotOpen);
    QTest::newRow("zip64 locator astray")
        << zip64 << ZipDamage::Zip64LocatorAstray << int(CannotOpen);
    QTest::newRow("zip64 count in the billions")
        << zip64 << ZipDamage::Zip64CountInTheBillions << int(CannotOpen);
}

void TestOpenXml::damagedContainer() {
    QFETCH(QString, file);
    QFETCH(ZipDamage, damage);
    QFETCH(int, expected);

    QFile source(fixture(file));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = damaged(source.readAll(), damage);
    QVERIFY(!bytes.isEmpty());
    const Read read = readCell(bytes, 2, 2);
    QCOMPARE(read.error, expected);
    QCOMPARE(read.text, expected == NoError ? u"学生001"_s : QString());
}

// A table ending in a million empty rows, and a second table after it: the
// rows are counted, never laid out, so finding and reading the second table
// takes no time worth the name.
void TestOpenXml::millionRepeatedRows() {
    QByteArray tables = "<table:table table:name=\"一\">";
    for (int i = 0; i < 50; ++i)
        tables += "<table:table-row table:number-rows-repeated=\"1048576\"><table:table-cell "
                  "table:number-columns-repeated=\"16384\"/></table:table-row>";
    tables += "</table:table><table:table table:name=\"二\"><table:table-row><table:table-cell "
              "office:value-type=\"float\" office:value=\"85\"/></table:table-row></table:table>";
    QElapsedTimer timer;
    timer.start();
    int error = -1;
    const auto workbook = openWorkbook(memorySource(odsPackage(tables)), &error);
    QVERIFY(workbook);
    QCOMPARE(workbook->sheetIndex(u"二"_s), 1);
    QString text;
    QCOMPARE(workbook->cellText(0, 1048576, 16384, &text), 0);
    QCOMPARE(text, QString());
    QCOMPARE(workbook->cellText(1, 1, 1, &text), 0);
    QCOMPARE(text, u"85"_s);
    QVERIFY2(timer.elapsed() < 2000, qPrintable(u"took %1 ms"_s.arg(timer.elapsed())));
}

void TestOpenXml::legacyClassXlsx_data() {
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("firstRow");
    QTest::addColumn<QString>("scoreColumn");
    for (const char *sheet : {"Sheet1", "成绩表", "Grade"})
        for (const char *row : {"1", "2", "52", "32668", "32700"})
            for (const char *column : {"3", "4", "5", "6", "7", "256"})
                QTest::addRow("%s row %s column %s", sheet, row, column)
                    << QString::fromUtf8(sheet) << QString::fromLatin1(row)
                    << QString::fromLatin1(column);
}

// Gnumeric's .xlsx of the legacy reader's class (make_fixtures.py), whose .xls
// copy tst_xlsreader checks cell by cell: both fill the grid alike, and both
// stop alike at sheet row 32768 (failure 6).
void TestOpenXml::legacyClassXlsx() {
    QFETCH(QString, sheet);
    QFETCH(QString, firstRow);
    QFETCH(QString, scoreColumn);
    ImportFields fields{QString(), sheet, firstRow, u"1"_s, u"2"_s, scoreColumn};
    fields.path = fixture(u"class_gnumeric.xls"_s);
    ScoreGrid legacy = filledGrid();
    const ImportOutcome legacyOutcome = importWorkbook(fields, legacy);
    fields.path = fixture(u"class_gnumeric.xlsx"_s);
    ScoreGrid modern = filledGrid();
    const ImportOutcome modernOutcome = importWorkbook(fields, modern);
    QCOMPARE(modernOutcome.errorNumber, legacyOutcome.errorNumber);
    QCOMPARE(gridLines(modern), gridLines(legacy));
}

QTEST_GUILESS_MAIN(TestOpenXml)
#include "tst_openxml.moc"
