#include "analysis/grade/gradeexport.h"

#include "analysis/export/analysisexport.h"
#include "analysis/export/csvexport.h"
#include "analysis/grade/gradetables.h"
#include "analysis/grade/gradexlsx.h"
#include "analysis/texts/messages.h"

namespace analysis {

QString exportGrade(const GradeComparison &comparison, const QString &path,
                    const std::vector<ClassSource> &sources) {
    // A comparison is never written as PDF: its message names only .xlsx and .csv.
    if (!isExportName(path)) return messages::gradeExportNameInvalid(path);
    QStringList workbooks;
    for (const ClassSource &source : sources)
        workbooks << source.path;
    const GradeTables tables = gradeTables(comparison);
    return exportTables(
        path, workbooks, [&](QByteArray *bytes) { return writeGradeXlsx(tables, bytes); },
        [&] {
            return tablesCsv({&tables.classes, &tables.bands, &tables.students, &tables.failures});
        });
}

} // namespace analysis
