#include "analysis/export/analysistables.h"

#include "analysis/classanalysis/analysisrules.h"
#include "analysis/classanalysis/displaynumber.h"
#include "analysis/texts/isolation.h"

namespace analysis {

TableCell textCell(const QString &value) {
    return {value, std::nullopt};
}

TableCell countCell(int value) {
    return {QString::number(value), double(value)};
}

TableCell exactCell(const std::optional<Decimal> &value) {
    if (!value) return textCell(QStringLiteral("无"));
    return {value->text(), value->toDouble()};
}

TableCell figureCell(const std::optional<double> &value) {
    if (!value) return textCell(QStringLiteral("无"));
    return {displayNumber(*value), displayedValue(*value), true};
}

QString bandName(const ScoreBand &band, bool top) {
    return band.from.text() + QStringLiteral("≤成绩") +
           (top ? QStringLiteral("≤") : QStringLiteral("<")) + band.to.text();
}

namespace {

QString names(const std::vector<StudentRow> &students) {
    QStringList list;
    for (const StudentRow &student : students)
        list << (student.name.isEmpty() ? student.number : student.name);
    return joinIsolated(list, u'、');
}

QString stateName(ScoreCell::State state) {
    switch (state) {
    case ScoreCell::State::Absent:
        return QStringLiteral("缺考");
    case ScoreCell::State::Exempt:
        return QStringLiteral("免考");
    default:
        return QStringLiteral("无效");
    }
}

Table rankingTable(const ClassAnalysis &analysis) {
    Table table{QStringLiteral("名次表"), {"名次", "行", "学号", "姓名", "成绩"}, {}};
    for (const RankedStudent &s : analysis.ranking)
        table.rows.push_back({countCell(s.rank), countCell(s.student.gridRow),
                              textCell(s.student.number), textCell(s.student.name),
                              exactCell(s.score)});
    for (const UncountedRow &s : analysis.uncounted)
        table.rows.push_back({textCell(stateName(s.state)), countCell(s.student.gridRow),
                              textCell(s.student.number), textCell(s.student.name),
                              textCell(s.student.score)});
    return table;
}

Table figureTable(const ClassAnalysis &a) {
    Table table{QStringLiteral("成绩质量分析"), {"项目", "数值", "说明"}, {}};
    const auto add = [&table](const char16_t *caption, TableCell value, const QString &note = {}) {
        table.rows.push_back({textCell(QString::fromUtf16(caption)), value, textCell(note)});
    };
    add(u"满分", exactCell(a.settings.fullMarks));
    add(u"应考人数", countCell(a.expected), QStringLiteral("分析的行数"));
    add(u"实考人数", countCell(a.sat), QStringLiteral("计入分析的成绩"));
    add(u"缺考人数", countCell(a.absent));
    add(u"免考人数", countCell(a.exempt));
    add(u"无效成绩", countCell(a.invalid), a.invalid ? QStringLiteral("见名次表末尾") : QString());
    add(u"总分", exactCell(a.total));
    add(u"平均分", figureCell(a.mean));
    add(u"最高分", exactCell(a.highest), names(a.highestStudents));
    add(u"最低分", exactCell(a.lowest), names(a.lowestStudents));
    add(u"中位数", figureCell(a.median));
    add(u"标准差", figureCell(a.standardDeviation), QStringLiteral("总体标准差，除以实考人数"));
    add(u"难度", figureCell(a.difficulty), QStringLiteral("平均分÷满分"));
    add(u"区分度", figureCell(a.discrimination),
        a.discrimination ? QStringLiteral("最高、最低各%1人").arg(a.discriminationGroup)
                         : QStringLiteral("实考不足4人，不计算"));
    return table;
}

Table gradeTable(const ClassAnalysis &a) {
    const AnalysisSettings &s = a.settings;
    const QString excellent = s.excellent.score.text(), good = s.good.score.text();
    Table table{QStringLiteral("等级"), {"等级", "条件", "人数", "比率（%）"}, {}};
    const auto add = [&table](const char16_t *grade, const QString &rule, const GradeCount &c) {
        table.rows.push_back({textCell(QString::fromUtf16(grade)), textCell(rule),
                              countCell(c.count), figureCell(c.rate)});
    };
    add(u"优秀", QStringLiteral("成绩≥") + excellent, a.excellent);
    add(u"良好", good + QStringLiteral("≤成绩<") + excellent, a.good);
    add(u"及格", QStringLiteral("成绩≥") + s.pass.score.text(), a.pass);
    add(u"不及格", QStringLiteral("成绩<") + s.pass.score.text(), a.fail);
    add(u"低分", QStringLiteral("成绩<") + s.low.score.text(), a.low);
    add(u"优良", QStringLiteral("成绩≥") + good, a.excellentOrGood);
    return table;
}

Table bandTable(const ClassAnalysis &analysis) {
    Table table{QStringLiteral("分数段"), {"分数段", "人数", "百分比（%）"}, {}};
    for (std::size_t i = 0; i < analysis.bands.size(); ++i) {
        const ScoreBand &band = analysis.bands[i];
        table.rows.push_back(
            {textCell(bandName(band, i == 0)), countCell(band.count), figureCell(band.percent)});
    }
    return table;
}

} // namespace

AnalysisTables analysisTables(const ClassAnalysis &analysis) {
    return {rankingTable(analysis), figureTable(analysis), gradeTable(analysis),
            bandTable(analysis),    analysis.notes,        analysisRules(analysis.settings)};
}

} // namespace analysis
