#include "windows/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

void CenterOnScreen(QWidget *window) {
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const double left = area.x() + (area.width() - window->width()) / 2.0;
    const double top = area.y() + (area.height() - window->height()) / 2.0;
    window->move(int(std::lround(left)), int(std::lround(top)));
}
