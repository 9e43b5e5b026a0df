#pragma once

#include "analysis/grid/scoregrid.h"

namespace analysis {

// Reorders whole rows firstRow..lastRow of the grid, largest key first, keyed by
// columns firstColumn..lastColumn read left to right. In each key cell a text
// that is a number as a whole (blanks around it allowed) compares by value and
// comes before any other text; other texts compare in Chinese (pinyin) order;
// an empty cell comes last. Rows whose three cells are all empty end below
// every filled row, and rows with equal keys keep their order.
void sortDescending(ScoreGrid &grid, int firstRow, int lastRow, int firstColumn, int lastColumn);

// All rows, by one column.
void sortDescending(ScoreGrid &grid, int keyColumn);

} // namespace analysis
