#pragma once

#include "analysis/grade/gradecomparison.h"

#include <QByteArray>

namespace analysis {

// The comparison as score-report --compare --json gives it, one JSON object
// in compact UTF-8: classes, grade, students and failures, numbers
// unrounded, a class's figures as in the class analysis.
QByteArray gradeJson(const GradeComparison &comparison);

} // namespace analysis
