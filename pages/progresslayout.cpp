#include "pages/progresslayout.h"

#include "analysis/exam/examtables.h"

#include <QHash>

namespace pages {

namespace {

// Each column wide enough for its header on one line, at the body size.
Block progressTable(const analysis::Table &table, bool listsStudents) {
    static const QHash<QString, double> widths{
        {"班级", 1.3},     {"学号", 1.6},     {"姓名", 1.2},     {"趋势", 1.5},
        {"上次", 1.1},     {"本次", 1.1},     {"分数变化", 1.5}, {"年级名次", 1.5},
        {"名次变化", 1.8}, {"班级名次", 1.5}, {"T分变化", 1.4},  {"百分位变化", 1.8},
        {"对应方式", 2},   {"冲突", 2.6},     {"来源", 2.6}};
    std::vector<double> columns;
    for (const QString &name : table.header)
        columns.push_back(widths.value(name, 1.2));
    QString title = table.title;
    if (listsStudents) title += QStringLiteral("　") + analysis::teachersOnlyLine();
    Block block = tableBlock(table, std::move(columns), title);
    if (block.rows.empty()) block.rows.push_back({QStringLiteral("无")});
    return block;
}

} // namespace

ReportLayout layoutProgress(const analysis::ProgressTables &t,
                            const analysis::ReportHeader &header) {
    std::vector<Block> blocks;
    blocks.push_back(progressTable(t.match, false));
    for (const analysis::Table *table : {&t.conflicts, &t.onlyThis, &t.onlyLast})
        blocks.push_back(progressTable(*table, true));
    if (t.trendItem >= 0)
        blocks.push_back(progressTable(analysis::itemChanges(t, t.trendItem, true), true));
    for (int i = 0; i < int(t.items.size()); ++i)
        if (i != t.trendItem)
            blocks.push_back(progressTable(analysis::itemChanges(t, i, false), true));
    blocks.push_back(progressTable(t.classes, false));
    if (!t.history.rows.empty()) blocks.push_back(progressTable(t.history, true));
    if (!t.notes.isEmpty()) blocks.push_back(textBlock(QStringLiteral("说明"), t.notes));
    blocks.push_back(textBlock(QStringLiteral("口径说明"), t.rules));
    return layoutPages(QStringLiteral("进步与退步"), header, std::move(blocks));
}

} // namespace pages
