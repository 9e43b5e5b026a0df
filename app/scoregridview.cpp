#include "app/scoregridview.h"

#include "analysis/grid/sortorder.h"
#include "skin/twips.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {
constexpr int ColumnWidthTwips = 960;
constexpr int RowHeightTwips = 240;
} // namespace

ScoreGridView::ScoreGridView(QWidget *parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setSingleStep(1);
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(palette);
    updateScrollRange();
}

int ScoreGridView::columnWidthPixels() {
    return twipsToPixels(ColumnWidthTwips);
}

int ScoreGridView::rowHeightPixels() {
    return twipsToPixels(RowHeightTwips);
}

void ScoreGridView::setCellText(int row, int column, const QString &text) {
    m_cells.setText(row, column, text);
    viewport()->update(cellRect(row, column));
}

void ScoreGridView::refresh() {
    viewport()->update();
}

QRect ScoreGridView::cellRect(int row, int column) const {
    const int top = (row - verticalScrollBar()->value()) * rowHeightPixels();
    return QRect(column * columnWidthPixels(), top, columnWidthPixels(), rowHeightPixels());
}

bool ScoreGridView::cellAt(const QPoint &point, int *row, int *column) const {
    if (point.x() < 0 || point.y() < 0) return false;
    const int c = point.x() / columnWidthPixels();
    const int r = point.y() / rowHeightPixels() + verticalScrollBar()->value();
    if (c >= columnCount() || r >= rowCount()) return false;
    *row = r;
    *column = c;
    return true;
}

void ScoreGridView::updateScrollRange() {
    const int visibleRows = std::max(1, viewport()->height() / rowHeightPixels());
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - visibleRows));
    verticalScrollBar()->setPageStep(visibleRows);
}

void ScoreGridView::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void ScoreGridView::scrollContentsBy(int, int) {
    viewport()->update();
    emit scrolled();
}

void ScoreGridView::ensureVisible(int row) {
    QScrollBar *bar = verticalScrollBar();
    const int visibleRows = std::max(1, viewport()->height() / rowHeightPixels());
    if (row < bar->value())
        bar->setValue(row);
    else if (row >= bar->value() + visibleRows)
        bar->setValue(row - visibleRows + 1);
}

void ScoreGridView::moveTo(int row, int column) {
    row = std::clamp(row, 0, rowCount() - 1);
    column = std::clamp(column, 0, columnCount() - 1);
    if (row == m_row && column == m_column) {
        m_selectionRow = row;
        m_selectionColumn = column;
        viewport()->update();
        return;
    }
    emit leavingCell();
    m_row = m_selectionRow = row;
    m_column = m_selectionColumn = column;
    ensureVisible(row);
    viewport()->update();
    emit cellEntered();
}

void ScoreGridView::extendSelection(int row, int column) {
    m_selectionRow = std::clamp(row, 0, rowCount() - 1);
    m_selectionColumn = std::clamp(column, 0, columnCount() - 1);
    ensureVisible(m_selectionRow);
    viewport()->update();
}

int ScoreGridView::currentCellLeftTwips() const {
    return pixelsToTwips(viewport()->x() + cellRect(m_row, m_column).left());
}

int ScoreGridView::currentCellTopTwips() const {
    return pixelsToTwips(viewport()->y() + cellRect(m_row, m_column).top());
}

int ScoreGridView::currentCellWidthTwips() const {
    return pixelsToTwips(columnWidthPixels());
}

int ScoreGridView::leftTwips() const {
    return pixelsToTwips(x());
}

int ScoreGridView::topTwips() const {
    return pixelsToTwips(y());
}

bool ScoreGridView::isCurrentCellVisible() const {
    const QRect cell = cellRect(m_row, m_column);
    return cell.top() >= 0 && cell.bottom() < viewport()->height();
}

int ScoreGridView::topRow() const {
    return verticalScrollBar()->value();
}

void ScoreGridView::showFirstRow() {
    verticalScrollBar()->setValue(0);
}

void ScoreGridView::sortDescending() {
    int firstRow = std::min(m_row, m_selectionRow), lastRow = std::max(m_row, m_selectionRow);
    if (firstRow == lastRow) {
        firstRow = 0;
        lastRow = rowCount() - 1;
    }
    analysis::sortDescending(m_cells, firstRow, lastRow, std::min(m_column, m_selectionColumn),
                             std::max(m_column, m_selectionColumn));
    viewport()->update();
}

void ScoreGridView::mousePressEvent(QMouseEvent *event) {
    int row, column;
    if (event->button() != Qt::LeftButton || !cellAt(event->position().toPoint(), &row, &column))
        return;
    if (event->modifiers() & Qt::ShiftModifier)
        extendSelection(row, column);
    else
        moveTo(row, column);
}

void ScoreGridView::mouseMoveEvent(QMouseEvent *event) {
    int row, column;
    if ((event->buttons() & Qt::LeftButton) && cellAt(event->position().toPoint(), &row, &column))
        extendSelection(row, column);
}

void ScoreGridView::keyPressEvent(QKeyEvent *event) {
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const int row = extend ? m_selectionRow : m_row;
    const int column = extend ? m_selectionColumn : m_column;
    const int page = verticalScrollBar()->pageStep();
    int toRow = row, toColumn = column;
    switch (event->key()) {
    case Qt::Key_Up:
        toRow = row - 1;
        break;
    case Qt::Key_Down:
        toRow = row + 1;
        break;
    case Qt::Key_Left:
        toColumn = column - 1;
        break;
    case Qt::Key_Right:
        toColumn = column + 1;
        break;
    case Qt::Key_PageUp:
        toRow = row - page;
        break;
    case Qt::Key_PageDown:
        toRow = row + page;
        break;
    case Qt::Key_Home:
        toColumn = 0;
        break;
    case Qt::Key_End:
        toColumn = columnCount() - 1;
        break;
    default:
        // Typing on the grid itself changes nothing: only the box edits text.
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (extend)
        extendSelection(toRow, toColumn);
    else
        moveTo(toRow, toColumn);
}

void ScoreGridView::paintEvent(QPaintEvent *) {
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int first = verticalScrollBar()->value();
    const int visible = viewport()->height() / rowHeightPixels() + 1;
    const int selTop = std::min(m_row, m_selectionRow), selBottom = std::max(m_row, m_selectionRow);
    const int selLeft = std::min(m_column, m_selectionColumn),
              selRight = std::max(m_column, m_selectionColumn);
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor highlightText = palette().color(QPalette::HighlightedText);
    const QColor lines(192, 192, 192);

    for (int row = first; row < std::min(rowCount(), first + visible); ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            const QRect cell = cellRect(row, column);
            const bool current = row == m_row && column == m_column;
            const bool selected = !current && row >= selTop && row <= selBottom &&
                                  column >= selLeft && column <= selRight;
            if (selected) painter.fillRect(cell, highlight);
            painter.setPen(selected ? highlightText : palette().color(QPalette::Text));
            painter.drawText(cell.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             m_cells.text(row, column));
            painter.setPen(lines);
            painter.drawLine(cell.topRight(), cell.bottomRight());
            painter.drawLine(cell.bottomLeft(), cell.bottomRight());
            if (current && hasFocus()) {
                painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
                painter.drawRect(cell.adjusted(1, 1, -2, -2));
            }
        }
    }
}
