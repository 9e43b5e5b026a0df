#pragma once

#include "analysis/grid/workbookimport.h"
#include "analysis/layout/sheetlayout.h"

#include <QString>

#include <optional>

namespace analysis {

// Opens the workbook and finds the layout of the named sheet, or without a
// name of the first sheet with a header. A workbook that can't be opened or
// a sheet that is not there gives a layout with its errorNumber.
SheetLayout detectFileLayout(const QString &path, const std::optional<QString> &sheet);

// The import fields of a layout: its sheet, first row and the number, name
// and first score column (firstScore). Nothing when any of them is missing,
// or for a long table (one row per student and subject).
std::optional<ImportFields> layoutImportFields(const SheetLayout &layout, const QString &path);

// How many rows the class list takes, from its first data row to the row
// above its footer (平均分, 制表人: no students); empty rows within the class
// count, since the import reads past them. 0 when no footer was seen.
int dataRowCount(const SheetLayout &layout);
// The row above the footer; 0 when no footer was seen.
int lastClassRow(const SheetLayout &layout);

} // namespace analysis
