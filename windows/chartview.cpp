#include "windows/chartview.h"

#include "pages/reportlayout.h"

#include <QPainter>

void ChartView::setChart(std::optional<pages::BarChart> chart) {
    m_chart = std::move(chart);
    update();
}

void ChartView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_chart) return;
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = height() / pages::ChartHeight;
    painter.scale(scale, scale);
    pages::paintBarChart(painter, QRectF(0, 0, width() / scale, pages::ChartHeight), *m_chart,
                         pages::pageFont(pages::BodySize));
}
