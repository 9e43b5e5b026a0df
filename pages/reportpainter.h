#pragma once

#include "pages/reportlayout.h"

class QPagedPaintDevice;
class QPainter;

namespace pages {

// Paints one page (counted from 0) in page units, 2100 × 2970, onto any
// painter: the screen's, a PDF's, a printer's. The caller scales.
void paintPage(QPainter &painter, const ReportLayout &layout, int page);

// Paints every page onto a PDF writer or a printer, A4 portrait, each page
// scaled to the device's page.
void paintPages(QPagedPaintDevice &device, const ReportLayout &layout);

} // namespace pages
