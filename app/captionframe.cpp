#include "app/captionframe.h"

#include <QPainter>

CaptionFrame::CaptionFrame(const QString &title, QWidget *parent)
    : QWidget(parent), m_title(title) {
    setAutoFillBackground(true);
}

void CaptionFrame::setTitle(const QString &title) {
    m_title = title;
    update();
}

void CaptionFrame::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics metrics(font());
    const int top = metrics.height() / 2;
    const QRect border(0, top, width() - 2, height() - top - 2);
    // An etched line: dark, with a light line one pixel below and right.
    painter.setPen(QColor(255, 255, 255));
    painter.drawRect(border.translated(1, 1));
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(border);
    if (m_title.isEmpty()) return;
    const QRect caption(7, 0, metrics.horizontalAdvance(m_title) + 2, metrics.height());
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, m_title);
}
