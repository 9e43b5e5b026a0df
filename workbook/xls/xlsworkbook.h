#pragma once

#include "workbook/workbook.h"

namespace analysis::xls {

// Opens a legacy workbook (BIFF8 "Workbook" or BIFF5 "Book" stream in a
// compound file). On failure returns null and sets *error.
std::unique_ptr<Workbook> openXlsWorkbook(std::unique_ptr<ByteSource> source, int *error);

} // namespace analysis::xls
