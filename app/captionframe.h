#pragma once

#include <QWidget>

// A group frame: a flat panel in its background colour with an etched border
// and its caption set into the top edge.
class CaptionFrame : public QWidget {
    Q_OBJECT

public:
    CaptionFrame(const QString &title, QWidget *parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString &title);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
};
