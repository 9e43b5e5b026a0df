#include "analysis/grade/gradetables.h"

namespace analysis {

namespace {

std::vector<TableCell> figureCells(const ClassAnalysis &a, const std::optional<double> &aboveMean) {
    return {countCell(a.expected),        countCell(a.sat),
            countCell(a.absent),          figureCell(a.mean),
            figureCell(aboveMean),        exactCell(a.highest),
            exactCell(a.lowest),          figureCell(a.standardDeviation),
            figureCell(a.excellent.rate), figureCell(a.pass.rate),
            figureCell(a.low.rate),       figureCell(a.excellentOrGood.rate)};
}

} // namespace

Table classTable(const GradeComparison &comparison) {
    Table table{QStringLiteral("班级对比"),
                {"班级", "应考", "实考", "缺考", "平均分", "超均率（%）", "最高分", "最低分",
                 "标准差", "优秀率（%）", "及格率（%）", "低分率（%）", "优良率（%）", "名次"},
                {}};
    for (const ComparedClass &c : comparison.classes) {
        std::vector<TableCell> row{textCell(c.name)};
        for (TableCell &cell : figureCells(c.analysis, c.aboveMeanRate))
            row.push_back(std::move(cell));
        row.push_back(c.rank ? countCell(c.rank) : textCell(QStringLiteral("无")));
        table.rows.push_back(std::move(row));
    }
    std::vector<TableCell> grade{textCell(QStringLiteral("年级"))};
    for (TableCell &cell : figureCells(comparison.grade, std::nullopt))
        grade.push_back(std::move(cell));
    grade[5] = textCell(QString()); // the grade is its own mean
    grade.push_back(textCell(QString()));
    table.rows.push_back(std::move(grade));
    return table;
}

namespace {

Table bandTable(const GradeComparison &comparison) {
    Table table{QStringLiteral("分数段人数"), {"班级"}, {}};
    const std::vector<ScoreBand> &bands = comparison.grade.bands;
    for (std::size_t i = 0; i < bands.size(); ++i)
        table.header << bandName(bands[i], i == 0);
    const auto add = [&table](const QString &name, const ClassAnalysis &a) {
        std::vector<TableCell> row{textCell(name)};
        for (const ScoreBand &band : a.bands)
            row.push_back(countCell(band.count));
        table.rows.push_back(std::move(row));
    };
    for (const ComparedClass &c : comparison.classes)
        add(c.name, c.analysis);
    add(QStringLiteral("年级"), comparison.grade);
    return table;
}

Table studentTable(const GradeComparison &comparison) {
    Table table{
        QStringLiteral("年级名次表"), {"年级名次", "班级", "学号", "姓名", "成绩", "班级名次"}, {}};
    table.rows.reserve(comparison.students.size());
    for (const GradeStudent &s : comparison.students)
        table.rows.push_back({countCell(s.gradeRank),
                              textCell(comparison.classes[std::size_t(s.classIndex)].name),
                              textCell(s.student.number), textCell(s.student.name),
                              exactCell(s.score), countCell(s.classRank)});
    return table;
}

} // namespace

Table failureTable(const GradeComparison &comparison) {
    Table table{QStringLiteral("未能比较的来源"), {"来源", "错误号", "说明"}, {}};
    for (const SourceFailure &f : comparison.failures)
        table.rows.push_back({textCell(f.source),
                              f.number ? countCell(*f.number) : textCell(QString()),
                              textCell(f.message)});
    return table;
}

GradeTables gradeTables(const GradeComparison &comparison) {
    return {classTable(comparison), bandTable(comparison), studentTable(comparison),
            failureTable(comparison)};
}

} // namespace analysis
