#pragma once

#include "skin/picturebox.h"

class QTimer;

// The painted close button of a title strip. A mouse move over it shows the
// hover picture at once; a 50 ms timer polls the pointer and brings the rest
// picture back on the first tick at which the pointer is no longer strictly
// inside the button. A click asks for the window to close.
class CaptionButton : public PictureBox {
    Q_OBJECT

public:
    explicit CaptionButton(QWidget *parent = nullptr);

    bool isAtRest() const { return m_atRest; }
    QTimer *hoverTimer() const { return m_timer; }

private:
    void showState();
    void pointerMoved();
    void tick();

    QImage m_rest;
    QImage m_hover;
    bool m_atRest = true;
    QTimer *m_timer;
};
