#pragma once

#include "workbook/workbook.h"

#include <memory>

namespace analysis {

class ByteSource;

// Opens a workbook file; the kind is told from the content, not the name.
// On failure returns null and sets *error. A text file's one sheet is named
// after the file without its extension (sheetName; Sheet1 when not given).
std::unique_ptr<Workbook> openWorkbook(const QString &path, int *error);
std::unique_ptr<Workbook> openWorkbook(std::unique_ptr<ByteSource> source, int *error,
                                       const QString &sheetName = {});

} // namespace analysis
