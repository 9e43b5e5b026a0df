#include "analysis/progress/progresstables.h"

namespace analysis {

QString teachersOnly() {
    return QStringLiteral("仅供教师使用，请勿公开");
}

namespace {

TableCell signedCell(const std::optional<SignedDecimal> &value) {
    if (!value) return textCell(QStringLiteral("无"));
    const double magnitude = value->magnitude.toDouble();
    return {signedText(*value), value->negative ? -magnitude : magnitude};
}

TableCell rankCell(int rank) {
    return rank > 0 ? countCell(rank) : textCell(QStringLiteral("无"));
}

TableCell rankChangeCell(const std::optional<int> &change) {
    return change ? textCell(rankChangeText(*change)) : textCell(QStringLiteral("无"));
}

Table studentList(const QString &title, const std::vector<MatchStudent> &students,
                  const std::vector<int> &rows) {
    Table table{title,
                {QStringLiteral("班级"), QStringLiteral("学号"), QStringLiteral("姓名"),
                 QStringLiteral("来源"), QStringLiteral("行")},
                {}};
    for (int i : rows) {
        const MatchStudent &s = students[std::size_t(i)];
        table.rows.push_back({textCell(s.className), textCell(s.number), textCell(s.name),
                              textCell(s.source), countCell(s.row)});
    }
    return table;
}

Table conflictTable(const ProgressReport &report) {
    Table table{QStringLiteral("对应冲突（不对应，不比较）"),
                {QStringLiteral("冲突"), QStringLiteral("考试"), QStringLiteral("班级"),
                 QStringLiteral("学号"), QStringLiteral("姓名"), QStringLiteral("来源"),
                 QStringLiteral("行")},
                {}};
    for (const MatchConflict &c : report.match.conflicts)
        for (const ConflictRow &r : c.rows) {
            const MatchStudent &s =
                (r.thisExam ? report.thisStudents : report.lastStudents)[std::size_t(r.student)];
            table.rows.push_back(
                {textCell(conflictText(c.kind)),
                 textCell(r.thisExam ? QStringLiteral("本次") : QStringLiteral("上次")),
                 textCell(s.className), textCell(s.number), textCell(s.name), textCell(s.source),
                 countCell(s.row)});
        }
    return table;
}

Table matchTable(const ProgressReport &report) {
    const StudentMatch &m = report.match;
    int conflicted = 0;
    for (const MatchConflict &c : m.conflicts)
        conflicted += int(c.rows.size());
    Table table{
        QStringLiteral("学生对应"), {QStringLiteral("对应方式"), QStringLiteral("人数")}, {}};
    const std::pair<QString, int> rows[] = {
        {QStringLiteral("按学号对应"), m.byNumber},
        {QStringLiteral("按姓名对应"), m.byName},
        {QStringLiteral("只在本次（新增）"), int(m.onlyThis.size())},
        {QStringLiteral("只在上次（缺少）"), int(m.onlyLast.size())},
        {QStringLiteral("冲突（行数）"), conflicted},
    };
    for (const auto &[name, count] : rows)
        table.rows.push_back({textCell(name), countCell(count)});
    return table;
}

QStringList changeHeader(const ProgressReport &report) {
    QStringList header{QStringLiteral("班级"), QStringLiteral("学号"), QStringLiteral("姓名"),
                       QStringLiteral("对应"), QStringLiteral("趋势")};
    for (const ProgressItem &item : report.items)
        for (const char *part :
             {"上次", "本次", "分数变化", "上次年级名次", "本次年级名次", "名次变化",
              "上次班级名次", "本次班级名次", "T分变化", "名次百分位变化"})
            header << item.name + QString::fromUtf8(part);
    return header;
}

std::vector<TableCell> changeRow(const ProgressReport &report, const ProgressStudent &s) {
    const MatchStudent &m = report.thisStudents[std::size_t(s.student)];
    const QString by = s.matchedBy == MatchedBy::Number ? QStringLiteral("学号")
                       : s.matchedBy == MatchedBy::Name ? QStringLiteral("姓名")
                                                        : QStringLiteral("无上次成绩");
    std::vector<TableCell> row{textCell(m.className), textCell(m.number), textCell(m.name),
                               textCell(by), textCell(trendText(s.trend))};
    for (std::size_t i = 0; i < report.items.size(); ++i) {
        if (s.changes.empty()) {
            for (int k = 0; k < ChangeColumnsPerItem; ++k)
                row.push_back(textCell(QString()));
            continue;
        }
        const ProgressChange &c = s.changes[i];
        for (TableCell cell :
             {exactCell(c.last), exactCell(c.current), signedCell(c.scoreChange),
              rankCell(c.lastGradeRank), rankCell(c.thisGradeRank), rankChangeCell(c.rankChange),
              rankCell(c.lastClassRank), rankCell(c.thisClassRank), figureCell(c.tChange),
              figureCell(c.percentileChange)})
            row.push_back(std::move(cell));
    }
    return row;
}

Table classTable(const ProgressReport &report) {
    Table table{QStringLiteral("各班进步与退步"),
                {QStringLiteral("班级"), QStringLiteral("进步"), QStringLiteral("退步"),
                 QStringLiteral("稳定"), QStringLiteral("平均名次变化")},
                {}};
    for (const ProgressClass &c : report.classes)
        table.rows.push_back({textCell(c.name), countCell(c.up), countCell(c.down),
                              countCell(c.steady), figureCell(c.meanRankChange)});
    return table;
}

Table historyTable(const ProgressReport &report) {
    Table table{QStringLiteral("历次成绩"),
                {QStringLiteral("班级"), QStringLiteral("学号"), QStringLiteral("姓名")},
                {}};
    if (report.history.empty()) return table;
    for (const QString &exam : report.examNames)
        table.header << exam + QStringLiteral("总分") << exam + QStringLiteral("名次");
    for (std::size_t t = 0; t < report.history.size(); ++t) {
        const MatchStudent &m = report.thisStudents[t];
        std::vector<TableCell> row{textCell(m.className), textCell(m.number), textCell(m.name)};
        for (const HistoryPoint &p : report.history[t]) {
            row.push_back(exactCell(p.total));
            row.push_back(rankCell(p.gradeRank));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

TableCell rankPair(const TableCell &last, const TableCell &current) {
    return textCell(last.text + QStringLiteral("→") + current.text);
}

} // namespace

Table itemChanges(const ProgressTables &tables, int item, bool trend) {
    Table table{tables.changes.title + QStringLiteral("：") + tables.items.value(item),
                {QStringLiteral("班级"), QStringLiteral("学号"), QStringLiteral("姓名")},
                {}};
    if (trend) table.header << QStringLiteral("趋势");
    table.header << QStringLiteral("上次") << QStringLiteral("本次") << QStringLiteral("分数变化")
                 << QStringLiteral("年级名次") << QStringLiteral("名次变化")
                 << QStringLiteral("班级名次") << QStringLiteral("T分变化")
                 << QStringLiteral("百分位变化");
    const std::size_t first = std::size_t(ChangeTrendColumn + 1 + item * ChangeColumnsPerItem);
    for (const std::vector<TableCell> &row : tables.changes.rows) {
        const bool matched = row[3].text != QStringLiteral("无上次成绩");
        if (!trend && !matched) continue;
        std::vector<TableCell> cells(row.begin(), row.begin() + 3);
        if (trend) cells.push_back(row[std::size_t(ChangeTrendColumn)]);
        const auto at = [&](std::size_t k) { return row[first + k]; };
        for (const TableCell &cell : {at(0), at(1), at(2), rankPair(at(3), at(4)), at(5),
                                      rankPair(at(6), at(7)), at(8), at(9)})
            cells.push_back(cell);
        if (!matched) std::fill(cells.begin() + 4, cells.end(), TableCell{});
        table.rows.push_back(std::move(cells));
    }
    return table;
}

ProgressTables progressTables(const ProgressReport &report, const ExamAnalysis &current) {
    ProgressTables t;
    t.match = matchTable(report);
    t.conflicts = conflictTable(report);
    t.onlyThis = studentList(QStringLiteral("只在本次（新增，无上次成绩）"), report.thisStudents,
                             report.match.onlyThis);
    t.onlyLast =
        studentList(QStringLiteral("只在上次（缺少）"), report.lastStudents, report.match.onlyLast);
    t.changes = {QStringLiteral("成绩变化"), changeHeader(report), {}};
    // Students are held in this exam's order, one per student of it.
    for (int i : current.order)
        t.changes.rows.push_back(changeRow(report, report.students[std::size_t(i)]));
    t.classes = classTable(report);
    t.history = historyTable(report);
    t.notes = report.notes;
    t.rules = progressRules(report);
    for (const ProgressItem &item : report.items) {
        if (item.total && t.trendItem < 0) t.trendItem = int(t.items.size());
        t.items << item.name;
    }
    return t;
}

} // namespace analysis
