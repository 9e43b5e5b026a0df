#pragma once

#include "analysis/export/reportheader.h"
#include "analysis/progress/progresstables.h"

#include <QStringList>

namespace analysis {

// What score-report hands the PDF module to print the comparison.
struct ProgressPdfRequest {
    const ProgressTables *tables = nullptr;
    ReportHeader header;
    QString path;
    QStringList sourceWorkbooks; // never written over
};

using WriteProgressPdfFunction = void (*)(const ProgressPdfRequest *request, QString *failure);
inline constexpr char WriteProgressPdfSymbol[] = "score_report_write_progress_pdf";

} // namespace analysis
