#include "analysis/export/analysisexport.h"

#include "analysis/export/csvexport.h"
#include "analysis/export/safefile.h"
#include "analysis/export/xlsxexport.h"
#include "analysis/texts/messages.h"

#include <QFile>

namespace analysis {

bool isExportName(const QString &path) {
    return path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

QString exportAnalysis(const ClassAnalysis &analysis, const QString &path,
                       const QString &sourceWorkbook) {
    const AnalysisTables tables = analysisTables(analysis);
    return exportTables(
        path, {sourceWorkbook},
        [&](const QString &temporary) { return writeAnalysisXlsx(tables, temporary); },
        [&] { return analysisCsv(tables); });
}

QString exportTables(const QString &path, const QStringList &protectedPaths,
                     const std::function<XlsxWritten(const QString &)> &xlsx,
                     const std::function<QByteArray()> &csv) {
    if (!isExportName(path)) return messages::exportNameInvalid(path);
    const bool asXlsx = path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
    return writeFileSafely(path, protectedPaths, [&](const QString &temporary) -> QString {
        bool written = false;
        if (asXlsx) {
            const XlsxWritten result = xlsx(temporary);
            if (result == XlsxWritten::LibraryMissing) return messages::xlsxWriterMissing();
            written = result == XlsxWritten::Written;
        } else {
            QFile file(temporary);
            const QByteArray bytes = csv();
            written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                      file.flush();
        }
        return written ? QString() : messages::exportCannotWrite(path);
    });
}

} // namespace analysis
