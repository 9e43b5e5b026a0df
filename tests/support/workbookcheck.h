#pragma once

// What any bytes must give the workbook readers, read the way the import
// reads them (and as the grade comparison reads a sheet whole): text or one
// of the failure numbers of importerrors.h, and cells outside the sheet out
// of range. Shared by the damage tests and the fuzz targets; a crash, a hang
// or a sanitizer report is theirs to notice.

#include "workbook/bytesource.h"
#include "workbook/importerrors.h"
#include "workbook/open/openworkbook.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>

namespace workbookcheck {

using namespace analysis;

// Rows 1 to 100 of columns 1 to 3; the first failure ends the reading, as it
// ends the import. Empty when every answer is one the reader may give.
inline QString readLikeTheImport(Workbook &workbook, int sheet) {
    QString text;
    for (int row = 1; row <= 100; ++row)
        for (int column = 1; column <= 3; ++column) {
            const int error = workbook.cellText(sheet, row, column, &text);
            if (error == CannotOpen) return {};
            if (error != NoError)
                return QStringLiteral("cell failure %1 inside the sheet").arg(error);
        }
    return {};
}

// The corner cell lies inside the sheets of the kinds the bytes may be.
inline QString problem(const QByteArray &bytes, int cornerRow, int cornerColumn) {
    int error = -1;
    const auto workbook = openWorkbook(memorySource(bytes), &error);
    if (!workbook)
        return error == CannotOpen || error == NotAWorkbook
                   ? QString()
                   : QStringLiteral("open failure %1").arg(error);
    if (error != NoError) return QStringLiteral("a workbook with failure %1").arg(error);
    const QStringList names = workbook->sheetNames();
    QString text;
    if (workbook->cellText(int(names.size()), 1, 1, &text) != SheetMissing)
        return QStringLiteral("a sheet beyond the last");
    if (names.isEmpty()) return {};
    if (workbook->sheetIndex(names.first()) != 0)
        return QStringLiteral("the first sheet not found first");
    if (const QString wrong = readLikeTheImport(*workbook, 0); !wrong.isEmpty()) return wrong;
    // The whole sheet as the grade comparison reads it; cells are asked for
    // afterwards as before.
    std::vector<SheetRow> rows;
    const int whole = workbook->readRows(0, 1, {1, 2, 3}, &rows);
    if (whole != NoError && (whole != CannotOpen || !rows.empty()))
        return QStringLiteral("whole-sheet failure %1 with %2 rows").arg(whole).arg(rows.size());
    // Row 1048577 and column 16385 lie beyond every kind of workbook.
    for (const auto &[row, column] : {std::pair{1, 16385}, {1, 0}, {0, 1}, {1048577, 1}})
        if (workbook->cellText(0, row, column, &text) != CellOutOfRange)
            return QStringLiteral("R%1C%2 not out of range").arg(row).arg(column);
    const int corner = workbook->cellText(0, cornerRow, cornerColumn, &text);
    if (corner != NoError && corner != CannotOpen)
        return QStringLiteral("last cell failure %1").arg(corner);
    return names.size() > 1 ? readLikeTheImport(*workbook, int(names.size()) - 1) : QString();
}

} // namespace workbookcheck
