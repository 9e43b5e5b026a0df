#pragma once

#include "workbook/workbook.h"

#include <cstdint>
#include <vector>

namespace analysis::text {

// The cells of one sheet read whole into memory, row after row: the texts
// one after another in one string, and for each non-empty cell its column
// and where its text lies. Empty cells take no room.
class GridSheet {
public:
    // The rows and columns of a sheet of text, as in an Open XML sheet.
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;

    explicit GridSheet(QString name) : m_name(std::move(name)) {}

    const QString &name() const { return m_name; }
    void rename(QString name) { m_name = std::move(name); }
    int rowCount() const { return int(m_rowStarts.size()); }

    // Starts the next row; false past the last row a sheet may have.
    bool startRow();
    // A cell of the row last started; columns come in increasing order.
    void addCell(int column, QStringView text);

    // The text of the cell, empty outside the data.
    QString cellText(int row, int column) const;

private:
    struct Cell {
        int column;
        std::uint32_t begin;
        std::uint32_t length;
    };
    const Cell *findCell(int row, int column) const;

    QString m_name;
    QString m_texts;
    std::vector<Cell> m_cells;
    std::vector<std::uint32_t> m_rowStarts; // the first cell of each row
};

// A workbook of sheets held in memory, for files that are read whole: text
// files and web pages. A text file stores no sheet names, so its only sheet
// may answer to any name.
class GridWorkbook final : public Workbook {
public:
    GridWorkbook(std::vector<GridSheet> sheets, bool anyNameSelects)
        : m_sheets(std::move(sheets)), m_anyNameSelects(anyNameSelects) {}

    QStringList sheetNames() const override;
    int sheetIndex(const QString &name) const override;
    int cellText(int sheet, int row, int column, QString *text) override;
    int readRows(int sheet, int firstRow, const std::vector<int> &columns,
                 std::vector<SheetRow> *rows) override;

private:
    std::vector<GridSheet> m_sheets;
    bool m_anyNameSelects;
};

} // namespace analysis::text
