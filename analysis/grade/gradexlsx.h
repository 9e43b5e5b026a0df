#pragma once

#include "analysis/export/xlsxexport.h"
#include "analysis/grade/gradetables.h"

#include <QString>

namespace analysis {

// Writes the comparison of a grade's classes as an .xlsx workbook into bytes:
// sheet 班级对比 holds the class table (with the grade mean beside each
// class), the band counts, any failures and a column chart of the class
// means beside the grade mean; sheet 年级名次表 the rank list. Rows are
// written out as they go (constant memory), so that a district's rank list
// is never held twice.
XlsxWritten writeGradeXlsx(const GradeTables &tables, QByteArray *bytes);

} // namespace analysis
