#pragma once

#include "workbook/workbook.h"

#include <cstddef>
#include <cstdint>

namespace analysis::html {

// What the first bytes of a file (after any byte-order mark and white space)
// say: a web page (it names html, or begins with a table), other markup (an
// XML file, e.g. a 2003 XML spreadsheet, which is none of the kinds read), or
// neither.
enum class PageKind { None, Page, OtherMarkup };
PageKind pageKind(const std::uint8_t *first, std::size_t length);

// Opens a web page saved as a workbook: its tables are the sheets. The
// encoding is the byte-order mark's, else the page's charset, else the text
// rule. On failure returns null and sets *error (CannotOpen also when
// libxml2 is missing or the parser stopped before the end).
std::unique_ptr<Workbook> openHtmlWorkbook(ByteSource &source, int *error);

} // namespace analysis::html
