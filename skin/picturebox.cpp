#include "skin/picturebox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {
    setMouseTracking(true);
}

void PictureBox::setBackgroundColor(const QColor &color) {
    m_background = color;
    update();
}

void PictureBox::setPicture(const QImage &picture) {
    m_picture = picture.convertToFormat(QImage::Format_RGB32);
    update();
}

QImage PictureBox::composed() const {
    QImage canvas(size(), QImage::Format_RGB32);
    canvas.fill(m_background);
    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(0, 0, m_picture);
    return canvas;
}

void PictureBox::paintEvent(QPaintEvent *) {
    QPainter(this).drawImage(0, 0, composed());
}

void PictureBox::mouseMoveEvent(QMouseEvent *) {
    emit mouseMoved();
}

void PictureBox::mousePressEvent(QMouseEvent *event) {
    m_pressed = event->button() == Qt::LeftButton;
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click) emit clicked();
}

namespace skin {

QImage closeRestPicture() {
    return QImage(QStringLiteral(":/skin/close-rest.png"));
}

QImage closeHoverPicture() {
    return QImage(QStringLiteral(":/skin/close-hover.png"));
}

QImage logoPicture() {
    return QImage(QStringLiteral(":/skin/logo.png"));
}

} // namespace skin
