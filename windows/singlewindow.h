#pragma once

#include <QPointer>
#include <QWidget>

// An auxiliary window of which at most one exists: created and loaded on the
// first show, brought forward by later ones, destroyed when it closes so that
// the next show loads it afresh.
template <class Window> class SingleWindow {
public:
    static Window *instance() { return pointer(); }

    static Window *show() {
        if (!pointer()) pointer() = new Window();
        pointer()->show();
        pointer()->raise();
        pointer()->activateWindow();
        return pointer();
    }

private:
    static QPointer<Window> &pointer() {
        static QPointer<Window> window;
        return window;
    }
};
