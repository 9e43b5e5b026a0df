#include "pages/slippainter.h"

#include "pages/reportlayout.h"
#include "pages/simplepdf.h"

#include <QHash>
#include <QPagedPaintDevice>
#include <QPainter>

#include <functional>

namespace pages {

namespace {

constexpr double Left = Margin + SlipPadding, Width = PageWidth - 2 * Margin - 2 * SlipPadding;
const QColor RuleColor(90, 90, 90);
const QColor HeadingFill(225, 225, 245);

// A column's share of the table, by what it holds: the change says the most.
double columnWeight(const QString &title) {
    static const QHash<QString, double> weights = {
        {QStringLiteral("科目"), 1.4},       {QStringLiteral("等级"), 0.8},
        {QStringLiteral("名次段"), 1.6},     {QStringLiteral("比上次"), 2.2},
        {QStringLiteral("班级平均分"), 1.3}, {QStringLiteral("班级名次"), 1.2},
        {QStringLiteral("年级名次"), 1.2}};
    return weights.value(title, 1.0);
}

double paintTable(QPainter &painter, const analysis::SlipContent &slip, double top) {
    std::vector<double> widths;
    double sum = 0;
    for (const QString &title : slip.header)
        sum += columnWeight(title);
    for (const QString &title : slip.header)
        widths.push_back(Width * columnWeight(title) / sum);
    const double rowHeight = slipRowHeight();
    for (int r = -1; r < int(slip.rows.size()); ++r) {
        const QStringList &cells = r < 0 ? slip.header : slip.rows[std::size_t(r)];
        painter.setFont(pageFont(BodySize, r < 0));
        double x = Left;
        for (qsizetype c = 0; c < cells.size() && c < qsizetype(widths.size()); ++c) {
            const QRectF cell(x, top, widths[std::size_t(c)], rowHeight);
            if (r < 0) painter.fillRect(cell, HeadingFill);
            painter.setPen(QPen(RuleColor, 2));
            painter.drawRect(cell);
            painter.setPen(Qt::black);
            painter.drawText(cell.adjusted(Padding, 0, -Padding, 0),
                             Qt::AlignVCenter | (c == 0 ? Qt::AlignLeft : Qt::AlignHCenter),
                             cells[c]);
            x += widths[std::size_t(c)];
        }
        top += rowHeight;
    }
    return top;
}

void paintSlip(QPainter &painter, const SlipLayout &layout, const SlipPlacement &p) {
    const analysis::SlipContent &slip = layout.slips[std::size_t(p.slip)];
    painter.setPen(QPen(RuleColor, 3));
    painter.drawRect(QRectF(Margin, p.top, PageWidth - 2 * Margin, p.height));
    double y = p.top + SlipPadding;
    painter.setPen(Qt::black);
    painter.setFont(pageFont(44, true));
    painter.drawText(QRectF(Left, y, Width, SlipTitleHeight), Qt::AlignCenter, slip.title);
    y += SlipTitleHeight;
    painter.setFont(pageFont(BodySize));
    painter.drawText(QRectF(Left, y, Width, SlipLineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     slip.examLine);
    y += SlipLineHeight;
    painter.setFont(pageFont(BodySize, true));
    painter.drawText(QRectF(Left, y, Width, SlipLineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     slip.studentLine);
    y = paintTable(painter, slip, y + SlipLineHeight) + 10;
    painter.setFont(pageFont(BodySize - 4));
    for (const QString &note : slip.notes) {
        const QRectF bounds =
            painter.boundingRect(QRectF(Left, y, Width, 1e4), Qt::TextWordWrap, note);
        painter.drawText(QRectF(Left, y, Width, bounds.height()), Qt::TextWordWrap, note);
        y += bounds.height() + 6;
    }
    painter.setFont(pageFont(22));
    painter.setPen(RuleColor);
    painter.drawText(QRectF(Left, p.top + p.height - SlipPadding - SlipPresetHeight + 10, Width,
                            SlipPresetHeight),
                     Qt::AlignRight | Qt::AlignVCenter, slip.preset);
}

void paintCutLine(QPainter &painter, double y) {
    QPen pen(Qt::black, 3, Qt::DashLine);
    painter.setPen(pen);
    painter.drawLine(QPointF(Margin / 2, y), QPointF(PageWidth - Margin / 2, y));
}

} // namespace

void paintSlipPage(QPainter &painter, const SlipLayout &layout, int page) {
    const std::vector<SlipPlacement> &slips = layout.pages[std::size_t(page)];
    for (std::size_t i = 0; i < slips.size(); ++i) {
        paintSlip(painter, layout, slips[i]);
        if (i + 1 < slips.size())
            paintCutLine(painter, slips[i].top + slips[i].height + SlipGap / 2);
    }
}

namespace {

void paintPages(QPaintDevice &device, const std::function<void()> &newPage,
                const SlipLayout &layout, const std::vector<int> &pages) {
    QPainter painter(&device);
    const double scale = double(device.width()) / PageWidth;
    const int count = pages.empty() ? int(layout.pages.size()) : int(pages.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0) newPage();
        painter.resetTransform();
        painter.scale(scale, scale);
        paintSlipPage(painter, layout, pages.empty() ? i : pages[std::size_t(i)]);
    }
}

} // namespace

void paintSlipPages(QPagedPaintDevice &device, const SlipLayout &layout,
                    const std::vector<int> &pages) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    paintPages(
        device, [&] { device.newPage(); }, layout, pages);
}

void paintSlipPages(SimplePdf &pdf, const SlipLayout &layout, const std::vector<int> &pages) {
    paintPages(
        pdf, [&] { pdf.newPage(); }, layout, pages);
}

} // namespace pages
