#pragma once

#include "analysis/exam/examanalysis.h"

#include <QByteArray>

namespace analysis {

// The exam as score-report's JSON object: numbers unrounded, null where a
// figure can't be given; the students written one at a time.
QByteArray examJson(const ExamAnalysis &exam);

} // namespace analysis
