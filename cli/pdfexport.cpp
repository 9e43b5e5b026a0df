#include "cli/pdfexport.h"

#include "analysis/export/analysisexport.h"
#include "cli/pdfmodule.h"

namespace report {

bool isReportExportName(const QString &path) {
    return isPdfName(path) || analysis::isExportName(path);
}

QString exportReport(const analysis::ClassAnalysis &analysis, const analysis::ReportHeader &header,
                     const QString &path, const QString &sourceWorkbook) {
    if (!isPdfName(path)) return analysis::exportAnalysis(analysis, path, sourceWorkbook);
    return writePdf(analysis::WritePdfSymbol,
                    analysis::PdfRequest{&analysis, header, path, sourceWorkbook});
}

} // namespace report
