#include "analysis/grid/scoregrid.h"

#include <algorithm>
#include <cstdlib>

namespace analysis {

std::size_t ScoreGrid::index(int row, int column) {
    if (row < 0 || row >= Rows || column < 0 || column >= Columns)
        std::abort(); // a programming error: no caller may address outside the grid
    return std::size_t(row) * Columns + std::size_t(column);
}

bool ScoreGrid::isRowBlank(int row) const {
    for (int column = 0; column < Columns; ++column)
        if (!text(row, column).isEmpty()) return false;
    return true;
}

void ScoreGrid::clear() {
    for (QString &cell : m_cells)
        cell.clear();
}

void ScoreGrid::clearRowsFrom(int row) {
    for (int at = std::max(row, 0); at < Rows; ++at)
        for (int column = 0; column < Columns; ++column)
            setText(at, column, QString());
}

} // namespace analysis
