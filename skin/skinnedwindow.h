#pragma once

#include "skin/chrome.h"

#include <QWidget>

class CaptionButton;
class QLabel;

// A borderless window with the skin's title strip: the chrome painted on
// every paint, the logo at the strip's left end and the close button at its
// right, when the window has them, and a move by dragging its bare surface
// with the left button. The window lays out the rest itself.
class SkinnedWindow : public QWidget {
    Q_OBJECT

public:
    SkinnedWindow(const ChromeLayout &chrome, Qt::WindowFlags flags);

    QLabel *logo = nullptr;
    CaptionButton *closeButton = nullptr; // closes the window

protected:
    // The 20 × 20 logo at (120, 120) twips and the close button at its
    // place, in twips.
    void addLogoAndCloseButton(QPoint closeButtonAt);

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    ChromeLayout m_chrome;
};
