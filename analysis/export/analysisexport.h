#pragma once

#include "analysis/classanalysis.h"

#include <QString>

namespace analysis {

// Whether the name ends in .xlsx or .csv, in any case.
bool isExportName(const QString &path);

// Writes the analysis to path as .xlsx or .csv, told by the name's ending
// (in any case), through writeFileSafely: never over a directory or over
// sourceWorkbook. Returns an empty text or the message of the failure.
QString exportAnalysis(const ClassAnalysis &analysis, const QString &path,
                       const QString &sourceWorkbook);

} // namespace analysis
