#pragma once

#include "workbook/workbook.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace analysis::text {

class GridSheet;

// The rows of a sheet not read yet, read one at a time as far as they are
// asked for: a class of 40 at the top of a file of 60,000 lines costs 40.
class PendingRows {
public:
    virtual ~PendingRows() = default;
    // Adds the next row to the sheet: NoError, or the failure that ends the
    // rows (CannotOpen for damaged text).
    virtual int addRow(GridSheet &sheet) = 0;
    virtual bool done() const = 0;
};

// The cells of one sheet read whole into memory, row after row: the texts
// one after another in one string, and for each non-empty cell its column
// and where its text lies. Empty cells take no room.
class GridSheet {
public:
    // The rows and columns of a sheet of text, as in an Open XML sheet.
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;

    explicit GridSheet(QString name) : m_name(std::move(name)) {}

    // Rows to read only when asked for (readTo).
    void setPendingRows(std::shared_ptr<PendingRows> rows) { m_pending = std::move(rows); }
    // Reads the pending rows up to row (every row: MaxRows). NoError, or the
    // failure met before the row was reached.
    int readTo(int row);

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
    std::shared_ptr<PendingRows> m_pending;
    int m_failure = 0; // what ended the pending rows early
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
