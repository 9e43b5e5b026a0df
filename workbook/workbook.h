#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace analysis {

class ByteSource;

// One row of a sheet read whole: its number, counted from 1, and the texts
// of the columns asked for, in the order asked.
struct SheetRow {
    int row = 0;
    QStringList texts;
};

// A workbook opened for reading cells. Failures are the numbers of
// importerrors.h.
class Workbook {
public:
    virtual ~Workbook() = default;

    // The worksheets, in the workbook's order.
    virtual QStringList sheetNames() const = 0;

    // The worksheet of that name, compared as the spreadsheet application
    // does (case-insensitively), or -1.
    virtual int sheetIndex(const QString &name) const = 0;

    // The text of the cell at row and column, both counted from 1: empty for
    // an empty cell or a row beyond the data. Returns 0 or a failure number
    // (CellOutOfRange for a row or column outside the sheet, CannotOpen when
    // the sheet's data is damaged).
    virtual int cellText(int sheet, int row, int column, QString *text) = 0;

    // Every row from firstRow to the end of the sheet that holds text in any
    // of the columns, in row order; rows without text in them, between the
    // others or after the last, are left out. One pass over the sheet,
    // keeping only those columns. Returns 0 or a failure number, as cellText.
    virtual int readRows(int sheet, int firstRow, const std::vector<int> &columns,
                         std::vector<SheetRow> *rows) = 0;

    // A hint: the next cells asked for lie in the first rows of the sheet, up
    // to lastRow, so that a reader that scans a block of rows at a time may
    // read them in one pass instead of starting over for each block.
    virtual void expectFirstRows(int sheet, int lastRow) {
        (void)sheet;
        (void)lastRow;
    }
};

// Whether a file's name ends like a workbook: .xls, .xlsx, .xlsm, .ods, WPS's
// .et and .ett, or a text table's .csv and .txt, in any case. The content
// decides how a workbook is read; the name only picks files from a folder,
// a drop or a file dialog.
bool hasWorkbookEnding(const QString &name);
// The same endings as a file dialog's patterns: "*.xls *.xlsx …".
QString workbookPatterns();

} // namespace analysis
