#pragma once

#include "analysis/scoregrid.h"

#include <QAbstractScrollArea>

// The score grid control: 100 rows of three text cells without header rows or
// columns, a current cell and a selection that the user moves with the mouse
// and the arrow keys. It shows text and never edits it; editing is done by the
// window through a box laid over the current cell.
//
// When the current cell moves, LeaveCell is raised while Row() and Col() still
// name the old cell, then EnterCell for the new one. Geometry is in twips.
class FlexGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int SortGenericDescending = 2;

    explicit FlexGrid(QWidget *parent = nullptr);

    int Rows() const { return analysis::ScoreGrid::Rows; }
    int Cols() const { return analysis::ScoreGrid::Columns; }
    QString TextMatrix(int row, int column) const { return m_cells.text(row, column); }
    void setTextMatrix(int row, int column, const QString &text);

    // The cells as a whole, for the commands that fill or read the grid;
    // refresh() after changing them.
    analysis::ScoreGrid &cells() { return m_cells; }
    const analysis::ScoreGrid &cells() const { return m_cells; }
    void refresh();

    int Row() const { return m_row; }
    int Col() const { return m_col; }
    int RowSel() const { return m_rowSel; }
    int ColSel() const { return m_colSel; }
    // Moves the current cell as a click would, raising LeaveCell and EnterCell.
    void moveTo(int row, int column);

    // The current cell inside the grid and the grid on its window, in twips.
    int CellLeft() const;
    int CellTop() const;
    int CellWidth() const;
    int CellHeight() const;
    int Left() const;
    int Top() const;
    // Whether the current cell can be seen, or is scrolled out of view.
    bool isCurrentCellVisible() const;

    // Setting 2 sorts the selected rows, or all rows when the selection covers
    // one row, in descending order by the selected columns.
    void setSort(int mode);

    static int columnWidthPixels();
    static int rowHeightPixels();

signals:
    void LeaveCell();
    void EnterCell();
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
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;
};
