#pragma once

#include "analysis/exam/examanalysis.h"
#include "analysis/export/reportheader.h"

#include <QStringList>

namespace analysis {

// What score-report hands the PDF module to print an exam.
struct ExamPdfRequest {
    const ExamAnalysis *exam = nullptr;
    ReportHeader header;
    QString path;
    QStringList sourceWorkbooks; // never written over
};

using WriteExamPdfFunction = void (*)(const ExamPdfRequest *request, QString *failure);
inline constexpr char WriteExamPdfSymbol[] = "score_report_write_exam_pdf";

} // namespace analysis
