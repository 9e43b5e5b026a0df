#pragma once

#include <QString>
#include <array>

namespace analysis {

// The score grid: 100 rows of three text cells, student number, name and
// score. Row 0 is the first student's row; there is no header row.
class ScoreGrid {
public:
    static constexpr int Rows = 100;
    static constexpr int Columns = 3;
    static constexpr int NumberColumn = 0;
    static constexpr int NameColumn = 1;
    static constexpr int ScoreColumn = 2;

    const QString &text(int row, int column) const { return m_cells[index(row, column)]; }
    void setText(int row, int column, const QString &text) { m_cells[index(row, column)] = text; }

    bool isRowBlank(int row) const;
    void clear();
    // Empties the rows from `row` (0-based) on: what lies below a class
    // list found by its header (平均分, 制表人) is no student.
    void clearRowsFrom(int row);

    friend bool operator==(const ScoreGrid &, const ScoreGrid &) = default;

private:
    static std::size_t index(int row, int column);
    std::array<QString, Rows * Columns> m_cells;
};

} // namespace analysis
