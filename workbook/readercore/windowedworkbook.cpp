#include "workbook/readercore/windowedworkbook.h"

#include "workbook/damage.h"
#include "workbook/importerrors.h"

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
    const auto found = m_cells.find(m_limits.cellKey(row, column));
    if (found == m_cells.end()) return NoError;
    return cellvalues::cellText(found->second, *this, text);
}

int WindowedWorkbook::keptRows(int firstRow, const std::vector<int> &columns,
                               std::vector<SheetRow> *rows) {
    const int last = m_limits.lastRow(m_cells);
    for (int row = firstRow; row <= last; ++row) {
        SheetRow line{row, {}};
        bool any = false;
        for (const int column : columns) {
            QString text;
            if (const int failure = keptCellText(row, column, &text)) return failure;
            any = any || !text.isEmpty();
            line.texts.append(std::move(text));
        }
        if (any) rows->push_back(std::move(line));
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
