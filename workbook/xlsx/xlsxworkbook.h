#pragma once

#include "workbook/workbook.h"

namespace analysis::zip {
class Archive;
}

namespace analysis::xlsx {

// Opens an Office Open XML workbook (.xlsx, .xlsm) in a zip archive that
// holds a package relationship part. NotAWorkbook when the package's main
// part is missing or is no workbook (a word-processing document, say).
std::unique_ptr<Workbook> openXlsxWorkbook(std::unique_ptr<zip::Archive> archive, int *error);

} // namespace analysis::xlsx
