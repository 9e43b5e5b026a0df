#pragma once

#include "analysis/exam/examanalysis.h"

#include <QByteArray>

#include <functional>

namespace analysis {

// The exam as score-report's JSON object: numbers unrounded, null where a
// figure can't be given. Handed to `write` in pieces of a few thousand
// students as they are written, so that a district's list is never held whole.
void writeExamJson(const ExamAnalysis &exam, const std::function<void(const QByteArray &)> &write);

// The same object whole.
QByteArray examJson(const ExamAnalysis &exam);

} // namespace analysis
