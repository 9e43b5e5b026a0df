#include "pages/reportlayout.h"

#include "analysis/export/analysistables.h"

#include <QFontMetricsF>

#include <algorithm>

namespace pages {

namespace {

constexpr double BlockGap = 40, BoxHeight = 320;
constexpr double ContentTop = Margin + HeaderHeight;
constexpr double ContentBottom = PageHeight - Margin - FooterHeight;

Block text(const QString &title, const QStringList &paragraphs,
           Block::Kind kind = Block::Kind::Text) {
    Block block{.kind = kind, .title = title, .columns = {1}};
    for (const QString &paragraph : paragraphs)
        block.rows.push_back({paragraph});
    return block;
}

// The rank list as printed: 名次, 学号, 姓名, 成绩, without the grid row.
Block rankList(const analysis::Table &ranking) {
    Block block = tableBlock(ranking, {1, 2, 2, 1.2});
    block.header.removeAt(1);
    for (QStringList &row : block.rows)
        row.removeAt(1);
    return block;
}

Block invalidRows(const analysis::ClassAnalysis &a) {
    Block block{.kind = Block::Kind::Table,
                .title = QStringLiteral("无效成绩"),
                .header = {"行", "学号", "姓名", "成绩栏内容"},
                .columns = {0.8, 2, 2, 2}};
    for (const analysis::UncountedRow &row : a.uncounted)
        if (row.state == analysis::ScoreCell::State::Invalid)
            block.rows.push_back({QString::number(row.student.gridRow), row.student.number,
                                  row.student.name, row.student.score});
    return block;
}

std::vector<Block> reportBlocks(const ReportContent &content) {
    std::vector<Block> blocks;
    if (!content.analysis) {
        blocks.push_back(text(QStringLiteral("说明"), {content.explanation}));
    } else {
        const analysis::ClassAnalysis &a = *content.analysis;
        const analysis::AnalysisTables tables = analysis::analysisTables(a);
        blocks.push_back(tableBlock(tables.figures, {1.2, 1.2, 3}, QStringLiteral("成绩概况")));
        blocks.push_back(tableBlock(tables.grades, {1, 2, 1, 1.2}));
        blocks.push_back(tableBlock(tables.bands, {2, 1, 1.2}));
        blocks.push_back({.kind = Block::Kind::Chart,
                          .title = QStringLiteral("分数段分布图"),
                          .chart = bandChart(a)});
        if (!tables.notes.isEmpty()) blocks.push_back(text(QStringLiteral("附注"), tables.notes));
        blocks.push_back(text(QStringLiteral("口径说明"), tables.rules));
        if (a.invalid > 0) blocks.push_back(invalidRows(a));
        blocks.push_back(rankList(tables.ranking));
    }
    blocks.push_back(text(QStringLiteral("试卷分析"), {content.paperAnalysis}, Block::Kind::Box));
    blocks.push_back(text(QStringLiteral("存在问题"), {content.problems}, Block::Kind::Box));
    blocks.push_back(text(QStringLiteral("改进措施"), {content.measures}, Block::Kind::Box));
    return blocks;
}

double wrappedHeight(const QFontMetricsF &metrics, double width, const QString &text) {
    const QRectF bounds =
        metrics.boundingRect(QRectF(0, 0, width - 2 * Padding, 1e6), Qt::TextWordWrap, text);
    return std::max(bounds.height(), metrics.height()) + 2 * Padding;
}

void measure(Block &block) {
    const QFontMetricsF metrics(pageFont(BodySize));
    for (const QStringList &row : block.rows) {
        double height = 0;
        for (qsizetype c = 0; c < row.size(); ++c)
            height = std::max(height,
                              wrappedHeight(metrics, columnWidth(block, std::size_t(c)), row[c]));
        block.rowHeights.push_back(block.kind == Block::Kind::Box ? std::max(height, BoxHeight)
                                                                  : height);
    }
    if (block.kind == Block::Kind::Chart) block.rowHeights.push_back(ChartHeight);
}

} // namespace

double columnWidth(const Block &block, std::size_t column) {
    double sum = 0;
    for (double c : block.columns)
        sum += c;
    return (PageWidth - 2 * Margin) * block.columns[column] / sum;
}

Block tableBlock(const analysis::Table &source, std::vector<double> columns, QString title) {
    Block block{.kind = Block::Kind::Table,
                .title = title.isEmpty() ? source.title : title,
                .header = source.header,
                .columns = std::move(columns)};
    for (const std::vector<analysis::TableCell> &row : source.rows) {
        QStringList texts;
        for (const analysis::TableCell &cell : row)
            texts << cell.text;
        block.rows.push_back(texts);
    }
    return block;
}

Block textBlock(const QString &title, const QStringList &paragraphs) {
    Block block{.kind = Block::Kind::Text, .title = title, .columns = {1}};
    for (const QString &paragraph : paragraphs)
        block.rows.push_back({paragraph});
    return block;
}

QFont pageFont(double size, bool bold) {
    QFont font(QStringList{QStringLiteral("AR PL UMing CN"), QStringLiteral("SimSun"),
                           QStringLiteral("Noto Serif CJK SC")});
    font.setPixelSize(int(size));
    font.setBold(bold);
    return font;
}

double titleHeight() {
    return QFontMetricsF(pageFont(BodySize, true)).height() + 2 * Padding;
}

// As high as its longest title wraps in its column: a header cut short would
// leave 年级名次 and 班级名次 alike.
double tableHeaderHeight(const Block &block) {
    if (block.kind != Block::Kind::Table) return 0;
    const QFontMetricsF metrics(pageFont(BodySize));
    double height = metrics.height() + 2 * Padding;
    for (qsizetype c = 0; c < block.header.size(); ++c)
        height = std::max(
            height, wrappedHeight(metrics, columnWidth(block, std::size_t(c)), block.header[c]));
    return height;
}

ReportLayout layoutReport(const ReportContent &content) {
    return layoutPages(QStringLiteral("成绩分析报告"), content.header, reportBlocks(content));
}

// A block starts where the one before ended and, when its title, header and
// first row don't fit, on a new page; its rows go on on the next page
// whenever the page is full.
ReportLayout layoutPages(const QString &title, const analysis::ReportHeader &header,
                         std::vector<Block> blocks) {
    ReportLayout layout{title, header, std::move(blocks), {{}}};
    double y = ContentTop;
    for (std::size_t b = 0; b < layout.blocks.size(); ++b) {
        Block &block = layout.blocks[b];
        measure(block);
        const double head = titleHeight() + tableHeaderHeight(block);
        const int rows = int(block.rowHeights.size());
        for (int first = 0; first < rows;) {
            if (y + head + block.rowHeights[std::size_t(first)] > ContentBottom && y > ContentTop) {
                layout.pages.emplace_back();
                y = ContentTop;
            }
            Placement placement{int(b), first, 0, y, first > 0};
            y += head;
            // At least one row on every page, so that a row taller than a page still ends.
            do {
                y += block.rowHeights[std::size_t(first + placement.rowCount)];
                ++placement.rowCount;
            } while (first + placement.rowCount < rows &&
                     y + block.rowHeights[std::size_t(first + placement.rowCount)] <=
                         ContentBottom);
            layout.pages.back().push_back(placement);
            first += placement.rowCount;
            y += BlockGap;
        }
    }
    return layout;
}

} // namespace pages
