// The workbook readers and the import over them, on files: workbooks written
// by xlwt, Gnumeric, LibreOffice and openpyxl (make_fixtures.py,
// make_modern_fixtures.py), hand-made and hostile ones
// (make_hostile_fixtures.py). fixtures/workbooks.json lists what each must
// give, as the cells were written: sheet names, cell texts or failure numbers,
// and the grid an import fills. fixtures/agreement/agreement.json holds what
// xlrd reads from a sample of random class workbooks.

#include "analysis/grid/scoregrid.h"
#include "analysis/grid/workbookimport.h"
#include "workbook/cellvalues/dateformat.h"
#include "workbook/cellvalues/datestyles.h"
#include "workbook/importerrors.h"
#include "workbook/open/openworkbook.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace analysis;

namespace {

QString fixture(const QString &name) {
    return name.isEmpty() ? QString() : QStringLiteral(SCORE_FIXTURES_DIR "/") + name;
}

QJsonObject manifest(const QString &name) {
    QFile file(fixture(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QStringList strings(const QJsonValue &array) {
    QStringList list;
    for (const QJsonValue &value : array.toArray())
        list.append(value.toString());
    return list;
}

// Calls add(file, group) for each file of each group of a manifest section.
template <typename Add> void forEachFile(const char *section, Add add) {
    for (const QJsonValue &group :
         manifest(QStringLiteral("workbooks.json"))[QLatin1String(section)].toArray())
        for (const QString &file : strings(group[u"files"]))
            add(file, group.toObject());
}

// A manifest's expectation: the text itself, or "failure N" for a number.
QString expectation(const QJsonValue &value) {
    return value.isString() ? value.toString() : QStringLiteral("failure %1").arg(value.toInt());
}

// A cell as the manifest says it: its text, or its failure (and any text
// left with it).
QString outcome(Workbook *workbook, int openError, const QString &sheet, int row, int column) {
    if (!workbook) return QStringLiteral("failure %1").arg(openError);
    if (openError != NoError) return QStringLiteral("opened with failure %1").arg(openError);
    QString text = QStringLiteral("stale");
    const int error = workbook->cellText(workbook->sheetIndex(sheet), row, column, &text);
    if (error == NoError) return text;
    return QStringLiteral("failure %1").arg(error) + (text.isEmpty() ? QString() : u' ' + text);
}

// The grid's non-blank rows as "row: number | name | score".
QStringList gridLines(const ScoreGrid &grid) {
    QStringList lines;
    for (int row = 0; row < ScoreGrid::Rows; ++row)
        if (!grid.isRowBlank(row))
            lines << QStringLiteral("%1: %2 | %3 | %4")
                         .arg(row)
                         .arg(grid.text(row, 0), grid.text(row, 1), grid.text(row, 2));
    return lines;
}

ScoreGrid filledGrid() {
    ScoreGrid grid;
    for (int row = 0; row < ScoreGrid::Rows; ++row)
        for (int column = 0; column < ScoreGrid::Columns; ++column)
            grid.setText(row, column, QStringLiteral("old %1/%2").arg(row).arg(column));
    return grid;
}

} // namespace

class TestWorkbooks : public QObject {
    Q_OBJECT
private slots:
    void sheetNames_data();
    void sheetNames();
    void cells_data();
    void cells();
    void readOrder_data();
    void readOrder();
    void imports_data();
    void imports();
    void agreement_data();
    void agreement();
    void dateFormats_data();
    void dateFormats();
    void dateStyles_data();
    void dateStyles();
};

void TestWorkbooks::sheetNames_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    forEachFile("sheets", [](const QString &file, const QJsonObject &group) {
        const QString names = strings(group[u"names"]).join(u'|');
        QTest::addRow("%s", qPrintable(file)) << file << QString() << names;
        for (const QJsonValue &lookup : group[u"lookups"].toArray())
            QTest::addRow("%s '%s'", qPrintable(file), qPrintable(lookup[0].toString()))
                << file << lookup[0].toString() << QString::number(lookup[1].toInt());
    });
}

// Without a name the sheet names in order, else the index of that name.
void TestWorkbooks::sheetNames() {
    QFETCH(QString, file);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    int error = -1;
    const auto workbook = openWorkbook(fixture(file), &error);
    QVERIFY2(workbook, qPrintable(QStringLiteral("failure %1").arg(error)));
    QCOMPARE(error, int(NoError));
    QCOMPARE(name.isNull() ? workbook->sheetNames().join(u'|')
                           : QString::number(workbook->sheetIndex(name)),
             expected);
}

void TestWorkbooks::cells_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    forEachFile("cells", [](const QString &file, const QJsonObject &group) {
        const QString sheet = group[u"sheet"].toString();
        for (const QJsonValue &cell : group[u"cells"].toArray())
            QTest::addRow("%s %s!R%dC%d", qPrintable(file), qPrintable(sheet), cell[0].toInt(),
                          cell[1].toInt())
                << file << sheet << cell[0].toInt() << cell[1].toInt() << expectation(cell[2]);
    });
}

// Each cell read first in a freshly opened workbook.
void TestWorkbooks::cells() {
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, expected);
    int error = -1;
    const auto workbook = openWorkbook(fixture(file), &error);
    QCOMPARE(outcome(workbook.get(), error, sheet, row, column), expected);
}

