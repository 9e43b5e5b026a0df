#include "skin/picturebox.h"

#include <QIcon>
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
    // At the picture's own resolution, so that a 2x picture stays sharp.
    const qreal ratio = m_picture.isNull() ? 1 : m_picture.devicePixelRatio();
    QImage canvas(size() * ratio, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
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

QImage scaledPicture(const QString &path, qreal ratio) {
    if (ratio > 1) {
        QString twice = path;
        twice.insert(path.lastIndexOf(u'.'), QStringLiteral("@2x"));
        QImage picture(twice);
        picture.setDevicePixelRatio(2);
        if (!picture.isNull()) return picture;
    }
    return QImage(path);
}

QImage closeRestPicture(qreal ratio) {
    return scaledPicture(QStringLiteral(":/skin/close-rest.png"), ratio);
}

QImage closeHoverPicture(qreal ratio) {
    return scaledPicture(QStringLiteral(":/skin/close-hover.png"), ratio);
}

QImage logoPicture(qreal ratio) {
    return scaledPicture(QStringLiteral(":/skin/logo.png"), ratio);
}

QIcon programIcon() {
    QIcon icon;
    for (const char *name :
         {"logo.png", "logo@2x.png", "logo-64.png", "logo-128.png", "logo-256.png"})
        icon.addFile(QStringLiteral(":/skin/") + QLatin1String(name));
    return icon;
}

} // namespace skin
