#include "pages/gradelayout.h"

#include "analysis/classanalysis/displaynumber.h"
#include "analysis/grade/gradetables.h"

namespace pages {

BarChart gradeChart(const analysis::GradeComparison &comparison) {
    BarChart chart{{}, QStringLiteral("班级"), QStringLiteral("平均分"), std::nullopt};
    for (const analysis::ComparedClass &c : comparison.classes) {
        const std::optional<double> &mean = c.analysis.mean;
        chart.bars.push_back({c.name, mean.value_or(0),
                              mean ? analysis::displayNumber(*mean) : QStringLiteral("无")});
    }
    if (const std::optional<double> &mean = comparison.grade.mean)
        chart.reference =
            ChartReference{ChartReference::Axis::Value, *mean,
                           QStringLiteral("年级平均分 ") + analysis::displayNumber(*mean)};
    return chart;
}

ReportLayout layoutGrade(const analysis::GradeComparison &comparison,
                         const analysis::ReportHeader &header) {
    const analysis::GradeTables tables = analysis::gradeTables(comparison);
    std::vector<Block> blocks;
    blocks.push_back(
        tableBlock(tables.classes, {1.6, 1, 1, 1, 1.2, 1.3, 1.2, 1.2, 1.2, 1.3, 1.3, 1.3, 1.3, 1}));
    blocks.push_back({.kind = Block::Kind::Chart,
                      .title = QStringLiteral("各班平均分"),
                      .chart = gradeChart(comparison)});
    blocks.push_back(tableBlock(tables.bands, std::vector<double>(tables.bands.header.size(), 1)));
    if (!tables.failures.rows.empty()) blocks.push_back(tableBlock(tables.failures, {3, 1, 4}));
    blocks.push_back(tableBlock(tables.students, {1, 1.5, 1.5, 1.5, 1, 1}));
    return layoutPages(QStringLiteral("年级对比"), header, std::move(blocks));
}

} // namespace pages
