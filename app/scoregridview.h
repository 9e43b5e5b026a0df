#pragma once

#include "analysis/grid/scoregrid.h"

#include <QAbstractScrollArea>

// The score grid control: 100 rows of three text cells without header rows or
// columns, a current cell and a selection that the user moves with the mouse
// and the arrow keys. It shows text and never edits it; editing is done by the
// window through a box laid over the current cell.
//
// When the current cell moves, leavingCell is raised while currentRow() and
// currentColumn() still name the old cell, then cellEntered for the new one.
// Geometry is in twips.
class ScoreGridView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ScoreGridView(QWidget *parent = nullptr);

    int rowCount() const { return analysis::ScoreGrid::Rows; }
    int columnCount() const { return analysis::ScoreGrid::Columns; }
    QString cellText(int row, int column) const { return m_cells.text(row, column); }
    void setCellText(int row, int column, const QString &text);

    // The cells as a whole, for the commands that fill or read the grid;
    // refresh() after changing them.
    analysis::ScoreGrid &cells() { return m_cells; }
    const analysis::ScoreGrid &cells() const { return m_cells; }
    void refresh();

    int currentRow() const { return m_row; }
    int currentColumn() const { return m_column; }
    // Moves the current cell as a click would, raising leavingCell and cellEntered.
    void moveTo(int row, int column);

    // The current cell inside the grid and the grid on its window, in twips.
    int currentCellLeftTwips() const;
    int currentCellTopTwips() const;
    int currentCellWidthTwips() const;
    int leftTwips() const;
    int topTwips() const;
    // Whether the current cell can be seen, or is scrolled out of view.
    bool isCurrentCellVisible() const;
    // The grid row shown at the top, and scrolling back to the first row.
    int topRow() const;
    void showFirstRow();

    // Sorts the selected rows, or all rows when the selection covers one row,
    // in descending order by the selected columns.
    void sortDescending();

    static int columnWidthPixels();
    static int rowHeightPixels();

signals:
    void leavingCell();
    void cellEntered();
    void scrolled();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    bool cellAt(const QPoint &viewportPoint, int *row, int *column) const;
    QRect cellRect(int row, int column) const; // in viewport pixels
    void ensureVisible(int row);
    void updateScrollRange();
    void extendSelection(int row, int column);

    analysis::ScoreGrid m_cells;
    int m_row = 0;
    int m_column = 0;
    int m_selectionRow = 0;
    int m_selectionColumn = 0;
};
