#include "analysis/layout/sheetsample.h"

#include "analysis/layout/headerwords.h"
#include "workbook/importerrors.h"

#include <algorithm>

namespace analysis {

int SheetSample::readCell(int row, int column) {
    QString text;
    const int failure = m_workbook.cellText(m_sheet, row, column, &text);
    if (failure == CellOutOfRange) return NoError;
    if (failure != NoError) return failure;
    m_cells[std::size_t(row - 1)][std::size_t(column - 1)] = blankedText(text);
    return NoError;
}

int SheetSample::readTo(int lastRow, int columns) {
    columns = std::min(columns, MostColumns);
    const int oldRows = rows(), oldColumns = m_columns;
    if (lastRow <= oldRows && columns <= oldColumns) return NoError;
    m_cells.resize(std::size_t(std::max(lastRow, oldRows)));
    m_columns = std::max(columns, oldColumns);
    for (std::vector<QString> &line : m_cells)
        line.resize(std::size_t(m_columns));
    // New cells: the new columns of the old rows, and every column of the new rows.
    const auto isNew = [&](int row, int column) { return row > oldRows || column > oldColumns; };
    for (int row = 1; row <= rows(); ++row)
        for (int column = 1; column <= std::min(m_columns, RowWiseColumns); ++column)
            if (isNew(row, column))
                if (const int failure = readCell(row, column)) return failure;
    for (int column = RowWiseColumns + 1; column <= m_columns; ++column)
        for (int row = 1; row <= rows(); ++row)
            if (isNew(row, column))
                if (const int failure = readCell(row, column)) return failure;
    return NoError;
}

QString SheetSample::text(int row, int column) const {
    if (row < 1 || row > rows() || column < 1 || column > m_columns) return {};
    return m_cells[std::size_t(row - 1)][std::size_t(column - 1)];
}

int SheetSample::lastColumn(int firstRow, int lastRow) const {
    int last = 0;
    for (int row = std::max(firstRow, 1); row <= std::min(lastRow, rows()); ++row)
        for (int column = m_columns; column > last; --column)
            if (!m_cells[std::size_t(row - 1)][std::size_t(column - 1)].isEmpty()) {
                last = column;
                break;
            }
    return last;
}

int SheetSample::textCount(int row) const {
    if (row < 1 || row > rows()) return 0;
    const std::vector<QString> &line = m_cells[std::size_t(row - 1)];
    return int(std::count_if(line.begin(), line.end(),
                             [](const QString &text) { return !text.isEmpty(); }));
}

QString SheetSample::firstText(int row) const {
    if (row < 1 || row > rows()) return {};
    for (const QString &text : m_cells[std::size_t(row - 1)])
        if (!text.isEmpty()) return text;
    return {};
}

} // namespace analysis
