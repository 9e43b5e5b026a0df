#include "app/scoregridview.h"

#include "analysis/sortorder.h"
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

FlexGrid::FlexGrid(QWidget *parent) : QAbstractScrollArea(parent) {
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

int FlexGrid::columnWidthPixels() {
    return twipsToPixels(ColumnWidthTwips);
}

int FlexGrid::rowHeightPixels() {
    return twipsToPixels(RowHeightTwips);
}

void FlexGrid::setTextMatrix(int row, int column, const QString &text) {
    m_cells.setText(row, column, text);
    viewport()->update(cellRect(row, column));
}

void FlexGrid::refresh() {
    viewport()->update();
}

QRect FlexGrid::cellRect(int row, int column) const {
    const int top = (row - verticalScrollBar()->value()) * rowHeightPixels();
    return QRect(column * columnWidthPixels(), top, columnWidthPixels(), rowHeightPixels());
}

bool FlexGrid::cellAt(const QPoint &point, int *row, int *column) const {
    if (point.x() < 0 || point.y() < 0) return false;
    const int c = point.x() / columnWidthPixels();
    const int r = point.y() / rowHeightPixels() + verticalScrollBar()->value();
    if (c >= Cols() || r >= Rows()) return false;
    *row = r;
    *column = c;
    return true;
}

void FlexGrid::updateScrollRange() {
    const int visibleRows = std::max(1, viewport()->height() / rowHeightPixels());
    verticalScrollBar()->setRange(0, std::max(0, Rows() - visibleRows));
    verticalScrollBar()->setPageStep(visibleRows);
}

void FlexGrid::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void FlexGrid::scrollContentsBy(int, int) {
    viewport()->update();
    emit scrolled();
}

void FlexGrid::ensureVisible(int row) {
    QScrollBar *bar = verticalScrollBar();
    const int visibleRows = std::max(1, viewport()->height() / rowHeightPixels());
    if (row < bar->value())
        bar->setValue(row);
    else if (row >= bar->value() + visibleRows)
        bar->setValue(row - visibleRows + 1);
}

void FlexGrid::moveTo(int row, int column) {
    row = std::clamp(row, 0, Rows() - 1);
    column = std::clamp(column, 0, Cols() - 1);
    if (row == m_row && column == m_col) {
        m_rowSel = row;
        m_colSel = column;
        viewport()->update();
        return;
    }
    emit LeaveCell();
    m_row = m_rowSel = row;
    m_col = m_colSel = column;
    ensureVisible(row);
    viewport()->update();
    emit EnterCell();
}

void FlexGrid::extendSelection(int row, int column) {
    m_rowSel = std::clamp(row, 0, Rows() - 1);
    m_colSel = std::clamp(column, 0, Cols() - 1);
    ensureVisible(m_rowSel);
    viewport()->update();
}

int FlexGrid::CellLeft() const {
    return pixelsToTwips(viewport()->x() + cellRect(m_row, m_col).left());
}

int FlexGrid::CellTop() const {
    return pixelsToTwips(viewport()->y() + cellRect(m_row, m_col).top());
}

int FlexGrid::CellWidth() const {
    return pixelsToTwips(columnWidthPixels());
}

int FlexGrid::CellHeight() const {
    return pixelsToTwips(rowHeightPixels());
}

int FlexGrid::Left() const {
    return pixelsToTwips(x());
}

int FlexGrid::Top() const {
    return pixelsToTwips(y());
}

bool FlexGrid::isCurrentCellVisible() const {
    const QRect cell = cellRect(m_row, m_col);
    return cell.top() >= 0 && cell.bottom() < viewport()->height();
}

void FlexGrid::setSort(int mode) {
    if (mode != SortGenericDescending) return;
    int firstRow = std::min(m_row, m_rowSel), lastRow = std::max(m_row, m_rowSel);
    if (firstRow == lastRow) {
        firstRow = 0;
        lastRow = Rows() - 1;
    }
    analysis::sortDescending(m_cells, firstRow, lastRow, std::min(m_col, m_colSel),
                             std::max(m_col, m_colSel));
    viewport()->update();
}

void FlexGrid::mousePressEvent(QMouseEvent *event) {
    int row, column;
    if (event->button() != Qt::LeftButton || !cellAt(event->position().toPoint(), &row, &column))
        return;
    if (event->modifiers() & Qt::ShiftModifier)
        extendSelection(row, column);
    else
        moveTo(row, column);
}

void FlexGrid::mouseMoveEvent(QMouseEvent *event) {
    int row, column;
    if ((event->buttons() & Qt::LeftButton) && cellAt(event->position().toPoint(), &row, &column))
        extendSelection(row, column);
}

void FlexGrid::keyPressEvent(QKeyEvent *event) {
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const int row = extend ? m_rowSel : m_row;
    const int column = extend ? m_colSel : m_col;
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
        toColumn = Cols() - 1;
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

void FlexGrid::paintEvent(QPaintEvent *) {
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int first = verticalScrollBar()->value();
    const int visible = viewport()->height() / rowHeightPixels() + 1;
    const int selTop = std::min(m_row, m_rowSel), selBottom = std::max(m_row, m_rowSel);
    const int selLeft = std::min(m_col, m_colSel), selRight = std::max(m_col, m_colSel);
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor highlightText = palette().color(QPalette::HighlightedText);
    const QColor lines(192, 192, 192);

    for (int row = first; row < std::min(Rows(), first + visible); ++row) {
        for (int column = 0; column < Cols(); ++column) {
            const QRect cell = cellRect(row, column);
            const bool current = row == m_row && column == m_col;
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
