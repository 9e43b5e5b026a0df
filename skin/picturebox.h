#pragma once

#include <QIcon>
#include <QImage>
#include <QWidget>

// A box that clears itself to its background colour and draws one picture at
// its top left corner, combined with the background by bitwise AND: white in
// the picture lets the background through unchanged. Used for the painted
// caption buttons.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setBackgroundColor(const QColor &color);
    QColor backgroundColor() const { return m_background; }
    void setPicture(const QImage &picture);

    // What the box shows: the background with the picture ANDed onto it.
    QImage composed() const;

signals:
    void mouseMoved();
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QColor m_background{Qt::white};
    QImage m_picture;
    bool m_pressed = false;
};

// The pictures shipped with the program, for a screen of the given device
// pixel ratio: above 1 the picture drawn at twice the size (its "@2x" file),
// marked with the ratio 2 so that it covers the same logical size.
namespace skin {
QImage scaledPicture(const QString &path, qreal ratio);
QImage closeRestPicture(qreal ratio = 1);
QImage closeHoverPicture(qreal ratio = 1);
QImage logoPicture(qreal ratio = 1);
// The logo in every size drawn, for the window system and the task bar.
QIcon programIcon();
} // namespace skin
