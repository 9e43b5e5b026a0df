#pragma once

#include "workbook/cellvalues/cellvalue.h"
#include "workbook/importerrors.h"
#include "workbook/readercore/cellwindow.h"
#include "workbook/readercore/keptcells.h"
#include "workbook/readercore/sheetlimits.h"
#include "workbook/workbook.h"

#include <optional>

namespace analysis::readercore {

// A workbook whose cells are read a window of rows at a time. Every reader
// answers for a cell the same way and keeps the cells of a scan the same
// way; each reads its own container and records.
class WindowedWorkbook : public Workbook, protected cellvalues::CellReferences {
public:
    QStringList sheetNames() const override;
    int sheetIndex(const QString &name) const override;
    int cellText(int sheet, int row, int column, QString *text) final;
    int readRows(int sheet, int firstRow, const std::vector<int> &columns,
                 std::vector<SheetRow> *rows) final;
    void expectFirstRows(int sheet, int lastRow) final;

protected:
    WindowedWorkbook(SheetLimits limits, int keptColumns)
        : m_limits(limits), m_window(keptColumns) {}

    // The name of the worksheet at that index, or none past the last. Here
    // from m_sheetNames; a reader that finds its sheets as it reads looks on
    // through the file instead.
    virtual std::optional<QString> sheetName(int index) const;

    // Reads the cells of the window into m_cells: 0 or a failure number,
    // which every cell of the window then answers.
    virtual int scanWindow() = 0;

    // No cell formats and no shared strings unless a reader has them.
    int isDateStyle(std::uint32_t style, bool *date) override;
    int sharedText(std::uint32_t index, QString *text) override;
    bool dateSystem1904() const override { return m_dateSystem1904; }

    const CellWindow &window() const { return m_window; }

    // The worksheets, in order, of a reader that lists them all on opening.
    QStringList m_sheetNames;
    bool m_dateSystem1904 = false;
    // The cells of the window; none for an empty one.
    KeptCells m_cells;

private:
    // The text of a cell inside the window after a sound scan: 0 or a
    // failure number.
    int keptCellText(int row, int column, QString *text);
    int keptRows(int firstRow, const std::vector<int> &columns, std::vector<SheetRow> *rows);

    SheetLimits m_limits;
    CellWindow m_window;
    int m_windowError = NoError;
};

// The workbook when it opened soundly (failure 0), else null; *error takes
// the failure.
std::unique_ptr<Workbook> openedWorkbook(std::unique_ptr<Workbook> workbook, int failure,
                                         int *error);

} // namespace analysis::readercore
