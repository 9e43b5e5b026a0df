#pragma once

#include "analysis/classanalysis/classanalysis.h"
#include "analysis/export/xlsxexport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace analysis {

// Whether the name ends in .xlsx or .csv, in any case.
bool isExportName(const QString &path);

// Writes the analysis to path as .xlsx or .csv, told by the name's ending
// (in any case), through writeFileSafely: never over a directory or over
// sourceWorkbook. Returns an empty text or the message of the failure.
QString exportAnalysis(const ClassAnalysis &analysis, const QString &path,
                       const QString &sourceWorkbook);

// Writes tables to path as .xlsx (through `xlsx`, given the bytes to fill) or
// as .csv (the bytes `csv` gives), told by the name's ending, through
// writeFileSafely: never over a directory or over any of protectedPaths.
// Returns an empty text or the message of the failure.
QString exportTables(const QString &path, const QStringList &protectedPaths,
                     const std::function<XlsxWritten(QByteArray *)> &xlsx,
                     const std::function<QByteArray()> &csv);

} // namespace analysis
