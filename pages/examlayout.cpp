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

// How wide a printed table may be, in the units of examTable's widths: what
// an A4 page holds legibly (学科分析's fifteen columns).
constexpr double PageUnits = 16.5;

// The given columns of a table block, in their order.
Block columnsOf(const Block &whole, const std::vector<std::size_t> &picked, QString title) {
    Block part{.kind = Block::Kind::Table, .title = std::move(title)};
    for (const std::size_t c : picked) {
        part.header << whole.header[qsizetype(c)];
        part.columns.push_back(whole.columns[c]);
    }
    part.rows.reserve(whole.rows.size());
    for (const QStringList &row : whole.rows) {
        QStringList cells;
        for (const std::size_t c : picked)
            cells << row[qsizetype(c)];
        part.rows.push_back(std::move(cells));
    }
    return part;
}

// 成绩总表 takes four columns a subject and five a total, far wider than a
// page: it is printed in parts, each with 班级, 学号 and 姓名 and the subjects
// and totals that fit beside them, 说明 in the last.
std::vector<Block> scoreParts(const analysis::ExamAnalysis &exam, const Block &whole) {
    struct Group {
        QString name;
        std::vector<std::size_t> columns;
    };
    std::vector<Group> groups;
    std::size_t next = 3;
    const auto add = [&](const QString &name, std::size_t count) {
        Group group{name, {}};
        for (std::size_t i = 0; i < count; ++i)
            group.columns.push_back(next++);
        groups.push_back(std::move(group));
    };
    for (const analysis::ExamSubject &s : exam.subjects)
        add(s.name, 4);
    for (const analysis::ExamTotal &t : exam.totals)
        add(t.name, 5);
    add(QString(), 1); // 说明
    const auto width = [&](const std::vector<std::size_t> &columns) {
        double units = 0;
        for (const std::size_t c : columns)
            units += whole.columns[c];
        return units;
    };
    const std::vector<std::size_t> key{0, 1, 2};
    std::vector<std::vector<std::size_t>> parts{key};
    std::vector<QStringList> names(1);
    for (const Group &group : groups) {
        std::vector<std::size_t> wider = parts.back();
        wider.insert(wider.end(), group.columns.begin(), group.columns.end());
        if (parts.back().size() > key.size() && width(wider) > PageUnits) {
            parts.push_back(key);
            names.emplace_back();
            wider = key;
            wider.insert(wider.end(), group.columns.begin(), group.columns.end());
        }
        parts.back() = std::move(wider);
        if (!group.name.isEmpty()) names.back() << group.name;
    }
    if (parts.size() == 1) return {whole};
    std::vector<Block> blocks;
    const qsizetype titleEnd = whole.title.indexOf(u'　');
    for (std::size_t i = 0; i < parts.size(); ++i) {
        QString title = whole.title;
        title.insert(titleEnd < 0 ? title.size() : titleEnd,
                     QStringLiteral("（%1）").arg(names[i].join(u'、')));
        blocks.push_back(columnsOf(whole, parts[i], std::move(title)));
    }
    return blocks;
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
    for (Block &part : scoreParts(exam, examTable(tables, tables.scores)))
        blocks.push_back(std::move(part));
    for (const analysis::Table *table : {&tables.weak, &tables.borderline})
        blocks.push_back(examTable(tables, *table));
    if (!tables.failures.rows.empty()) blocks.push_back(examTable(tables, tables.failures));
    if (!tables.notes.isEmpty()) blocks.push_back(textBlock(QStringLiteral("说明"), tables.notes));
    blocks.push_back(textBlock(QStringLiteral("口径说明"), tables.rules));
    return layoutPages(QStringLiteral("考试分析"), header, std::move(blocks));
}

} // namespace pages
