#pragma once

#include "analysis/classanalysis/classanalysis.h"
#include "analysis/export/reportheader.h"

#include <QString>

namespace report {

// Whether the name ends in .xlsx, .csv or .pdf, in any case.
bool isReportExportName(const QString &path);

// Writes the analysis to path: a PDF report with the header through the PDF
// module beside the program, loaded only now, or else .xlsx or .csv. Returns
// an empty text or the message of the failure.
// The named entry of the PDF module beside the program, loaded only now;
// null when the module or the entry can't be found.
void *pdfModuleEntry(const char *symbol);
QString pdfModuleMissing(); // the message when it can't

QString exportReport(const analysis::ClassAnalysis &analysis, const analysis::ReportHeader &header,
                     const QString &path, const QString &sourceWorkbook);

} // namespace report
