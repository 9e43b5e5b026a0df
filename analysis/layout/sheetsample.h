#pragma once

#include "workbook/workbook.h"

#include <QString>

#include <vector>

namespace analysis {

// The blanked texts (headerwords.h) of a block of a sheet's first rows and
// columns, read cell by cell in the order the readers' windows keep best.
class SheetSample {
public:
    // The widest block read: school lists with many subjects fit in it.
    static constexpr int MostColumns = 64;
    // The columns every reader keeps in one scan of a window of rows: read
    // row by row. A column past them costs a scan of its own, so it is read
    // down its rows at once.
    static constexpr int RowWiseColumns = 32;

    SheetSample(Workbook &workbook, int sheet) : m_workbook(workbook), m_sheet(sheet) {}

    // Reads rows up to lastRow (counted from 1) in the first `columns`
    // columns, keeping what was read before. Cells outside the sheet read
    // as empty. Returns 0 or the failure that stopped the reading.
    int readTo(int lastRow, int columns);

    // The text of a cell read, empty for one not read.
    QString text(int row, int column) const;

    // The last column with text in any of those rows, or 0.
    int lastColumn(int firstRow, int lastRow) const;

    // Whether the row read holds no text in any column.
    bool rowEmpty(int row) const { return lastColumn(row, row) == 0; }

    // How many cells of the row hold text.
    int textCount(int row) const;

    // The first text of a row, empty for an empty row.
    QString firstText(int row) const;

    int rows() const { return int(m_cells.size()); }
    int columns() const { return m_columns; }

private:
    int readCell(int row, int column);

    Workbook &m_workbook;
    int m_sheet;
    int m_columns = 0;
    std::vector<std::vector<QString>> m_cells; // by row, then column
};

} // namespace analysis
