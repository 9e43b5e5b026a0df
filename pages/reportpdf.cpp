#include "pages/reportpdf.h"

#include "analysis/export/safefile.h"
#include "analysis/texts/messages.h"
#include "pages/reportpainter.h"

#include <QBuffer>
#include <QPdfWriter>

namespace pages {

QString writeReportPdf(const ReportLayout &layout, const QString &path,
                       const QStringList &sourceWorkbooks) {
    // The PDF is made in memory; writeFileSafely checks every write of it.
    return analysis::writeFileSafely(path, sourceWorkbooks, [&](QByteArray *bytes) {
        QBuffer buffer(bytes);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setTitle(layout.title);
            writer.setCreator(analysis::messages::applicationTitle());
            paintPages(writer, layout);
        }
        return QString();
    });
}

} // namespace pages
