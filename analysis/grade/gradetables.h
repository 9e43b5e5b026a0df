#pragma once

#include "analysis/export/analysistables.h"
#include "analysis/grade/gradecomparison.h"

namespace analysis {

// The comparison laid out for people, the same for the terminal, .csv and
// .xlsx; figures rounded to two decimals as in the class analysis.
struct GradeTables {
    static constexpr unsigned short MeanColumn = 4; // 平均分 in the class table
    Table classes;                                  // one row a class, then 年级; 名次 by mean
    Table bands;    // the band counts, one column a band from the top down
    Table students; // the grade's rank list
    Table failures; // the sources not compared; no rows when there are none
};

GradeTables gradeTables(const GradeComparison &comparison);

// One of the tables alone, for a caller that wants no other.
Table classTable(const GradeComparison &comparison);
Table failureTable(const GradeComparison &comparison);

} // namespace analysis
