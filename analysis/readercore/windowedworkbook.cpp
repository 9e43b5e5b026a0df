#include "analysis/readercore/windowedworkbook.h"

#include "analysis/importerrors.h"

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

std::unique_ptr<Workbook> openedWorkbook(std::unique_ptr<Workbook> workbook, int failure,
                                         int *error) {
    *error = failure;
    if (failure != NoError) return nullptr;
    return workbook;
}

} // namespace analysis::readercore
