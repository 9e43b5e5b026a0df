#include "pages/examlayout.h"

#include "analysis/classanalysis/displaynumber.h"
#include "analysis/exam/examtables.h"

namespace pages {

namespace {

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

ChartBar rateBar(const QString &name, const std::optional<double> &rate) {
    return {name, rate.value_or(0), rate ? analysis::displayNumber(*rate) : QStringLiteral("无")};
}

Block rateChart(const QString &title, std::vector<ChartBar> bars) {
    return {.kind = Block::Kind::Chart,
            .title = title,
            .chart = BarChart{std::move(bars), QStringLiteral("学科"),
                              QStringLiteral("得分率（%）"), std::nullopt}};
}

} // namespace

Block examGradeChart(const analysis::ExamAnalysis &exam) {
    std::vector<ChartBar> bars;
    for (const analysis::ExamSubject &s : exam.subjects)
        bars.push_back(rateBar(s.name, s.scoreRate));
    return rateChart(QStringLiteral("年级各学科得分率"), std::move(bars));
}

Block examClassChart(const analysis::ExamAnalysis &exam, const analysis::ExamClass &c) {
    std::vector<ChartBar> bars;
    for (std::size_t s = 0; s < exam.subjects.size() && s < c.subjects.size(); ++s)
        if (c.subjects[s].taken)
            bars.push_back(rateBar(exam.subjects[s].name, c.subjects[s].scoreRate));
    return rateChart(c.name + QStringLiteral("各学科得分率"), std::move(bars));
}

ReportLayout layoutExam(const analysis::ExamAnalysis &exam, const analysis::ReportHeader &header) {
    const analysis::ExamTables tables = analysis::examTables(exam);
    std::vector<Block> blocks;
    blocks.push_back(examTable(tables, tables.subjects));
    blocks.push_back(examGradeChart(exam));
    blocks.push_back(examTable(tables, tables.classes));
    blocks.push_back(examTable(tables, tables.rates));
    if (exam.classes.size() > 1)
        for (const analysis::ExamClass &c : exam.classes)
            blocks.push_back(examClassChart(exam, c));
    for (const analysis::Table *table : {&tables.scores, &tables.weak, &tables.borderline})
        blocks.push_back(examTable(tables, *table));
    if (!tables.failures.rows.empty()) blocks.push_back(examTable(tables, tables.failures));
    if (!tables.notes.isEmpty()) blocks.push_back(textBlock(QStringLiteral("说明"), tables.notes));
    blocks.push_back(textBlock(QStringLiteral("口径说明"), tables.rules));
    return layoutPages(QStringLiteral("考试分析"), header, std::move(blocks));
}

} // namespace pages
