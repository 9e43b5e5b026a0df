#include "cli/examexport.h"

#include "analysis/exam/examexport.h"
#include "analysis/exam/exampdf.h"
#include "analysis/export/analysisexport.h"
#include "cli/pdfmodule.h"

namespace report {

bool isExamExportName(const QString &path) {
    return isPdfName(path) || analysis::isExportName(path);
}

QString exportExam(const analysis::ExamAnalysis &exam, const QString &path,
                   const std::vector<analysis::ClassSource> &sources) {
    QStringList workbooks;
    for (const analysis::ClassSource &source : sources)
        workbooks << source.path;
    if (!isPdfName(path))
        return analysis::exportExamTables(analysis::examTables(exam), path, workbooks);
    return writePdf(analysis::WriteExamPdfSymbol,
                    analysis::ExamPdfRequest{&exam, {}, path, workbooks});
}

} // namespace report
