#pragma once

class QTableWidget;

namespace analysis {
struct Table;
}

// A read-only grid of a result table, without row numbers.
QTableWidget *resultTable(const char *name);

// Shows table in grid: its header and its cells as the exports write them.
void showTable(QTableWidget *grid, const analysis::Table &table);
