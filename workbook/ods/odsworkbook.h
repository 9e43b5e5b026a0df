#pragma once

#include "workbook/workbook.h"

namespace analysis::zip {
class Archive;
}

namespace analysis::ods {

// Opens an OpenDocument spreadsheet (.ods) in a zip archive. NotAWorkbook
// when the archive holds another kind of document.
std::unique_ptr<Workbook> openOdsWorkbook(std::unique_ptr<zip::Archive> archive, int *error);

} // namespace analysis::ods
