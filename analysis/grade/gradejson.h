#pragma once

#include "analysis/grade/gradecomparison.h"

#include <QByteArray>
#include <QJsonArray>

namespace analysis {

// The comparison as score-report --compare --json gives it, one JSON object
// in compact UTF-8: classes, grade, students and failures, numbers
// unrounded, a class's figures as in the class analysis.
QByteArray gradeJson(const GradeComparison &comparison);

// The sources that could not be compared, as gradeJson's "failures".
QJsonArray gradeFailuresJson(const std::vector<SourceFailure> &failures);

} // namespace analysis
