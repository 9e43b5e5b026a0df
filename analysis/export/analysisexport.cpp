#include "analysis/export/analysisexport.h"

#include "analysis/export/csvexport.h"
#include "analysis/export/safefile.h"
#include "analysis/export/xlsxexport.h"
#include "analysis/texts/messages.h"

namespace analysis {

bool isExportName(const QString &path) {
    return path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

QString exportAnalysis(const ClassAnalysis &analysis, const QString &path,
                       const QString &sourceWorkbook) {
    const AnalysisTables tables = analysisTables(analysis);
    return exportTables(
        path, {sourceWorkbook}, [&](QByteArray *bytes) { return writeAnalysisXlsx(tables, bytes); },
        [&] { return analysisCsv(tables); });
}

QString exportTables(const QString &path, const QStringList &protectedPaths,
                     const std::function<XlsxWritten(QByteArray *)> &xlsx,
                     const std::function<QByteArray()> &csv) {
    if (!isExportName(path)) return messages::exportNameInvalid(path);
    const bool asXlsx = path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
    return writeFileSafely(path, protectedPaths, [&](QByteArray *bytes) -> QString {
        if (!asXlsx) {
            *bytes = csv();
            return {};
        }
        const XlsxWritten result = xlsx(bytes);
        if (result == XlsxWritten::LibraryMissing) return messages::xlsxWriterMissing();
        return result == XlsxWritten::Written ? QString() : messages::exportCannotWrite(path);
    });
}

} // namespace analysis
