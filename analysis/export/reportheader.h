#pragma once

#include "analysis/classanalysis/classanalysis.h"

#include <QDate>
#include <QString>

namespace analysis {

// The header fields of the printed report, as the teacher types them.
struct ReportHeader {
    QString school, className, subject, exam, teacher;
    QString date = QDate::currentDate().toString(QStringLiteral("yyyy年M月d日")); // today
};

// What score-report hands the PDF module, which it loads only to write a PDF.
struct PdfRequest {
    const ClassAnalysis *analysis = nullptr;
    ReportHeader header;
    QString path;           // the PDF to write
    QString sourceWorkbook; // never written over
};

// The module's one entry point: writes the report and sets failure to an
// empty text or the message of the failure.
using WritePdfFunction = void (*)(const PdfRequest *request, QString *failure);
inline constexpr char WritePdfSymbol[] = "score_report_write_pdf";
inline constexpr char PdfModuleFile[] = "score-report-pdf.so";

} // namespace analysis
