#pragma once

#include "analysis/progress/progressreport.h"
#include "analysis/slips/slipinput.h"

#include <vector>

namespace analysis {

// Fills in each slip's change since the last exam from the comparison: the
// score change and the grade rank change of each subject and total that both
// exams have, by its name. Students the comparison did not match keep none
// (无上次成绩). students are slipStudents of the comparison's this exam.
void addSlipChanges(std::vector<SlipStudent> &students, const ProgressReport &report);

} // namespace analysis
