#pragma once

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

// The pictures shipped with the program.
namespace skin {
QImage closeRestPicture();
QImage closeHoverPicture();
QImage logoPicture();
} // namespace skin
