#include "pages/trendchart.h"

#include "pages/barchart.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace pages {

namespace {

const QColor LineColour(200, 50, 40);
const QColor GridColour(200, 200, 200);

// The plot inside the area: room for the rank marks on the left, the title
// above and the exams' names below, each a line of the font high.
QRectF plotArea(const QRectF &area, double line) {
    return area.adjusted(line * 3, line * 2, -line * 1.5, -line * 2);
}

double yOf(const QRectF &plot, const RankAxis &axis, int rank) {
    const double span = std::max(axis.deepest - 1, 1);
    return plot.top() + plot.height() * double(rank - 1) / span;
}

// The points inset from the plot's sides, so that the exams' names under
// the first and the last fit.
double xOf(const QRectF &plot, std::size_t index, std::size_t count, double line) {
    const double inset = std::min(line * 2, plot.width() / 4);
    return count < 2 ? plot.center().x()
                     : plot.left() + inset +
                           (plot.width() - 2 * inset) * double(index) / double(count - 1);
}

void paintAxis(QPainter &painter, const QRectF &plot, const RankAxis &axis, double line) {
    for (int rank = 1; rank <= axis.deepest;
         rank = rank == 1 && axis.step > 1 ? axis.step : rank + axis.step) {
        const double y = yOf(plot, axis, rank);
        painter.setPen(QPen(GridColour, 0));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(plot.left() - line * 3, y - line / 2, line * 2.7, line),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(rank));
    }
}

} // namespace

RankAxis rankAxis(const TrendChart &chart) {
    int deepest = 1;
    for (const TrendPoint &p : chart.points)
        deepest = std::max(deepest, p.rank);
    if (deepest <= 5) return {std::max(deepest, 2), 1};
    const ValueAxis axis = valueAxis(deepest);
    return {int(std::lround(axis.end)), int(std::lround(axis.step))};
}

void paintTrendChart(QPainter &painter, const QRectF &area, const TrendChart &chart,
                     const QFont &font) {
    painter.save();
    painter.setFont(font);
    const double line = QFontMetricsF(font, painter.device()).height();
    const QRectF plot = plotArea(area, line);
    const RankAxis axis = rankAxis(chart);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), line * 1.5), Qt::AlignCenter,
                     chart.title);
    paintAxis(painter, plot, axis, line);
    const std::size_t count = chart.points.size();
    QPainterPath path;
    bool drawing = false;
    for (std::size_t i = 0; i < count; ++i) {
        const TrendPoint &p = chart.points[i];
        const double x = xOf(plot, i, count, line);
        painter.setPen(Qt::black);
        painter.drawText(
            QRectF(x - plot.width() / 2, plot.bottom() + line * 0.5, plot.width(), line),
            Qt::AlignHCenter | Qt::AlignTop, p.exam);
        if (p.rank <= 0) {
            drawing = false;
            continue;
        }
        const QPointF at(x, yOf(plot, axis, p.rank));
        drawing ? path.lineTo(at) : path.moveTo(at);
        drawing = true;
        painter.setBrush(LineColour);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(at, line / 5, line / 5);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(at.x() + line / 4, at.y() - line, line * 3, line),
                         Qt::AlignLeft | Qt::AlignBottom, QString::number(p.rank));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(LineColour, line / 8));
    painter.drawPath(path);
    painter.restore();
}

} // namespace pages
