#pragma once

#include "analysis/grade/gradecomparison.h"

#include <QString>

namespace analysis {

// Writes the comparison to path as .xlsx or .csv, told by the name's ending,
// through writeFileSafely: never over a directory or over one of the
// sources' workbooks. Returns an empty text or the message of the failure.
QString exportGrade(const GradeComparison &comparison, const QString &path,
                    const std::vector<ClassSource> &sources);

} // namespace analysis
