#pragma once

#include <algorithm>
#include <utility>
#include <vector>

namespace analysis::readercore {

// The columns a scan of an XML sheet keeps whatever is asked for: a class
// list lies in the first ones.
constexpr int StreamedColumns = 32;

// The part of one sheet that the last scan kept: up to 128 rows from the
// first one asked for, the first columns, and any other column asked for so
// far (up to 16, then they start over). A cell outside it calls for a new
// scan.
class CellWindow {
public:
    static constexpr int Rows = 128;
    static constexpr std::size_t OtherColumns = 16;

    explicit CellWindow(int keptColumns) : m_defaultKept(keptColumns), m_keptColumns(keptColumns) {}

    int sheet = -1;
    int first = 0;
    int last = -1;
    std::vector<int> columns; // kept beyond the first ones

    // The first columns kept whatever is asked for.
    int keptColumns() const { return m_keptColumns; }

    bool keeps(int column) const {
        return (column >= 1 && column <= m_keptColumns) ||
               std::find(columns.begin(), columns.end(), column) != columns.end();
    }

    bool covers(int cellSheet, int row, int column) const {
        return cellSheet == sheet && row >= first && row <= last && keeps(column);
    }

    // Moves or widens the window so that the next scan keeps the cell.
    void take(int cellSheet, int row, int column, int lastSheetRow) {
        if (cellSheet != sheet || columns.size() >= OtherColumns || m_keptColumns != m_defaultKept)
            columns.clear();
        m_keptColumns = m_defaultKept;
        if (!keeps(column)) columns.push_back(column);
        if (cellSheet != sheet || row < first || row > last) {
            first = row;
            last = std::min(row + Rows - 1, lastSheetRow);
            // The rows expected from the top come in one scan.
            if (cellSheet == m_expectedSheet && row <= m_expectedLast)
                last = std::min(std::max(last, m_expectedLast), lastSheetRow);
        }
        sheet = cellSheet;
    }

    // The first rows of a sheet, up to lastRow (at most MostExpectedRows),
    // will be asked for: a window moved into them reaches to their end.
    void expectFirstRows(int cellSheet, int lastRow) {
        m_expectedSheet = cellSheet;
        m_expectedLast = std::min(lastRow, MostExpectedRows);
    }
    static constexpr int MostExpectedRows = 1024;

    // Spans the rows from first to last of the sheet and keeps only the
    // columns asked for: a whole-sheet read keeps no more than it needs.
    void span(int cellSheet, int firstRow, int lastRow, std::vector<int> asked) {
        sheet = cellSheet;
        first = firstRow;
        last = lastRow;
        columns = std::move(asked);
        m_keptColumns = 0;
    }

    // Forgets the rows kept, so that the next cell calls for a new scan.
    void forget() { sheet = -1; }

private:
    int m_defaultKept;
    int m_keptColumns;
    int m_expectedSheet = -1;
    int m_expectedLast = 0;
};

} // namespace analysis::readercore
