#pragma once

#include "analysis/export/analysistables.h"

#include <QString>

namespace analysis {

enum class XlsxWritten { Written, LibraryMissing, Failed };

// Writes the analysis as an .xlsx workbook into bytes: sheet 成绩 holds the rank
// list under a frozen header, sheet 分析 the figures, the grades, the band
// table with a column chart of it, the notes and the rules; columns are as
// wide as their text.
XlsxWritten writeAnalysisXlsx(const AnalysisTables &tables, QByteArray *bytes);

} // namespace analysis
