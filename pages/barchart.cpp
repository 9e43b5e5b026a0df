#include "pages/barchart.h"

#include "analysis/classanalysis/displaynumber.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace pages {

namespace {

constexpr double PlotLeft = 140, PlotRight = 40, PlotTop = 100, PlotBottom = 120;
const QColor BarColor(128, 128, 255);
const QColor ReferenceColor(220, 0, 0);

// Where the pass line falls along the bands, in bars from the lowest band's left edge.
double bandPosition(const std::vector<analysis::ScoreBand> &lowestFirst,
                    const analysis::Decimal &score) {
    for (std::size_t i = 0; i < lowestFirst.size(); ++i) {
        const analysis::ScoreBand &band = lowestFirst[i];
        if (score < band.to || i + 1 == lowestFirst.size()) {
            const double width = band.to.toDouble() - band.from.toDouble();
            return double(i) + (width > 0 ? (score.toDouble() - band.from.toDouble()) / width : 0);
        }
    }
    return 0;
}

void paintAxes(QPainter &painter, const QRectF &plot, const BarChart &chart, ValueAxis axis) {
    const QFontMetricsF metrics(painter.font());
    painter.setPen(QPen(Qt::black, 2));
    for (double v = 0; v <= axis.end; v += axis.step) {
        const double y = plot.bottom() - v / axis.end * plot.height();
        painter.drawLine(QPointF(plot.left() - 10, y), QPointF(plot.left(), y));
        painter.drawText(QRectF(plot.left() - 130, y - 30, 110, 60),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawText(
        QRectF(plot.left() - PlotLeft, plot.top() - PlotTop, PlotLeft + 200, metrics.height()),
        Qt::AlignLeft | Qt::AlignTop, chart.valueTitle);
    painter.drawText(QRectF(plot.left(), plot.bottom() + PlotBottom - metrics.height(),
                            plot.width(), metrics.height()),
                     Qt::AlignHCenter | Qt::AlignBottom, chart.categoryTitle);
}

void paintReference(QPainter &painter, const QRectF &plot, const BarChart &chart, double axisEnd,
                    double slot) {
    if (!chart.reference) return;
    const ChartReference &line = *chart.reference;
    QPen pen(ReferenceColor, 4, Qt::DashLine);
    painter.setPen(pen);
    if (line.axis == ChartReference::Axis::Category) {
        const double x = plot.left() + line.position * slot;
        painter.drawLine(QPointF(x, plot.top() - 40), QPointF(x, plot.bottom()));
        painter.drawText(QRectF(x + 8, plot.top() - 80, 400, 40), Qt::AlignLeft | Qt::AlignVCenter,
                         line.label);
    } else {
        const double y = plot.bottom() - line.position / axisEnd * plot.height();
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        // The label goes beside the axis title below the plot, with a piece of the
        // line as its key: on the line itself it would cover a bar's caption.
        const QFontMetricsF metrics(painter.font());
        const double width = metrics.horizontalAdvance(line.label);
        const double baseline = plot.bottom() + PlotBottom - metrics.height() / 2;
        painter.drawLine(QPointF(plot.right() - width - 110, baseline),
                         QPointF(plot.right() - width - 20, baseline));
        painter.drawText(QRectF(plot.right() - width - 10, baseline - metrics.height() / 2,
                                width + 10, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, line.label);
    }
}

} // namespace

BarChart bandChart(const analysis::ClassAnalysis &analysis) {
    std::vector<analysis::ScoreBand> bands(analysis.bands.rbegin(), analysis.bands.rend());
    BarChart chart{{}, QStringLiteral("分数段"), QStringLiteral("人数"), std::nullopt};
    for (const analysis::ScoreBand &band : bands) {
        const QString percent =
            band.percent ? analysis::displayNumber(*band.percent) + u'%' : QStringLiteral("无");
        chart.bars.push_back({band.from.text() + u'-' + band.to.text(), double(band.count),
                              QStringLiteral("%1人\n%2").arg(band.count).arg(percent)});
    }
    const analysis::Decimal &pass = analysis.settings.pass.score;
    chart.reference = ChartReference{ChartReference::Axis::Category, bandPosition(bands, pass),
                                     QStringLiteral("及格线 %1").arg(pass.text())};
    return chart;
}

ValueAxis valueAxis(double largest) {
    if (largest <= 0) return {1, 1};
    for (double power = 1;; power *= 10)
        for (double step : {1.0, 2.0, 5.0})
            if (const double steps = std::ceil(largest / (step * power)); steps <= 5)
                return {steps * step * power, step * power};
}

void paintBarChart(QPainter &painter, const QRectF &area, const BarChart &chart,
                   const QFont &font) {
    painter.save();
    painter.setFont(font);
    const QRectF plot = area.adjusted(PlotLeft, PlotTop, -PlotRight, -PlotBottom);
    double largest = 0;
    for (const ChartBar &bar : chart.bars)
        largest = std::max(largest, bar.value);
    const ValueAxis axis = valueAxis(largest);
    const double axisEnd = axis.end;
    const double slot = plot.width() / double(std::max<std::size_t>(1, chart.bars.size()));
    const double lineHeight = QFontMetricsF(font).height();
    paintAxes(painter, plot, chart, axis);
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        const ChartBar &bar = chart.bars[i];
        const double height = bar.value / axisEnd * plot.height();
        const QRectF rect(plot.left() + slot * (double(i) + 0.2), plot.bottom() - height,
                          slot * 0.6, height);
        // Without antialiasing the bar covers whole pixels and keeps its height exactly.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.fillRect(rect, BarColor);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::black);
        const double slotLeft = plot.left() + slot * double(i);
        painter.drawText(QRectF(slotLeft, rect.top() - 2 * lineHeight - 4, slot, 2 * lineHeight),
                         Qt::AlignHCenter | Qt::AlignBottom, bar.caption);
        painter.drawText(QRectF(slotLeft, plot.bottom() + 6, slot, lineHeight),
                         Qt::AlignHCenter | Qt::AlignTop, bar.label);
    }
    paintReference(painter, plot, chart, axisEnd, slot);
    painter.restore();
}

} // namespace pages
