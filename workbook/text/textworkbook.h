#pragma once

#include "workbook/workbook.h"

namespace analysis::text {

// Opens a text table (.csv, .txt): one sheet, named as given (the file's
// name without its extension), that any sheet name selects. On failure
// returns null and sets *error (CannotOpen for damaged text).
std::unique_ptr<Workbook> openTextWorkbook(std::unique_ptr<ByteSource> source,
                                           const QString &sheetName, int *error);

} // namespace analysis::text
