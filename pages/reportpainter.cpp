#include "pages/reportpainter.h"

#include "pages/barchart.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace pages {

namespace {

constexpr double Width = PageWidth - 2 * Margin;
const QColor RuleColor(90, 90, 90);
const QColor HeadingFill(225, 225, 245);

void paintHeader(QPainter &painter, const QString &documentTitle, const analysis::ReportHeader &h) {
    painter.setFont(pageFont(60, true));
    const QString title = h.exam.isEmpty() ? documentTitle : h.exam + u' ' + documentTitle;
    painter.drawText(QRectF(Margin, Margin, Width, 100), Qt::AlignCenter, title);
    painter.setFont(pageFont(BodySize));
    const QString lines[] = {
        QStringLiteral("学校：%1　　班级：%2　　科目：%3").arg(h.school, h.className, h.subject),
        QStringLiteral("考试名称：%1　　任课教师：%2　　日期：%3").arg(h.exam, h.teacher, h.date)};
    painter.drawText(QRectF(Margin, Margin + 120, Width, 50), Qt::AlignLeft | Qt::AlignVCenter,
                     lines[0]);
    painter.drawText(QRectF(Margin, Margin + 175, Width, 50), Qt::AlignLeft | Qt::AlignVCenter,
                     lines[1]);
    painter.setPen(QPen(Qt::black, 4));
    painter.drawLine(QPointF(Margin, Margin + HeaderHeight - 40),
                     QPointF(PageWidth - Margin, Margin + HeaderHeight - 40));
}

// One row of cells across the column, each wrapped in its width.
void paintRow(QPainter &painter, const Block &block, const QStringList &cells, double top,
              double height, bool grid) {
    double x = Margin;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        const double w = columnWidth(block, std::size_t(c));
        const QRectF cell(x, top, w, height);
        painter.setPen(Qt::black);
        painter.drawText(cell.adjusted(Padding, Padding, -Padding, -Padding),
                         Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, cells[c]);
        if (grid) {
            painter.setPen(QPen(RuleColor, 2));
            painter.drawRect(cell);
        }
        x += w;
    }
}

void paintPlacement(QPainter &painter, const Block &block, const Placement &p) {
    double y = p.top;
    painter.setFont(pageFont(BodySize, true));
    painter.setPen(Qt::black);
    const QString title = p.continued ? block.title + QStringLiteral("（续）") : block.title;
    painter.drawText(QRectF(Margin, y, Width, titleHeight()), Qt::AlignLeft | Qt::AlignVCenter,
                     title);
    y += titleHeight();
    painter.setFont(pageFont(BodySize));
    if (block.kind == Block::Kind::Chart) {
        if (block.chart)
            paintBarChart(painter, QRectF(Margin, y, Width, ChartHeight), *block.chart,
                          pageFont(28));
        return;
    }
    if (block.kind == Block::Kind::Table) {
        const double h = tableHeaderHeight(block);
        painter.fillRect(QRectF(Margin, y, Width, h), HeadingFill);
        paintRow(painter, block, block.header, y, h, true);
        y += h;
    }
    for (int r = p.firstRow; r < p.firstRow + p.rowCount; ++r) {
        const double h = block.rowHeights[std::size_t(r)];
        paintRow(painter, block, block.rows[std::size_t(r)], y, h, block.kind != Block::Kind::Text);
        y += h;
    }
}

} // namespace

void paintPage(QPainter &painter, const ReportLayout &layout, int page) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(Qt::black);
    paintHeader(painter, layout.title, layout.header);
    for (const Placement &p : layout.pages[std::size_t(page)])
        paintPlacement(painter, layout.blocks[std::size_t(p.block)], p);
    painter.setFont(pageFont(28));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(Margin, PageHeight - Margin - FooterHeight, Width, FooterHeight),
                     Qt::AlignCenter,
                     QStringLiteral("第 %1 页 共 %2 页").arg(page + 1).arg(layout.pages.size()));
    painter.restore();
}

void paintPages(QPagedPaintDevice &device, const ReportLayout &layout) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&device);
    const double scale = double(device.width()) / PageWidth;
    for (int page = 0; page < int(layout.pages.size()); ++page) {
        if (page > 0) device.newPage();
        painter.resetTransform();
        painter.scale(scale, scale);
        paintPage(painter, layout, page);
    }
}

} // namespace pages
