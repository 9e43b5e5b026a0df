#include "analysis/export/analysisexport.h"

#include "analysis/export/csvexport.h"
#include "analysis/export/safefile.h"
#include "analysis/export/xlsxexport.h"
#include "analysis/messages.h"

#include <QFile>

namespace analysis {

bool isExportName(const QString &path) {
    return path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

QString exportAnalysis(const ClassAnalysis &analysis, const QString &path,
                       const QString &sourceWorkbook) {
    if (!isExportName(path)) return messages::exportNameInvalid(path);
    const bool xlsx = path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
    const AnalysisTables tables = analysisTables(analysis);
    return writeFileSafely(path, sourceWorkbook, [&](const QString &temporary) -> QString {
        bool written = false;
        if (xlsx) {
            const XlsxWritten result = writeAnalysisXlsx(tables, temporary);
            if (result == XlsxWritten::LibraryMissing) return messages::xlsxWriterMissing();
            written = result == XlsxWritten::Written;
        } else {
            QFile file(temporary);
            const QByteArray csv = analysisCsv(tables);
            written =
                file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.flush();
        }
        return written ? QString() : messages::exportCannotWrite(path);
    });
}

} // namespace analysis
