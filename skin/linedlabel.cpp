#include "skin/linedlabel.h"

#include <QPainter>

LinedLabel::LinedLabel(QWidget *parent, int firstBaseline, int pitch)
    : QLabel(parent), m_firstBaseline(firstBaseline), m_pitch(pitch) {}

void LinedLabel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QStringList lines = QString(text()).remove(u'\r').split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(QPoint(0, m_firstBaseline + int(i) * m_pitch), lines[i]);
}
