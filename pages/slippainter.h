#pragma once

#include "pages/sliplayout.h"

class QPagedPaintDevice;
class QPainter;

namespace pages {

// Paints one page of slips (counted from 0) in page units, 2100 × 2970, onto
// any painter: the screen's, a PDF's, a printer's. The caller scales.
void paintSlipPage(QPainter &painter, const SlipLayout &layout, int page);

// Paints the given pages (all when empty) onto a PDF writer or a printer, A4 portrait.
void paintSlipPages(QPagedPaintDevice &device, const SlipLayout &layout,
                    const std::vector<int> &pages = {});

class SimplePdf;
// The same onto a PDF of its own making (see SimplePdf).
void paintSlipPages(SimplePdf &pdf, const SlipLayout &layout, const std::vector<int> &pages = {});

} // namespace pages
