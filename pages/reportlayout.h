#pragma once

#include "analysis/export/analysistables.h"
#include "pages/barchart.h"
#include "pages/reportcontent.h"

#include <QFont>
#include <QStringList>

#include <vector>

namespace pages {

// Pages are A4 portrait in units of 0.1 mm.
constexpr double PageWidth = 2100, PageHeight = 2970;
constexpr double Margin = 150;
constexpr double HeaderHeight = 300; // the header, repeated on every page
constexpr double FooterHeight = 80;  // the page number
constexpr double ChartHeight = 760;
constexpr double BodySize = 32; // the text's size
constexpr double Padding = 10;  // around the text in a cell

// The report's face, the Song face AR PL UMing CN (Debian's
// fonts-arphic-uming), at a size in units. Its text is embedded in a PDF as
// text that searches as typed: Noto CJK shares glyphs between characters and
// Kangxi radicals (二 and ⼆), and a PDF would give back the radicals.
QFont pageFont(double size, bool bold = false);

// One block of the page's column: a table, running text, a box the teacher
// fills in or the chart. Tables and text continue on the next page row by row.
struct Block {
    enum class Kind { Table, Text, Box, Chart };
    Kind kind = Kind::Text;
    QString title{};
    QStringList header{};            // a table's column titles
    std::vector<double> columns{};   // a table's relative column widths
    std::vector<QStringList> rows{}; // a table's rows; a paragraph per row of text
    std::vector<double> rowHeights{};
    std::optional<BarChart> chart{}; // of a chart block
};

// The width of a table block's column: its share of the width between the margins.
double columnWidth(const Block &block, std::size_t column);

// A block, or the part of it that lies on one page.
struct Placement {
    int block = 0;
    int firstRow = 0, rowCount = 0;
    double top = 0;
    bool continued = false; // the rows go on from the page before
};

// A document laid out over pages: any report, not only the class analysis.
struct ReportLayout {
    QString title; // after the exam's name at the top of every page
    analysis::ReportHeader header;
    std::vector<Block> blocks;
    std::vector<std::vector<Placement>> pages;
};

// Measures the blocks and fills the pages with them, from the top.
ReportLayout layoutPages(const QString &title, const analysis::ReportHeader &header,
                         std::vector<Block> blocks);

// A table of the exports as a block; its own title unless one is given.
Block tableBlock(const analysis::Table &source, std::vector<double> columns, QString title = {});

// Paragraphs of text under a title, as a block.
Block textBlock(const QString &title, const QStringList &paragraphs);

// The class analysis report.
ReportLayout layoutReport(const ReportContent &content);

// The heights of a block's parts, in units.
double titleHeight();
double tableHeaderHeight(const Block &block);

} // namespace pages
