#include "analysis/scoregrid.h"
#include "analysis/sortorder.h"

#include <QTest>

using analysis::ScoreGrid;

namespace {

// Rows as "number|name|score"; a missing row is blank.
ScoreGrid gridOf(const QStringList &rows) {
    ScoreGrid grid;
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cells = rows[r].split(u'|');
        for (int c = 0; c < ScoreGrid::Columns && c < cells.size(); ++c)
            grid.setText(r, c, cells[c]);
    }
    return grid;
}

QStringList rowsOf(const ScoreGrid &grid, int count) {
    QStringList rows;
    for (int r = 0; r < count; ++r)
        rows.append(grid.text(r, 0) + u'|' + grid.text(r, 1) + u'|' + grid.text(r, 2));
    return rows;
}

} // namespace

class TestSortOrder : public QObject {
    Q_OBJECT
private slots:
    void byOneColumn_data();
    void byOneColumn();
    void blankRowsEndBelowFilledOnes();
    void selectedRowsOnly();
    void furtherKeyColumns();
};

void TestSortOrder::byOneColumn_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("scores with their rows") << QStringList{"1|甲|90", "2|乙|100", "3|丙|85"} << 2
                                            << QStringList{"2|乙|100", "1|甲|90", "3|丙|85"};
    QTest::newRow("numbers by value, not first digit")
        << QStringList{"1|a|9", "2|b|100", "3|c|95"} << 2
        << QStringList{"2|b|100", "3|c|95", "1|a|9"};
    QTest::newRow("fractions, negatives and exponents")
        << QStringList{"1|a|-3", "2|b|85.5", "3|c|1E2", "4|d|85"} << 2
        << QStringList{"3|c|1E2", "2|b|85.5", "4|d|85", "1|a|-3"};
    QTest::newRow("equal keys keep their order")
        << QStringList{"1|a|80", "2|b|90", "3|c|80", "4|d|80.0"} << 2
        << QStringList{"2|b|90", "1|a|80", "3|c|80", "4|d|80.0"};
    QTest::newRow("student numbers descending")
        << QStringList{"1001|a|1", "1010|b|2", "1002|c|3"} << 0
        << QStringList{"1010|b|2", "1002|c|3", "1001|a|1"};
    QTest::newRow("text after numbers, empty cell after text")
        << QStringList{"1|a|", "2|b|缺考", "3|c|60", "4|d|85分"} << 2
        << QStringList{"3|c|60", "2|b|缺考", "4|d|85分", "1|a|"};
    QTest::newRow("names in descending pinyin order")
        << QStringList{"1|李四|", "2|张三|", "3|王五|"} << 1
        << QStringList{"2|张三|", "3|王五|", "1|李四|"};
    QTest::newRow("blanks around a number")
        << QStringList{"1|a| 70 ", "2|b|80"} << 2 << QStringList{"2|b|80", "1|a| 70 "};
}

void TestSortOrder::byOneColumn() {
    QFETCH(QStringList, rows);
    QFETCH(int, column);
    QFETCH(QStringList, expected);
    ScoreGrid grid = gridOf(rows);
    analysis::sortDescending(grid, column);
    QCOMPARE(rowsOf(grid, int(expected.size())), expected);
}

void TestSortOrder::blankRowsEndBelowFilledOnes() {
    // Blank rows between students, as an import leaves them.
    ScoreGrid grid = gridOf({"1|a|70", "||", "2|b|90", "||", "3|c|"});
    analysis::sortDescending(grid, 2);
    QCOMPARE(rowsOf(grid, 5), (QStringList{"2|b|90", "1|a|70", "3|c|", "||", "||"}));
    for (int r = 3; r < ScoreGrid::Rows; ++r)
        QVERIFY(grid.isRowBlank(r));
}

void TestSortOrder::selectedRowsOnly() {
    ScoreGrid grid = gridOf({"1|a|10", "2|b|20", "3|c|30", "4|d|40"});
    analysis::sortDescending(grid, 1, 2, 2, 2);
    QCOMPARE(rowsOf(grid, 4), (QStringList{"1|a|10", "3|c|30", "2|b|20", "4|d|40"}));
}

void TestSortOrder::furtherKeyColumns() {
    // A selection over the name and score columns keys by name, then score.
    ScoreGrid grid = gridOf({"1|a|10", "2|b|20", "3|a|30"});
    analysis::sortDescending(grid, 0, ScoreGrid::Rows - 1, 1, 2);
    QCOMPARE(rowsOf(grid, 3), (QStringList{"2|b|20", "3|a|30", "1|a|10"}));
}

QTEST_APPLESS_MAIN(TestSortOrder)
#include "tst_sortorder.moc"