void TestWorkbooks::readOrder_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QJsonArray>("reads");
    forEachFile("readOrder", [](const QString &file, const QJsonObject &group) {
        QTest::newRow(qPrintable(file)) << file << group[u"reads"].toArray();
    });
}

// One workbook read in an order that leaves and re-enters the rows held from
// the last scan, across sheets.
void TestWorkbooks::readOrder() {
    QFETCH(QString, file);
    QFETCH(QJsonArray, reads);
    int error = -1;
    const auto workbook = openWorkbook(fixture(file), &error);
    QStringList got, expected;
    for (const QJsonValue &read : reads) {
        const QString where = QStringLiteral("%1!R%2C%3: ")
                                  .arg(read[0].toString())
                                  .arg(read[1].toInt())
                                  .arg(read[2].toInt());
        got << where + outcome(workbook.get(), error, read[0].toString(), read[1].toInt(),
                               read[2].toInt());
        expected << where + expectation(read[3]);
    }
    QCOMPARE(got, expected);
}

void TestWorkbooks::imports_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QJsonValue>("grid");
    forEachFile("imports", [](const QString &file, const QJsonObject &group) {
        const QJsonValue outcome = group[u"outcome"];
        const QString status = outcome.isString() ? QStringLiteral("refused 0")
                               : outcome.toInt()  ? QStringLiteral("failed %1").arg(outcome.toInt())
                                                  : QStringLiteral("imported 0");
        QTest::addRow("%s %s", qPrintable(file), qPrintable(group[u"name"].toString()))
            << file << strings(group[u"fields"]) << status << group[u"message"].toString()
            << group[u"grid"];
    });
}

// Fields: sheet, first row, number, name and score column. The grid is full
// of old text before: an import blanks it first, a refused field leaves it
// (null in the manifest).
void TestWorkbooks::imports() {
    QFETCH(QString, file);
    QFETCH(QStringList, fields);
    QFETCH(QString, status);
    QFETCH(QString, message);
    QFETCH(QJsonValue, grid);
    ScoreGrid imported = filledGrid();
    const ImportOutcome result = importWorkbook(
        {fixture(file), fields[0], fields[1], fields[2], fields[3], fields[4]}, imported);
    const char *const statuses[] = {"imported", "refused", "failed"};
    QCOMPARE(QStringLiteral("%1 %2").arg(statuses[int(result.status)]).arg(result.errorNumber),
             status);
    QCOMPARE(result.message, message);
    QCOMPARE(gridLines(imported), grid.isNull() ? gridLines(filledGrid()) : strings(grid));
}

void TestWorkbooks::agreement_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QJsonObject>("expected");
    const QJsonObject workbooks =
        manifest(QStringLiteral("agreement/agreement.json"))[u"workbooks"].toObject();
    for (auto it = workbooks.begin(); it != workbooks.end(); ++it)
        QTest::newRow(qPrintable(it.key())) << it.key() << it.value().toObject();
}

// The first sheet's 120 rows of 8 columns as lines of cells, as xlrd read
// them; past the rows listed it read nothing.
void TestWorkbooks::agreement() {
    QFETCH(QString, file);
    QFETCH(QJsonObject, expected);
    int error = -1;
    const auto workbook = openWorkbook(fixture(QStringLiteral("agreement/") + file), &error);
    QVERIFY2(workbook, qPrintable(QStringLiteral("failure %1").arg(error)));
    QCOMPARE(workbook->sheetNames(), strings(expected[u"sheets"]));
    const QJsonArray rows = expected[u"cells"].toArray();
    QStringList got, want;
    for (int row = 1; row <= 120; ++row) {
        const QStringList cells = strings(rows.at(row - 1));
        QStringList line, wanted;
        for (int column = 1; column <= 8; ++column) {
            line << outcome(workbook.get(), error, workbook->sheetNames().first(), row, column);
            wanted << cells.value(column - 1);
        }
        got << line.join(u" | ");
        want << wanted.join(u" | ");
    }
    QCOMPARE(got, want);
}

