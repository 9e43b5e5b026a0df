#pragma once

// What every workbook fuzz target checks of one input: it is opened as a
// workbook and read the way the import reads it, and every answer must be
// text or one of the failure numbers of importerrors.h. Anything else (a
// crash, a sanitizer report, an unknown number) stops the run.

#include "analysis/bytesource.h"
#include "analysis/importerrors.h"
#include "analysis/workbook.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace workbookcheck {

using namespace analysis;

[[noreturn]] inline void fail(const char *what) {
    std::fprintf(stderr, "fuzz target: %s\n", what);
    std::abort();
}

// Rows 1 to 100 of columns 1 to 3; the first failure ends the reading, as it
// ends the import.
inline void readLikeTheImport(Workbook &workbook, int sheet) {
    QString text;
    for (int row = 1; row <= 100; ++row)
        for (int column = 1; column <= 3; ++column) {
            const int error = workbook.cellText(sheet, row, column, &text);
            if (error == CannotOpen) return;
            if (error != NoError) fail("cellText gave a number other than 0 or 5 inside the sheet");
        }
}

// The corner cell lies inside the sheets of the kinds the input may be.
inline void checkWorkbook(Workbook &workbook, int cornerRow, int cornerColumn) {
    const QStringList names = workbook.sheetNames();
    QString text;
    if (workbook.cellText(int(names.size()), 1, 1, &text) != SheetMissing)
        fail("a sheet beyond the last was not missing");
    if (names.isEmpty()) return;
    const int first = workbook.sheetIndex(names.first());
    if (first != 0) fail("the first sheet's own name was not found first");
    readLikeTheImport(workbook, first);
    // Row 1048577 and column 16385 lie beyond every kind of workbook.
    if (workbook.cellText(first, 1, 16385, &text) != CellOutOfRange ||
        workbook.cellText(first, 1, 0, &text) != CellOutOfRange ||
        workbook.cellText(first, 0, 1, &text) != CellOutOfRange ||
        workbook.cellText(first, 1048577, 1, &text) != CellOutOfRange)
        fail("a cell outside the sheet was not out of range");
    const int corner = workbook.cellText(first, cornerRow, cornerColumn, &text);
    if (corner != NoError && corner != CannotOpen)
        fail("the last cell gave a number other than 0 or 5");
    if (names.size() > 1) readLikeTheImport(workbook, int(names.size()) - 1);
    const int named = workbook.sheetIndex(QStringLiteral("Sheet1"));
    if (named > 0) readLikeTheImport(workbook, named);
}

inline int testOneInput(const std::uint8_t *data, std::size_t size, int cornerRow,
                        int cornerColumn) {
    int error = -1;
    std::unique_ptr<Workbook> workbook = openWorkbook(
        memorySource(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))), &error);
    if (!workbook) {
        if (error != CannotOpen && error != NotAWorkbook)
            fail("openWorkbook failed with a number other than 5 or 438");
        return 0;
    }
    if (error != NoError) fail("openWorkbook gave a workbook and a failure number");
    checkWorkbook(*workbook, cornerRow, cornerColumn);
    return 0;
}

} // namespace workbookcheck
