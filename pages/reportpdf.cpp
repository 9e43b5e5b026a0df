#include "pages/reportpdf.h"

#include "analysis/export/safefile.h"
#include "analysis/texts/messages.h"
#include "pages/reportpainter.h"

#include <QFile>
#include <QPdfWriter>

namespace pages {

QString writeReportPdf(const ReportLayout &layout, const QString &path,
                       const QStringList &sourceWorkbooks) {
    return analysis::writeFileSafely(path, sourceWorkbooks, [&](const QString &temporary) {
        QFile file(temporary);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return analysis::messages::exportCannotWrite(path);
        {
            QPdfWriter writer(&file);
            writer.setTitle(layout.title);
            writer.setCreator(analysis::messages::applicationTitle());
            paintPages(writer, layout);
        }
        return file.flush() && file.error() == QFileDevice::NoError
                   ? QString()
                   : analysis::messages::exportCannotWrite(path);
    });
}

} // namespace pages
