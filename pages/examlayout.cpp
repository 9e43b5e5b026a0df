#include "pages/examlayout.h"

#include "analysis/classanalysis/displaynumber.h"
#include "analysis/exam/examtables.h"

namespace pages {

namespace {

Block textBlock(const QString &title, const QStringList &paragraphs) {
    Block block{.kind = Block::Kind::Text, .title = title, .columns = {1}};
    for (const QString &paragraph : paragraphs)
        block.rows.push_back({paragraph});
    return block;
}

// Equal column widths; 班级, 学号, 姓名 and a last 说明 (the subjects missing) wider.
Block examTable(const analysis::ExamTables &tables, const analysis::Table &table) {
    std::vector<double> columns(std::size_t(table.header.size()), 1);
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (QStringList{"班级", "学号", "姓名", "学科"}.contains(table.header[qsizetype(c)]))
            columns[c] = 1.4;
    if (table.header.size() > 1 && table.header.last() == QStringLiteral("说明"))
        columns.back() = 2.4;
    QString title = table.title;
    if (analysis::listsStudents(tables, table))
        title += QStringLiteral("　") + analysis::teachersOnlyLine();
    return tableBlock(table, std::move(columns), title);
}

} // namespace

BarChart scoreRateChart(const analysis::ExamAnalysis &exam) {
    BarChart chart{{}, QStringLiteral("学科"), QStringLiteral("得分率（%）"), std::nullopt};
    for (const analysis::ExamSubject &s : exam.subjects)
        chart.bars.push_back(
            {s.name, s.scoreRate.value_or(0),
             s.scoreRate ? analysis::displayNumber(*s.scoreRate) : QStringLiteral("无")});
    return chart;
}

ReportLayout layoutExam(const analysis::ExamAnalysis &exam, const analysis::ReportHeader &header) {
    const analysis::ExamTables tables = analysis::examTables(exam);
    std::vector<Block> blocks;
    blocks.push_back(examTable(tables, tables.subjects));
    blocks.push_back({.kind = Block::Kind::Chart,
                      .title = QStringLiteral("各学科得分率"),
                      .chart = scoreRateChart(exam)});
    blocks.push_back(examTable(tables, tables.classes));
    blocks.push_back(examTable(tables, tables.rates));
    for (const analysis::Table *table : {&tables.scores, &tables.weak, &tables.borderline})
        blocks.push_back(examTable(tables, *table));
    if (!tables.failures.rows.empty()) blocks.push_back(examTable(tables, tables.failures));
    if (!tables.notes.isEmpty()) blocks.push_back(textBlock(QStringLiteral("说明"), tables.notes));
    blocks.push_back(textBlock(QStringLiteral("口径说明"), tables.rules));
    return layoutPages(QStringLiteral("考试分析"), header, std::move(blocks));
}

} // namespace pages