void TestWorkbooks::dateFormats_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("date");
    QTest::newRow("yyyy-mm-dd") << QStringLiteral("yyyy-mm-dd") << true;
    QTest::newRow("m/d/yy") << QStringLiteral("m/d/yy") << true;
    QTest::newRow("elapsed hours") << QStringLiteral("[h]:mm") << true;
    QTest::newRow("elapsed seconds") << QStringLiteral("[ss]") << true;
    QTest::newRow("minutes and seconds") << QStringLiteral("mm:ss") << true;
    QTest::newRow("upper case") << QStringLiteral("YYYY/MM/DD") << true;
    QTest::newRow("Chinese date") << QStringLiteral("yyyy\"年\"m\"月\"d\"日\"") << true;
    QTest::newRow("locale prefix, date") << QStringLiteral("[$-804]yyyy年m月d日") << true;
    QTest::newRow("e as year") << QStringLiteral("e/m") << true;
    QTest::newRow("two decimals") << QStringLiteral("0.00") << false;
    QTest::newRow("General") << QStringLiteral("General") << false;
    QTest::newRow("text") << QStringLiteral("@") << false;
    QTest::newRow("quoted 年") << QStringLiteral("\"年\"0") << false;
    QTest::newRow("quoted 分") << QStringLiteral("0.0 \"分\"") << false;
    QTest::newRow("quoted d, m, y") << QStringLiteral("0 \"days, months, years\"") << false;
    QTest::newRow("escaped d") << QStringLiteral("0\\d") << false;
    QTest::newRow("escaped m and s") << QStringLiteral("\\m0\\s") << false;
    QTest::newRow("padding d") << QStringLiteral("0_d") << false;
    QTest::newRow("fill y") << QStringLiteral("*y0") << false;
    QTest::newRow("colour") << QStringLiteral("[Red]0.0") << false;
    QTest::newRow("colour with sections") << QStringLiteral("0.0;[Red]-0.0") << false;
    QTest::newRow("condition") << QStringLiteral("[>=60]0;0") << false;
    QTest::newRow("locale prefix, number") << QStringLiteral("[$-804]0.00") << false;
    QTest::newRow("scientific") << QStringLiteral("0.00E+00") << false;
    QTest::newRow("unclosed quote") << QStringLiteral("0\"dd") << false;
    QTest::newRow("empty") << QString() << false;
}

// A number format shows a date when a date or time code stands outside its
// quoted text, escapes, padding, fill and bracketed tags.
void TestWorkbooks::dateFormats() {
    QFETCH(QString, format);
    QFETCH(bool, date);
    QCOMPARE(analysis::cellvalues::isDateFormat(format), date);
}

void TestWorkbooks::dateStyles_data() {
    QTest::addColumn<uint>("formatId");
    QTest::addColumn<QString>("ownFormat"); // null: the built-in format of that number
    QTest::addColumn<bool>("date");
    QTest::newRow("built-in 0, General") << 0u << QString() << false;
    QTest::newRow("built-in 2, 0.00") << 2u << QString() << false;
    QTest::newRow("built-in 14, date") << 14u << QString() << true;
    QTest::newRow("built-in 22, date and time") << 22u << QString() << true;
    QTest::newRow("built-in 23") << 23u << QString() << false;
    QTest::newRow("built-in 31, Chinese date") << 31u << QString() << true;
    QTest::newRow("built-in 49, text") << 49u << QString() << false;
    QTest::newRow("built-in 58") << 58u << QString() << true;
    QTest::newRow("own 164, date") << 164u << QStringLiteral("yyyy-mm-dd") << true;
    QTest::newRow("own 164, number") << 164u << QStringLiteral("0.0") << false;
    QTest::newRow("own 14 stands instead") << 14u << QStringLiteral("0.00") << false;
    QTest::newRow("own 2 stands instead") << 2u << QStringLiteral("m/d/yy") << true;
}

// A cell format names a number format: the workbook's own of that number if
// it has one, else the built-in one.
void TestWorkbooks::dateStyles() {
    QFETCH(uint, formatId);
    QFETCH(QString, ownFormat);
    QFETCH(bool, date);
    analysis::cellvalues::DateStyles styles;
    styles.addStyle(0);
    styles.addStyle(formatId);
    if (!ownFormat.isNull()) styles.addFormat(formatId, ownFormat);
    QCOMPARE(styles.isDate(0), false);
    QCOMPARE(styles.isDate(1), date);
}

QTEST_GUILESS_MAIN(TestWorkbooks)
#include "tst_workbooks.moc"
