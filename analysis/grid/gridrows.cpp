#include "analysis/grid/gridrows.h"

#include "analysis/grid/fieldnumber.h"
#include "analysis/texts/messages.h"

namespace analysis {

namespace {

StudentRow gridRow(const ScoreGrid &grid, int row) {
    return {row + 1, grid.text(row, ScoreGrid::NumberColumn), grid.text(row, ScoreGrid::NameColumn),
            grid.text(row, ScoreGrid::ScoreColumn)};
}

} // namespace

GridRowsOutcome gridAnalysisInput(const ScoreGrid &grid, const QString &classSize) {
    AnalysisInput input;
    if (classSize.isEmpty()) {
        for (int row = 0; row < ScoreGrid::Rows; ++row)
            if (!grid.isRowBlank(row)) input.rows.push_back(gridRow(grid, row));
        input.notes.append(
            QStringLiteral("班级人数为空：分析了表格中有内容的全部%1行。").arg(input.rows.size()));
        return {input, {}};
    }
    const std::optional<std::int16_t> size = readFieldInteger(classSize);
    if (!size || *size < 1 || *size > ScoreGrid::Rows)
        return {std::nullopt, messages::classSizeOutOfRange()};
    for (int row = 0; row < *size; ++row)
        input.rows.push_back(gridRow(grid, row));
    return {input, {}};
}

} // namespace analysis
