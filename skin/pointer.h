#pragma once

#include <QPoint>

class QWidget;

// Whether the pointer lies strictly inside the control's rectangle on the
// screen: a pointer on the border line counts as outside. The rectangle is the
// window's screen position plus the control's position inside it.
bool IsPointerOverControl(QWidget *window, QWidget *control);
bool IsPointerOverControl(QWidget *window, QWidget *control, QPoint pointer);
