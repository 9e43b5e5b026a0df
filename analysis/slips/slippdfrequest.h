#pragma once

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/slips/slipinput.h"
#include "analysis/slips/slipitems.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace analysis {

// What score-report hands the PDF module to write slips.
struct SlipPdfRequest {
    SlipExam exam;
    const std::vector<SlipStudent> *students = nullptr;
    SlipOptions options;
    AnalysisSettings settings;
    bool pagePerStudent = false; // else strips
    QString path;                // the one PDF of them all; empty: none
    QString perStudentFolder;    // a PDF per student into it; empty: none
    QStringList protectedPaths;  // the sources, never written over
};

struct SlipPdfResult {
    QString failure;      // empty on success
    QStringList renamed;  // the students whose file name was made safe or kept apart
    int written = 0;      // files written into the folder
    bool oneFile = false; // the one PDF of every slip was written
};

using WriteSlipsFunction = void (*)(const SlipPdfRequest *request, SlipPdfResult *result);
inline constexpr char WriteSlipsSymbol[] = "score_report_write_slips";

} // namespace analysis
