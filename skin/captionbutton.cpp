#include "skin/captionbutton.h"

#include "skin/colors.h"
#include "skin/pointer.h"

#include <QTimer>

CaptionButton::CaptionButton(QWidget *parent)
    : PictureBox(parent), m_rest(skin::closeRestPicture(devicePixelRatioF())),
      m_hover(skin::closeHoverPicture(devicePixelRatioF())), m_timer(new QTimer(this)) {
    setBackgroundColor(toQColor(skin::Base));
    m_timer->setObjectName(QStringLiteral("hoverTimer"));
    m_timer->setInterval(50);
    connect(this, &PictureBox::mouseMoved, this, &CaptionButton::pointerMoved);
    connect(m_timer, &QTimer::timeout, this, &CaptionButton::tick);
    m_atRest = true;
    showState();
    m_timer->start();
}

void CaptionButton::showState() {
    setPicture(m_atRest ? m_rest : m_hover);
    repaint();
}

// Every move repaints, also when the hover picture already shows.
void CaptionButton::pointerMoved() {
    m_atRest = false;
    showState();
}

// Repaints only on the change back to rest.
void CaptionButton::tick() {
    if (!IsPointerOverControl(window(), this) && !m_atRest) {
        m_atRest = true;
        showState();
    }
}
