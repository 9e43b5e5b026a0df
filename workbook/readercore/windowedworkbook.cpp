#include "workbook/readercore/windowedworkbook.h"

#include "workbook/damage.h"
#include "workbook/importerrors.h"

#include <algorithm>

namespace analysis::readercore {

QStringList WindowedWorkbook::sheetNames() const {
    QStringList names;
    for (int i = 0; const std::optional<QString> name = sheetName(i); ++i)
        names.append(*name);
    return names;
}

// A sheet is found by name without looking past it.
int WindowedWorkbook::sheetIndex(const QString &name) const {
    for (int i = 0; const std::optional<QString> found = sheetName(i); ++i)
        if (found->compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

std::optional<QString> WindowedWorkbook::sheetName(int index) const {
    if (index >= m_sheetNames.size()) return std::nullopt;
    return m_sheetNames[index];
}

int WindowedWorkbook::cellText(int sheet, int row, int column, QString *text) {
    text->clear();
    if (sheet < 0 || !sheetName(sheet)) return SheetMissing;
    if (!m_limits.contains(row, column)) return CellOutOfRange;
    if (!m_window.covers(sheet, row, column)) {
        m_window.take(sheet, row, column, m_limits.rows);
        m_windowError = scanWindow();
    }
    if (m_windowError != NoError) return m_windowError;
    return keptCellText(row, column, text);
}

void WindowedWorkbook::expectFirstRows(int sheet, int lastRow) {
    m_window.expectFirstRows(sheet, lastRow);
}

int WindowedWorkbook::readRows(int sheet, int firstRow, const std::vector<int> &columns,
                               std::vector<SheetRow> *rows) {
    rows->clear();
    if (sheet < 0 || !sheetName(sheet)) return SheetMissing;
    for (const int column : columns)
        if (!m_limits.contains(firstRow, column)) return CellOutOfRange;
    m_window.span(sheet, firstRow, m_limits.rows, columns);
    int failure = scanWindow();
    if (failure == NoError) failure = keptRows(firstRow, columns, rows);
    // The cells kept for the whole sheet are let go; a cell asked for next
    // calls for a scan of its own window.
    m_window.forget();
    m_windowError = NoError;
    if (failure != NoError) rows->clear();
    return failure;
}

int WindowedWorkbook::isDateStyle(std::uint32_t style, bool *date) {
    (void)style;
    *date = false;
    return NoError;
}

int WindowedWorkbook::sharedText(std::uint32_t index, QString *text) {
    (void)index;
    (void)text;
    return WORKBOOK_DAMAGED();
}

int WindowedWorkbook::keptCellText(int row, int column, QString *text) {
    const std::vector<KeptCells::Entry> &cells = m_cells.ordered();
    const std::uint64_t key = m_limits.cellKey(row, column);
    const auto found = std::lower_bound(
        cells.begin(), cells.end(), key,
        [](const KeptCells::Entry &cell, std::uint64_t wanted) { return cell.first < wanted; });
    if (found == cells.end() || found->first != key) return NoError;
    return cellvalues::cellText(found->second, *this, text);
}

int WindowedWorkbook::keptRows(int firstRow, const std::vector<int> &columns,
                               std::vector<SheetRow> *rows) {
    // One pass down the cells in key order, row by row.
    const std::vector<KeptCells::Entry> &cells = m_cells.ordered();
    auto rowStart = cells.begin();
    while (rowStart != cells.end()) {
        const int row = m_limits.keyRow(rowStart->first);
        auto rowEnd = rowStart;
        while (rowEnd != cells.end() && m_limits.keyRow(rowEnd->first) == row)
            ++rowEnd;
        if (row >= firstRow) {
            SheetRow line{row, {}};
            line.texts.reserve(qsizetype(columns.size()));
            bool any = false;
            for (const int column : columns) {
                const std::uint64_t key = m_limits.cellKey(row, column);
                const auto cell =
                    std::find_if(rowStart, rowEnd,
                                 [key](const KeptCells::Entry &kept) { return kept.first == key; });
                QString text;
                if (cell != rowEnd)
                    if (const int failure = cellvalues::cellText(cell->second, *this, &text))
                        return failure;
                any = any || !text.isEmpty();
                line.texts.append(std::move(text));
            }
            if (any) rows->push_back(std::move(line));
        }
        rowStart = rowEnd;
    }
    return NoError;
}

std::unique_ptr<Workbook> openedWorkbook(std::unique_ptr<Workbook> workbook, int failure,
                                         int *error) {
    *error = failure;
    if (failure != NoError) return nullptr;
    return workbook;
}

} // namespace analysis::readercore
