#include "skin/pointer.h"

#include <QCursor>
#include <QWidget>

bool IsPointerOverControl(QWidget *window, QWidget *control) {
    return IsPointerOverControl(window, control, QCursor::pos());
}

bool IsPointerOverControl(QWidget *window, QWidget *control, QPoint pointer) {
    const QPoint at = window->frameGeometry().topLeft() + control->mapTo(window, QPoint(0, 0));
    const int left = at.x(), right = at.x() + control->width();
    const int top = at.y(), bottom = at.y() + control->height();
    return left < pointer.x() && pointer.x() < right && top < pointer.y() && pointer.y() < bottom;
}
