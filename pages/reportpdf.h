#pragma once

#include "pages/reportlayout.h"

#include <QStringList>

namespace pages {

// Writes the report as a PDF (A4, the text as text, the chart as vectors)
// through writeFileSafely: never over a directory or over any of sourceWorkbooks, an
// existing file replaced only when the new one is complete. Returns an empty
// text or the message of the failure.
QString writeReportPdf(const ReportLayout &layout, const QString &path,
                       const QStringList &sourceWorkbooks);

} // namespace pages
