#pragma once

#include "analysis/exam/examanalysis.h"
#include "analysis/slips/slipinput.h"

#include <vector>

namespace analysis {

// Each student's slip figures from a whole-exam analysis, in source order:
// the subjects the student's source has, then the totals, with the student's
// own ranks, the counts ranked and the class means.
std::vector<SlipStudent> slipStudents(const ExamAnalysis &exam);

} // namespace analysis
