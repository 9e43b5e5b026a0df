#pragma once

#include "analysis/grade/gradecomparison.h"
#include "pages/reportlayout.h"

namespace pages {

// The class means in the order of the classes, each captioned with its mean,
// and the grade mean as a line across them.
BarChart gradeChart(const analysis::GradeComparison &comparison);

// The comparison as printed: the class table with the grade row, the chart of
// the means, the band counts, the sources not compared and the grade's rank list.
ReportLayout layoutGrade(const analysis::GradeComparison &comparison,
                         const analysis::ReportHeader &header);

} // namespace pages
