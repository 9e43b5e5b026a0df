#include "skin/skinnedbutton.h"

#include "skin/twips.h"

#include <QPainter>

SkinnedButton::SkinnedButton(const QString &caption, int posx, int posy, QWidget *parent)
    : QAbstractButton(parent), m_posx(posx), m_posy(posy) {
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void SkinnedButton::setPosx(int twips) {
    m_posx = twips;
    update();
}

void SkinnedButton::setPosy(int twips) {
    m_posy = twips;
    update();
}

void SkinnedButton::setFaceColor(const QColor &color) {
    m_face = color;
    update();
}

void SkinnedButton::setCaptionColor(const QColor &color) {
    m_caption = color;
    update();
}

QSize SkinnedButton::sizeHint() const {
    return {twipsToPixels(m_posx * 2) + fontMetrics().horizontalAdvance(text()),
            twipsToPixels(m_posy * 2) + fontMetrics().height()};
}

void SkinnedButton::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    // Crisp one-pixel edges: no antialiasing anywhere on the button.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect area = rect();
    const bool down = isDown();
    const QColor face = underMouse() && !down ? m_face.lighter(108) : m_face;
    painter.fillRect(area, face);

    // A raised bevel that sinks while the button is held down.
    const QColor light = face.lighter(140);
    const QColor dark = face.darker(160);
    painter.setPen(down ? dark : light);
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.setPen(down ? light : dark);
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.topRight(), area.bottomRight());

    const int shift = down ? 1 : 0;
    const QPoint origin(twipsToPixels(m_posx) + shift, twipsToPixels(m_posy) + shift);
    painter.setPen(m_caption);
    painter.drawText(QRect(origin, area.bottomRight()), Qt::AlignLeft | Qt::AlignTop, text());

    if (hasFocus()) {
        QPen focus(m_caption, 1, Qt::DotLine);
        painter.setPen(focus);
        painter.drawRect(area.adjusted(2, 2, -3, -3));
    }
}
