#pragma once

#include "analysis/export/analysistables.h"
#include "analysis/grade/gradetables.h"

#include <QString>

namespace analysis {

// Writes the analysis as an .xlsx workbook at path: sheet 成绩 holds the rank
// list under a frozen header, sheet 分析 the figures, the grades, the band
// table with a column chart of it, the notes and the rules; columns are as
// wide as their text.
enum class XlsxWritten { Written, LibraryMissing, Failed };
XlsxWritten writeAnalysisXlsx(const AnalysisTables &tables, const QString &path);

// Writes the comparison of a grade's classes as an .xlsx workbook at path:
// sheet 班级对比 holds the class table (with the grade mean beside each
// class), the band counts, any failures and a column chart of the class
// means beside the grade mean; sheet 年级名次表 the rank list. Rows are
// written out as they go (constant memory), so that a district's rank list
// is never held twice.
XlsxWritten writeGradeXlsx(const GradeTables &tables, const QString &path);

} // namespace analysis
