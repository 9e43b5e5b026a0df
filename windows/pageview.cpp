#include "windows/pageview.h"

#include "pages/reportpainter.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr int Gap = 12; // around and between the pages, in pixels
}

PageView::PageView(QWidget *parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, QColor(128, 128, 128));
    viewport()->setPalette(palette);
}

void PageView::setPages(pages::ReportLayout layout) {
    m_layout = std::move(layout);
    updateScrollBar();
    viewport()->update();
}

double PageView::scale() const {
    return std::max(1, viewport()->width() - 2 * Gap) / pages::PageWidth;
}

QRectF PageView::pageRect(int page) const {
    const double height = pages::PageHeight * scale();
    return QRectF(Gap, Gap + page * (height + Gap) - verticalScrollBar()->value(),
                  pages::PageWidth * scale(), height);
}

void PageView::updateScrollBar() {
    const double whole = pageCount() * (pages::PageHeight * scale() + Gap) + Gap;
    verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(whole)) - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(40);
}

void PageView::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

void PageView::scrollContentsBy(int, int) {
    viewport()->update();
}

// Only the pages in the damaged part are painted.
void PageView::paintEvent(QPaintEvent *event) {
    QPainter painter(viewport());
    for (int page = 0; page < pageCount(); ++page) {
        const QRectF rect = pageRect(page);
        if (!rect.intersects(event->rect())) continue;
        painter.fillRect(rect.translated(3, 3), QColor(60, 60, 60));
        painter.fillRect(rect, Qt::white);
        painter.save();
        painter.translate(rect.topLeft());
        painter.scale(scale(), scale());
        pages::paintPage(painter, m_layout, page);
        painter.restore();
    }
}
