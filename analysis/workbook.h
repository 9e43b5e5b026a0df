#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace analysis {

class ByteSource;

// A workbook opened for reading cells. Failures are the numbers of
// importerrors.h.
class Workbook {
public:
    virtual ~Workbook() = default;

    // The worksheets, in the workbook's order.
    virtual QStringList sheetNames() const = 0;

    // The worksheet of that name, compared as the spreadsheet application
    // does (case-insensitively), or -1.
    virtual int sheetIndex(const QString &name) const;

    // The text of the cell at row and column, both counted from 1: empty for
    // an empty cell or a row beyond the data. Returns 0 or a failure number
    // (CellOutOfRange for a row or column outside the sheet, CannotOpen when
    // the sheet's data is damaged).
    virtual int cellText(int sheet, int row, int column, QString *text) = 0;
};

// Opens a workbook file; the kind is told from the content, not the name.
// On failure returns null and sets *error.
std::unique_ptr<Workbook> openWorkbook(const QString &path, int *error);
std::unique_ptr<Workbook> openWorkbook(std::unique_ptr<ByteSource> source, int *error);

} // namespace analysis
