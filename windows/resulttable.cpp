#include "windows/resulttable.h"

#include "analysis/export/analysistables.h"

#include <QHeaderView>
#include <QTableWidget>

QTableWidget *resultTable(const char *name) {
    auto *grid = new QTableWidget;
    grid->setObjectName(QLatin1String(name));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setMinimumSectionSize(40);
    return grid;
}

void showTable(QTableWidget *grid, const analysis::Table &table) {
    grid->clear();
    grid->setColumnCount(int(table.header.size()));
    grid->setHorizontalHeaderLabels(table.header);
    grid->setRowCount(int(table.rows.size()));
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        for (std::size_t c = 0; c < table.rows[r].size(); ++c)
            grid->setItem(int(r), int(c), new QTableWidgetItem(table.rows[r][c].text));
    grid->resizeColumnsToContents();
}
