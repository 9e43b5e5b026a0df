#pragma once

#include "analysis/grade/gradecomparison.h"

#include <QJsonObject>

namespace analysis {

// The comparison as score-report --compare --json gives it: classes, grade,
// students and failures, numbers unrounded, a class's figures as in the
// class analysis.
QJsonObject gradeJson(const GradeComparison &comparison);

} // namespace analysis
