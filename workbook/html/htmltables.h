#pragma once

#include "workbook/text/gridworkbook.h"

#include <libxml/tree.h>

#include <vector>

namespace analysis::html {

// The tables of a parsed page as sheets, in the order they begin: Sheet1,
// Sheet2, … or, for a page of one table, the page's title. A cell spanning
// columns or rows occupies them all, its text in the first; a line break is a
// line break, other white space runs are one space; Excel's x:num and x:str
// values stand for the text shown. A table beyond a sheet's rows or columns
// is CannotOpen, a page without any table NotAWorkbook, else NoError.
int readTables(xmlDoc *page, std::vector<text::GridSheet> *sheets);

} // namespace analysis::html
