#pragma once

#include "analysis/exam/examanalysis.h"

#include <QString>

#include <vector>

namespace report {

// Whether the name ends in .xlsx, .csv or .pdf, in any case.
bool isExamExportName(const QString &path);

// Writes the exam to path: a PDF through the PDF module beside the program,
// loaded only now, or else .xlsx or .csv; never over a source workbook.
// Returns an empty text or the message of the failure.
QString exportExam(const analysis::ExamAnalysis &exam, const QString &path,
                   const std::vector<analysis::ClassSource> &sources);

} // namespace report
