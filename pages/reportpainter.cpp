#include "pages/reportpainter.h"

#include "pages/barchart.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace pages {

namespace {

constexpr double Width = PageWidth - 2 * Margin;
const QColor RuleColor(90, 90, 90);
const QColor HeadingFill(225, 225, 245);

// A header text on one line in its width: line breaks read as spaces, and
// what does not fit is cut with "…".
void paintOneLine(QPainter &painter, const QRectF &rect, Qt::Alignment alignment, QString text) {
    for (QChar &c : text)
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.drawText(rect, alignment | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(text, Qt::ElideRight, rect.width()));
}

// The title, then two lines of three fields, each field in a third of the
// width of its own, so that a long one never hides the others.
void paintHeader(QPainter &painter, const QString &documentTitle, const analysis::ReportHeader &h) {
    painter.setFont(pageFont(60, true));
    const QString title = h.exam.isEmpty() ? documentTitle : h.exam + u' ' + documentTitle;
    paintOneLine(painter, QRectF(Margin, Margin, Width, 100), Qt::AlignHCenter, title);
    painter.setFont(pageFont(BodySize));
    const std::pair<const char16_t *, const QString *> fields[] = {
        {u"学校：", &h.school},   {u"班级：", &h.className},   {u"科目：", &h.subject},
        {u"考试名称：", &h.exam}, {u"任课教师：", &h.teacher}, {u"日期：", &h.date}};
    const double third = Width / 3;
    for (std::size_t i = 0; i < std::size(fields); ++i)
        paintOneLine(painter,
                     QRectF(Margin + double(i % 3) * third, Margin + 120 + double(i / 3) * 55,
                            third - 20, 50),
                     Qt::AlignLeft, QString::fromUtf16(fields[i].first) + *fields[i].second);
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
