#pragma once

#include <QLabel>

// A label that lays out its lines itself: the first baseline at a given
// height and the lines a given pitch apart. A face taller than the one a
// layout was made for keeps that layout's baseline, and lines fit a box that
// the face's own line spacing would overflow.
class LinedLabel : public QLabel {
public:
    LinedLabel(QWidget *parent, int firstBaseline, int pitch);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_firstBaseline;
    int m_pitch;
};
