#include "workbook/text/gridworkbook.h"

#include "workbook/importerrors.h"

#include <algorithm>

namespace analysis::text {

namespace {

bool insideSheet(int row, int column) {
    return row >= 1 && row <= GridSheet::MaxRows && column >= 1 && column <= GridSheet::MaxColumns;
}

} // namespace

int GridSheet::readTo(int row) {
    while (rowCount() < row && m_pending && !m_pending->done()) {
        const std::size_t rows = m_rowStarts.size(), cells = m_cells.size();
        const qsizetype texts = m_texts.size();
        if (const int failure = m_pending->addRow(*this)) {
            // The damaged line is no row: what it began is taken back.
            m_rowStarts.resize(rows);
            m_cells.resize(cells);
            m_texts.truncate(texts);
            m_failure = failure;
            m_pending.reset();
        }
    }
    if (m_pending && m_pending->done()) m_pending.reset();
    return rowCount() >= row ? NoError : m_failure;
}

bool GridSheet::startRow() {
    if (rowCount() >= MaxRows) return false;
    m_rowStarts.push_back(std::uint32_t(m_cells.size()));
    return true;
}

void GridSheet::addCell(int column, QStringView text) {
    if (text.isEmpty()) return;
    m_cells.push_back({column, std::uint32_t(m_texts.size()), std::uint32_t(text.size())});
    m_texts.append(text);
}

const GridSheet::Cell *GridSheet::findCell(int row, int column) const {
    if (row > rowCount()) return nullptr;
    const auto begin = m_cells.begin() + m_rowStarts[std::size_t(row - 1)];
    const auto end = std::size_t(row) < m_rowStarts.size()
                         ? m_cells.begin() + m_rowStarts[std::size_t(row)]
                         : m_cells.end();
    const auto found = std::lower_bound(
        begin, end, column, [](const Cell &cell, int wanted) { return cell.column < wanted; });
    return found != end && found->column == column ? &*found : nullptr;
}

QString GridSheet::cellText(int row, int column) const {
    const Cell *cell = findCell(row, column);
    return cell ? m_texts.mid(cell->begin, cell->length) : QString();
}

QStringList GridWorkbook::sheetNames() const {
    QStringList names;
    for (const GridSheet &sheet : m_sheets)
        names.append(sheet.name());
    return names;
}

int GridWorkbook::sheetIndex(const QString &name) const {
    if (m_anyNameSelects && m_sheets.size() == 1) return 0;
    for (std::size_t i = 0; i < m_sheets.size(); ++i)
        if (m_sheets[i].name().compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

int GridWorkbook::cellText(int sheet, int row, int column, QString *text) {
    text->clear();
    if (sheet < 0 || std::size_t(sheet) >= m_sheets.size()) return SheetMissing;
    if (!insideSheet(row, column)) return CellOutOfRange;
    GridSheet &cells = m_sheets[std::size_t(sheet)];
    if (const int failure = cells.readTo(row)) return failure;
    *text = cells.cellText(row, column);
    return NoError;
}

int GridWorkbook::readRows(int sheet, int firstRow, const std::vector<int> &columns,
                           std::vector<SheetRow> *rows) {
    rows->clear();
    if (sheet < 0 || std::size_t(sheet) >= m_sheets.size()) return SheetMissing;
    for (const int column : columns)
        if (!insideSheet(firstRow, column)) return CellOutOfRange;
    GridSheet &cells = m_sheets[std::size_t(sheet)];
    if (const int failure = cells.readTo(GridSheet::MaxRows)) return failure;
    for (int row = firstRow; row <= cells.rowCount(); ++row) {
        SheetRow line{row, {}};
        bool any = false;
        for (const int column : columns) {
            line.texts.append(cells.cellText(row, column));
            any = any || !line.texts.back().isEmpty();
        }
        if (any) rows->push_back(std::move(line));
    }
    return NoError;
}

} // namespace analysis::text
