#pragma once

#include "analysis/classanalysis/classanalysis.h"
#include "analysis/export/reportheader.h"

#include <QString>

namespace report {

// Whether the name ends in .xlsx, .csv or .pdf, in any case.
bool isReportExportName(const QString &path);

// A function of the PDF module beside the program, loaded only now; null,
// with the message in *missing, where the module or the function is missing.
void *pdfModuleFunction(const char *symbol, QString *missing);

// Writes the analysis to path: a PDF report with the header through the PDF
// module beside the program, loaded only now, or else .xlsx or .csv. Returns
// an empty text or the message of the failure.
QString exportReport(const analysis::ClassAnalysis &analysis, const analysis::ReportHeader &header,
                     const QString &path, const QString &sourceWorkbook);

} // namespace report
